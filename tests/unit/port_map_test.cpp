#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/port_map.h"

namespace kvarta {
namespace {

TEST(ParseComName, AcceptsOnlyComAndAPortNumber) {
  EXPECT_EQ(ParseComName("COM3"), 3);
  EXPECT_EQ(ParseComName("com12"), 12);
  EXPECT_EQ(ParseComName("Com1"), 1);
  EXPECT_EQ(ParseComName("COM255"), 255);
  EXPECT_EQ(ParseComName("COM0"), 0);
  EXPECT_EQ(ParseComName("COM"), 0);
  EXPECT_EQ(ParseComName("COMx"), 0);
  EXPECT_EQ(ParseComName("COM3x"), 0);
  EXPECT_EQ(ParseComName("COM-3"), 0);
  EXPECT_EQ(ParseComName(" COM3"), 0);
  EXPECT_EQ(ParseComName("LPT1"), 0);
  EXPECT_EQ(ParseComName("COM256"), 0);
  EXPECT_EQ(ParseComName("COM99999999999999999999"), 0);
  EXPECT_EQ(ParseComName(""), 0);
}

class PortMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kvarta-port-map-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    folder_ = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  void WriteMap(const std::string& text) {
    std::ofstream(folder_ + "/" + kPortMapFileName, std::ios::binary) << text;
  }
  std::string folder_;
};

TEST_F(PortMapTest, DefaultsWithoutMapFile) {
  EXPECT_EQ(ComPortPath(1, ""), "/dev/ttyS0");
  EXPECT_EQ(ComPortPath(8, ""), "/dev/ttyS7");
  EXPECT_EQ(ComPortPath(3, folder_), "/dev/ttyS2");
  EXPECT_EQ(ComPortPath(0, ""), "");
  EXPECT_EQ(ComPortPath(-2, folder_), "");
}

TEST_F(PortMapTest, MapFileEntriesOverrideDefaults) {
  WriteMap(
      "# adapters on this machine\r\n"
      "; COM1=/dev/commented\n"
      "\n"
      "  com3 =  /dev/ttyUSB0  \r\n"
      "COM12=/dev/ttyACM1\n"
      "COM3=/dev/second-entry\n"
      "COM4=\n"
      "COM5 /dev/no-equals\n"
      "COMx=/dev/bad-name\n"
      "COM6=/dev/serial/by-id/usb-adapter=if00");
  EXPECT_EQ(ComPortPath(3, folder_), "/dev/ttyUSB0");  // first entry wins
  EXPECT_EQ(ComPortPath(12, folder_), "/dev/ttyACM1");
  EXPECT_EQ(ComPortPath(1, folder_), "/dev/ttyS0");  // commented out
  EXPECT_EQ(ComPortPath(4, folder_), "/dev/ttyS3");  // empty entry
  EXPECT_EQ(ComPortPath(5, folder_), "/dev/ttyS4");
  EXPECT_EQ(ComPortPath(6, folder_), "/dev/serial/by-id/usb-adapter=if00");
  EXPECT_EQ(ComPortPath(3, ""), "/dev/ttyS2");  // no folder, no map
}

}  // namespace
}  // namespace kvarta
