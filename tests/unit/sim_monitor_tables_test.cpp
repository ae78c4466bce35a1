// The simulated controller's monitoring tables: flags from the command line
// (steady and blinking), the session record's length and clearing, the VRG
// clocks and the remembered command.
#include <gtest/gtest.h>

#include "sim/controller.h"
#include "sim/sim_command_line.h"
#include "support/frames.h"

namespace kvarta::sim {
namespace {

using test::Bytes;
using test::WithCrc;

Bytes Read(uint8_t t, uint8_t first, uint8_t count) {
  return WithCrc({0xCC, 1, 10, 1, 0, t, first, count});
}

Bytes AdminWrite(uint8_t t, uint8_t first, const Bytes& values) {
  Bytes f = {0xCC, 1, static_cast<uint8_t>(26 + values.size()), 2};
  const std::string credentials = "222222      2222";
  f.insert(f.end(), credentials.begin(), credentials.end());
  f.insert(f.end(), {0, t, first, static_cast<uint8_t>(values.size())});
  f.insert(f.end(), values.begin(), values.end());
  return WithCrc(f);
}

Bytes Values(const Bytes& answer) {
  return Bytes(answer.begin() + 8, answer.end() - 2);
}

TEST(SimMonitorTables, DiagnosticFlagsSteadyAndBlinking) {
  Controller c(1);
  int64_t now = 1774015200;  // the start of a 10-second period: blinking flags on
  c.SetTimeSource([&now] { return now; });
  Bytes t = Values(c.Handle(Read(17, 0, 10)));
  EXPECT_EQ(t[2], 0x01);  // the demo's steady flags stay
  EXPECT_EQ(t[7 * 14], 0x01);
  EXPECT_EQ(t[6 * 14 + 2], 0x02);  // the demo's blinking flag, on
  now += kBlinkSeconds;
  t = Values(c.Handle(Read(17, 0, 10)));
  EXPECT_EQ(t[6 * 14 + 2], 0x00);

  std::vector<DiagFlag> flags;
  ASSERT_TRUE(ParseDiagFlags("7:6:0,2:13:7,9:0:4~", flags));
  c.SetDiagnosticFlags(flags);
  now += kBlinkSeconds;
  t = Values(c.Handle(Read(17, 0, 10)));
  EXPECT_EQ(t[2], 0);  // demo flags gone
  EXPECT_EQ(t[7 * 14 + 6], 0x01);
  EXPECT_EQ(t[2 * 14 + 13], 0x80);
  EXPECT_EQ(t[2 * 14 + 0], 26);  // the session summary stays
  EXPECT_EQ(t[9 * 14], 0x10);

  ASSERT_TRUE(ParseDiagFlags("none", flags));
  EXPECT_TRUE(flags.empty());
  for (const char* bad : {"10:0:0", "0:14:0", "0:0:8", "0:0", "a:b:c", ""})
    EXPECT_FALSE(ParseDiagFlags(bad, flags)) << bad;
}

TEST(SimMonitorTables, SessionRecordLengthAndTheClearingRequest) {
  Controller c(1);
  c.SetSessionLength(8000);
  EXPECT_EQ(Values(c.Handle(Read(19, 39, 1))).back(), c.Field(19, 39)[199]);
  EXPECT_NE(c.Field(19, 39)[199], 0);
  c.SetSessionLength(5);
  EXPECT_EQ(c.FieldText(19, 0).size(), 5u);
  EXPECT_EQ(c.Field(19, 0)[5], 0);

  // A whole-table write of table 3 leaves the record alone; field 4 alone clears it.
  Bytes t3(c.Field(3, 0), c.Field(3, 0) + 122);
  ASSERT_EQ(c.Handle(AdminWrite(3, 0, Bytes(t3.begin(), t3.begin() + 100)))[4], 0);
  EXPECT_EQ(c.FieldText(19, 0).size(), 5u);
  ASSERT_EQ(c.Handle(AdminWrite(3, 4, {t3[4]}))[4], 0);
  EXPECT_EQ(c.Field(19, 0)[0], 0);
}

TEST(SimMonitorTables, CommandWritesAreRemembered) {
  Controller c(1);
  EXPECT_FALSE(c.LastCommandWrite().has_value());
  ASSERT_EQ(c.Handle(AdminWrite(15, 0, {8, 0, 0, 255, 15, 3, 5, 8}))[4], 0);
  ASSERT_TRUE(c.LastCommandWrite().has_value());
  EXPECT_EQ(c.LastCommandWrite()->count, 8);
  EXPECT_EQ(c.LastCommandWrite()->values, (Bytes{8, 0, 0, 255, 15, 3, 5, 8}));
  EXPECT_EQ(c.CommandWriteCount(), 1);
  EXPECT_NE(c.Handle(AdminWrite(15, 0, {14}))[3], 0x82);  // unknown code refused
  EXPECT_EQ(c.CommandWriteCount(), 1);
}

TEST(SimMonitorTables, CommandLineOptions) {
  SimCommandLine cl;
  std::string error;
  ASSERT_TRUE(ParseSimCommandLine(
      {"--diag", "0:2:0,6:2:1~", "--session-length", "8000", "--vrg-clocks", "+7,none,-5"}, cl,
      error))
      << error;
  ASSERT_TRUE(cl.options.diag.has_value());
  EXPECT_EQ(cl.options.diag->size(), 2u);
  EXPECT_TRUE((*cl.options.diag)[1].blinking);
  EXPECT_EQ(cl.options.session_length, 8000);
  ASSERT_TRUE(cl.options.vrg_clocks.has_value());
  EXPECT_EQ((*cl.options.vrg_clocks)[0], 7);
  EXPECT_FALSE((*cl.options.vrg_clocks)[1].has_value());
  EXPECT_EQ((*cl.options.vrg_clocks)[2], -5);
  EXPECT_FALSE((*cl.options.vrg_clocks)[3].has_value());
  EXPECT_FALSE(ParseSimCommandLine({"--session-length", "8001"}, cl, error));
  EXPECT_FALSE(ParseSimCommandLine({"--vrg-clocks", "1,2,3,4,5"}, cl, error));

  SimCommandLine defaults;
  ASSERT_TRUE(ParseSimCommandLine({}, defaults, error));
  EXPECT_FALSE(defaults.options.diag.has_value());
  EXPECT_EQ(defaults.options.session_length, -1);
}

}  // namespace
}  // namespace kvarta::sim
