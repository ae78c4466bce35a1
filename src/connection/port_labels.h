// What the COM lists and the status bar say about the device behind each
// port number. The source is set once by the desktop program (the machine's
// devices); without one the lists stay plain "COMn", as with the simulator,
// where every number leads to the simulated controller.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "connection/dialog_controls.h"
#include "platform/serial_ports.h"

namespace kvarta {

// COM1..COMcount with their devices, for the settings folder ini.
using ComPortSource = std::function<std::vector<ComPort>(int count, const std::string& ini)>;

// Replaces the program-wide source; an empty one means no devices.
void SetComPortSource(ComPortSource source);
// The machine's serial devices under roots, numbered through the port map.
ComPortSource MachinePortSource(const DeviceRoots& roots = {});

// Gives each entry "COMn" of list whose port has a device its label
// "COMn — device"; the entries and the selection stay as they are.
void LabelComPorts(ChoiceList& list, const std::string& ini);
// "FT232R USB UART (A50285BI)" for port com, or empty when it has no device.
std::string ComPortDevice(int com, const std::string& ini);

}  // namespace kvarta
