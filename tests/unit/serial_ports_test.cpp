// COM numbers and their device paths from the port map, and the machine's
// serial ports on a fake device and sysfs tree.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/atomic_file.h"
#include "platform/port_map.h"
#include "platform/serial_ports.h"
#include "support/fake_serial_tree.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

using test::FakeMachine;

TEST(ParseComName, AcceptsOnlyComAndAPortNumber) {
  EXPECT_EQ(ParseComName("COM3"), 3);
  EXPECT_EQ(ParseComName("com12"), 12);
  EXPECT_EQ(ParseComName("Com1"), 1);
  EXPECT_EQ(ParseComName("COM255"), 255);
  for (const char* refused : {"COM0", "COM", "COMx", "COM3x", "COM-3", " COM3", "LPT1", "COM256",
                              "COM99999999999999999999", ""}) {
    EXPECT_EQ(ParseComName(refused), 0) << refused;
  }
}

TEST(PortMap, DefaultsWithoutMapFileAndEntriesOverrideThem) {
  test::TempDir dir;
  const std::string& folder = dir.path();
  EXPECT_EQ(ComPortPath(1, ""), "/dev/ttyS0");
  EXPECT_EQ(ComPortPath(8, ""), "/dev/ttyS7");
  EXPECT_EQ(ComPortPath(3, folder), "/dev/ttyS2");
  EXPECT_EQ(ComPortPath(0, ""), "");
  EXPECT_EQ(ComPortPath(-2, folder), "");

  std::ofstream(dir.File(kPortMapFileName), std::ios::binary)
      << "# adapters on this machine\r\n"
         "; COM1=/dev/commented\n"
         "\n"
         "  com3 =  /dev/ttyUSB0  \r\n"
         "COM12=/dev/ttyACM1\n"
         "COM3=/dev/second-entry\n"
         "COM4=\n"
         "COM5 /dev/no-equals\n"
         "COMx=/dev/bad-name\n"
         "COM6=/dev/serial/by-id/usb-adapter=if00";
  EXPECT_EQ(ComPortPath(3, folder), "/dev/ttyUSB0");  // first entry wins
  EXPECT_EQ(ComPortPath(12, folder), "/dev/ttyACM1");
  EXPECT_EQ(ComPortPath(1, folder), "/dev/ttyS0");  // commented out
  EXPECT_EQ(ComPortPath(4, folder), "/dev/ttyS3");  // empty entry
  EXPECT_EQ(ComPortPath(5, folder), "/dev/ttyS4");
  EXPECT_EQ(ComPortPath(6, folder), "/dev/serial/by-id/usb-adapter=if00");
  EXPECT_EQ(ComPortPath(3, ""), "/dev/ttyS2");  // no folder, no map
}

TEST(SerialPorts, ListsRealPortsAndAdaptersWithTheirUsbIdentity) {
  FakeMachine m;
  const std::vector<SerialDevice> devices = ListSerialDevices(m.roots);
  ASSERT_EQ(devices.size(), 3u);  // no placeholder ttyS1, no tty0 or ttyUSBx
  EXPECT_EQ(devices[0].path, m.Dev("ttyS0"));
  EXPECT_FALSE(devices[0].usb);
  EXPECT_EQ(devices[1].name, "ttyUSB0");
  EXPECT_EQ(devices[1].by_id, m.ById());
  EXPECT_EQ(devices[1].manufacturer, "FTDI");
  EXPECT_EQ(devices[1].Description(), "FT232R USB UART (A50285BI)");
  EXPECT_EQ(devices[2].name, "ttyACM0");
  EXPECT_EQ(devices[2].by_id, "");
  EXPECT_EQ(devices[2].Description(), "u-blox GNSS");
}

TEST(SerialPorts, NewAdaptersTakeTheLowestFreeNumbersAndKeepThemWhenReplugged) {
  FakeMachine m;
  ASSERT_TRUE(
      WriteFileAtomically(m.Ini() + "/" + kPortMapFileName, "# by hand\nCOM2=/dev/ttyS7\n"));
  std::vector<std::string> added;
  std::vector<ComPort> ports = AssignComPorts(ListSerialDevices(m.roots), 16, m.Ini(), &added);
  ASSERT_EQ(ports.size(), 16u);
  EXPECT_EQ(ports[0].Label(), "COM1 — " + m.Dev("ttyS0"));
  EXPECT_EQ(ports[1].Label(), "COM2");  // the map's entry, no device there
  EXPECT_EQ(ports[1].path, "/dev/ttyS7");
  EXPECT_EQ(ports[2].Label(), "COM3 — FT232R USB UART (A50285BI)");
  EXPECT_EQ(ports[3].Label(), "COM4 — u-blox GNSS");
  EXPECT_EQ(ports[4].Label(), "COM5");
  ASSERT_EQ(added.size(), 2u);
  EXPECT_EQ(ComPortPath(3, m.Ini()), m.ById());
  EXPECT_EQ(ComPortPath(4, m.Ini()), m.Dev("ttyACM0"));
  std::string map;
  ASSERT_TRUE(ReadWholeFile(m.Ini() + "/" + kPortMapFileName, map));
  EXPECT_EQ(map.rfind("# by hand\nCOM2=/dev/ttyS7\n", 0), 0u);

  // Plugged in again under another name: the same number, nothing new remembered.
  m.PlugFtdi("ttyUSB1");
  added.clear();
  ports = AssignComPorts(ListSerialDevices(m.roots), 16, m.Ini(), &added);
  EXPECT_TRUE(added.empty());
  EXPECT_EQ(ports[2].Label(), "COM3 — FT232R USB UART (A50285BI)");
  EXPECT_EQ(ports[2].device.name, "ttyUSB1");
}

TEST(SerialPorts, NumbersBeyondTheListAreAppendedAndNothingIsRememberedWithoutAFolder) {
  FakeMachine m;
  std::string map;
  for (int n = 1; n <= 8; ++n) map += "COM" + std::to_string(n) + "=/dev/ttyS" + "9" + "\n";
  ASSERT_TRUE(WriteFileAtomically(m.Ini() + "/" + kPortMapFileName, map));
  const std::vector<ComPort> ports = AssignComPorts(ListSerialDevices(m.roots), 8, m.Ini());
  ASSERT_EQ(ports.size(), 11u);  // ttyS0's default number is taken too
  EXPECT_EQ(ports[8].number, 9);
  EXPECT_EQ(ports[8].device.name, "ttyS0");
  EXPECT_EQ(ports[10].Label(), "COM11 — u-blox GNSS");

  std::vector<std::string> added;
  AssignComPorts(ListSerialDevices(m.roots), 8, "", &added);
  EXPECT_TRUE(added.empty());
}

}  // namespace
}  // namespace kvarta
