// Input that used to be taken wrongly: malformed UTF-8, INI values that did
// not read back as written.
#include <gtest/gtest.h>

#include "cli/cli_options.h"
#include "connection/ini_file.h"
#include "link/crc16.h"
#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "sim/controller.h"
#include "sim/frame_assembler.h"
#include "sim/sim_command_line.h"
#include "sim/sim_state_file.h"
#include "support/sim_requests.h"
#include "support/temp_dir.h"

namespace kvarta::test {
namespace {

TEST(Utf8ToCp1251, MalformedSequencesBecomeOneQuestionMarkAndSwallowNothing) {
  EXPECT_EQ(Utf8ToCp1251("\xC0\x8A"), "?");      // an overlong line feed
  EXPECT_EQ(Utf8ToCp1251("a\xC0\x80z"), "a?z");  // an overlong NUL
  EXPECT_EQ(Utf8ToCp1251("\xE0\x80\xAF"), "?");  // overlong in three bytes
  EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "?");  // a surrogate
  EXPECT_EQ(Utf8ToCp1251("x\xE2"
                         "A"),
            "x?A");                            // cut short by an ASCII byte
  EXPECT_EQ(Utf8ToCp1251("x\xE2\x82"), "x?");  // cut short by the end
  EXPECT_EQ(Utf8ToCp1251("\xD0"
                         "A\xD0\xAF"),
            "?A\xDF");  // then a valid "Я"
  EXPECT_EQ(Utf8ToCp1251("Ёж"), "\xA8\xE6");
}

TEST(IniFile, TextValuesReadBackExactlyAsWritten) {
  TempDir dir;
  const std::string path = dir.File("t.ini");
  const std::string values[] = {"  leading", "trailing ", "\"quoted\"", "'single'",
                                "\"",        "plain",     "a \"b\" c",  ""};
  {
    IniFile ini(path);
    for (size_t i = 0; i < std::size(values); ++i) {
      ini.WriteString("S", "k" + std::to_string(i), values[i]);
    }
    ASSERT_TRUE(ini.Save());
  }
  const IniFile again(path);
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(again.ReadString("S", "k" + std::to_string(i), "?"), values[i]) << i;
  }
  // Values without anything to lose stay bare, as other programs write them.
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_NE(bytes.find("k5=plain\r\n"), std::string::npos) << bytes;
}

TEST(IniFile, ALoneCarriageReturnEndingTheFileEndsTheLine) {
  TempDir dir;
  const std::string path = dir.File("t.ini");
  ASSERT_TRUE(WriteFileAtomically(path, "[S]\r\nkey=value\r"));
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("S", "key", ""), "value");
  EXPECT_EQ(ini.Bytes(), "[S]\r\nkey=value\r");  // read and left byte for byte
  ini.WriteString("S", "other", "1");
  ASSERT_TRUE(ini.Save());
  const IniFile again(path);
  EXPECT_EQ(again.ReadString("S", "key", ""), "value");
  EXPECT_EQ(again.ReadString("S", "other", ""), "1");
}

bool ParsesTool(std::vector<const char*> args, std::string* error = nullptr) {
  args.insert(args.begin(), "kvartactl");
  cli::CliOptions options;
  std::string why;
  const bool ok = cli::ParseCliOptions(static_cast<int>(args.size()), args.data(), options, why);
  if (error) *error = why;
  return ok;
}

TEST(ToolCommandLine, NumbersAreDigitsOnlyAndFlagsTakeNoValue) {
  EXPECT_TRUE(ParsesTool({"--address", "5", "identify"}));
  for (const char* bad : {" 5", "+5", "5 ", "", "0x5", "256"}) {
    EXPECT_FALSE(ParsesTool({"--address", bad, "identify"})) << "'" << bad << "'";
  }
  EXPECT_TRUE(ParsesTool({"--correction", "us:-2000", "identify"}));  // negatives where allowed
  std::string error;
  EXPECT_FALSE(ParsesTool({"--simulator=1", "identify"}, &error));
  EXPECT_EQ(error, "Параметр --simulator задается без значения");
  EXPECT_FALSE(ParsesTool({"--simulator", "--sim-device", "/dev/ttyS0", "identify"}, &error));
  EXPECT_NE(error.find("--sim-device"), std::string::npos);
}

TEST(SimulatorCommandLine, AStateFileMustBeAFileInAnExistingFolder) {
  TempDir dir;
  sim::SimCommandLine cl;
  std::string error;
  EXPECT_FALSE(sim::ParseSimCommandLine({"--state", dir.path()}, cl, error));
  EXPECT_NE(error.find("folder"), std::string::npos);
  EXPECT_FALSE(sim::ParseSimCommandLine({"--state", dir.File("none/state")}, cl, error));
  EXPECT_TRUE(sim::ParseSimCommandLine({"--state", dir.File("state")}, cl, error)) << error;
}

TEST(SimulatorState, AnExtremeClockOffsetInTheFileIsKeptWithinTheClocksYears) {
  TempDir dir;
  const std::string path = dir.File("state");
  sim::Controller controller;
  ASSERT_TRUE(sim::SaveSimState(path, controller));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  for (size_t i = bytes.size() - 8; i < bytes.size(); ++i) bytes[i] = '\xFF';
  bytes.back() = '\x7F';  // the largest offset there is
  ASSERT_TRUE(WriteFileAtomically(path, bytes));
  sim::Controller loaded;
  ASSERT_TRUE(sim::LoadSimState(path, loaded));
  EXPECT_LT(loaded.ClockOffsetSeconds(), 400LL * 366 * 86400);
  // Reading the clock adds the offset to the time: no overflow, a real date.
  const Bytes answer = loaded.Handle(SimRead(1, 2, 0, 6));
  ASSERT_GE(answer.size(), 14u);
  EXPECT_GE(answer[9], 1);  // month
  EXPECT_LE(answer[9], 12);
}

TEST(SimFrameAssembler, NoiseWhoseCrcHappensToFitDoesNotEatTheNextRequest) {
  // Five bytes of noise that, with the request's start byte, make a six-byte
  // "frame" with a valid CRC.
  std::vector<uint8_t> noise;
  for (int a = 0; a < 256 && noise.empty(); ++a) {
    for (int b = 0; b < 256 && noise.empty(); ++b) {
      const uint8_t head[4] = {0xCC, static_cast<uint8_t>(a), 6, static_cast<uint8_t>(b)};
      const uint16_t crc = Crc16(head, 4);
      if ((crc >> 8) == 0xCC) noise = {0xCC, head[1], 6, head[3], static_cast<uint8_t>(crc)};
    }
  }
  ASSERT_FALSE(noise.empty());
  const Bytes request = SimRead(1, 0, 0, 1);
  const Bytes line = Concat(noise, request);
  sim::FrameAssembler assembler;
  EXPECT_EQ(assembler.Feed(line.data(), line.size(), 0, 1), std::vector<Bytes>{request});
}

}  // namespace
}  // namespace kvarta::test
