// A fake /dev and /sys of a machine with one real built port (ttyS0), a
// placeholder (ttyS1), an FTDI adapter with a by-id name and a USB modem
// without one, under a folder of the test's own.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/serial_ports.h"
#include "support/temp_dir.h"

namespace kvarta::test {

namespace fs = std::filesystem;

inline void Put(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << text << "\n";
}

class FakeMachine {
 public:
  FakeMachine() {
    roots.dev = (fs::path(dir.path()) / "dev").string();
    roots.sys = (fs::path(dir.path()) / "sys").string();
    fs::create_directories(fs::path(dir.path()) / "INI");
    const fs::path tty = fs::path(roots.sys) / "class" / "tty";
    for (const char* name : {"ttyS0", "ttyS1", "ttyACM0", "tty0", "ttyUSBx"}) Put(Dev(name), "");
    Put(tty / "ttyS0" / "type", "4");
    fs::create_directories(tty / "ttyS0" / "device");
    Put(tty / "ttyS1" / "type", "0");  // the driver's placeholder
    fs::create_directories(tty / "ttyS1" / "device");

    const fs::path usb = fs::path(roots.sys) / "devices" / "pci0000:00" / "usb1";
    Put(usb / "1-1" / "idVendor", "0403");
    Put(usb / "1-1" / "manufacturer", "FTDI");
    Put(usb / "1-1" / "product", "FT232R USB UART");
    Put(usb / "1-1" / "serial", "A50285BI");
    ftdi_port_ = usb / "1-1" / "1-1:1.0";
    Put(usb / "1-2" / "idVendor", "1546");
    Put(usb / "1-2" / "product", "u-blox GNSS");
    fs::create_directories(usb / "1-2" / "1-2:1.0");
    fs::create_directories(tty / "ttyACM0");
    fs::create_directory_symlink(usb / "1-2" / "1-2:1.0", tty / "ttyACM0" / "device");
    fs::create_directories(fs::path(roots.dev) / "serial" / "by-id");
    PlugFtdi("ttyUSB0");
  }

  // The adapter appears as name; its by-id link follows it.
  void PlugFtdi(const std::string& name) {
    const fs::path tty = fs::path(roots.sys) / "class" / "tty";
    for (const char* old : {"ttyUSB0", "ttyUSB1"}) {
      fs::remove(Dev(old));
      fs::remove_all(tty / old);
    }
    fs::remove(ById());
    Put(Dev(name), "");
    fs::create_directories(ftdi_port_ / name);
    fs::create_directories(tty / name);
    fs::create_directory_symlink(ftdi_port_ / name, tty / name / "device");
    fs::create_symlink("../../" + name, ById());
  }

  std::string Dev(const std::string& name) const { return roots.dev + "/" + name; }
  std::string ById() const {
    return roots.dev + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  }
  std::string Ini() const { return dir.path() + "/INI"; }

  TempDir dir;
  DeviceRoots roots;

 private:
  fs::path ftdi_port_;
};

}  // namespace kvarta::test
