// The machine's serial devices and the COMn numbers the program gives them.
// Built ports (/dev/ttyS*) keep their default numbers; a USB adapter gets the
// lowest free number once and keeps it in the port map under its by-id name,
// so that it comes back under the same number when it is plugged in again.
#pragma once

#include <string>
#include <vector>

namespace kvarta {

// Where the device and sysfs trees lie: "/dev" and "/sys" on a real machine,
// a folder of files and links in the tests.
struct DeviceRoots {
  std::string dev = "/dev";
  std::string sys = "/sys";
};

struct SerialDevice {
  std::string name;   // "ttyUSB0"
  std::string path;   // "/dev/ttyUSB0" (under the device root)
  std::string by_id;  // "/dev/serial/by-id/usb-FTDI_...-port0", or empty
  bool usb = false;   // a USB adapter (ttyUSB*, ttyACM*)
  // From the USB device in sysfs; empty when it does not say.
  std::string manufacturer;
  std::string product;
  std::string serial;

  // "FT232R USB UART (A50285BI)"; the device name when sysfs says nothing.
  std::string Description() const;
};

// The serial devices that are there: ttyS* with a real port behind it (sysfs
// shows a device whose port type is not "unknown"), every ttyUSB* and ttyACM*;
// built ports first, then by kind and number.
std::vector<SerialDevice> ListSerialDevices(const DeviceRoots& roots);

struct ComPort {
  int number = 0;  // n of COMn
  std::string path;
  bool has_device = false;
  SerialDevice device;  // when has_device

  // "COM5 — FT232R USB UART (A50285BI)", or "COM2" without a device.
  std::string Label() const;
};

// COM1..COMcount with the devices found on them, and after them every device
// whose number lies beyond count. A device named in the port map of
// ini_folder (by its path or its by-id name) takes that entry's number; a
// built port without an entry takes its default number; any other device
// gets the lowest number that neither the map nor a built port holds, and is
// added to the map (replaced atomically; by-id name when it has one) unless
// ini_folder is empty. The added entries are reported through added when given.
std::vector<ComPort> AssignComPorts(const std::vector<SerialDevice>& devices, int count,
                                    const std::string& ini_folder,
                                    std::vector<std::string>* added = nullptr);

// The port list of a COM list: the devices of the machine numbered as above.
std::vector<ComPort> MachineComPorts(int count, const std::string& ini_folder,
                                     const DeviceRoots& roots = {});

}  // namespace kvarta
