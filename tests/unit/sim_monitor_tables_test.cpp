// The simulated controller's monitoring tables: flags from the command line
// (steady and blinking), the session record's length and clearing, the VRG
// clocks and the remembered command.
#include <gtest/gtest.h>

#include "sim/controller.h"
#include "sim/sim_command_line.h"
#include "support/sim_requests.h"

namespace kvarta::sim {
namespace {

using test::Bytes;
using test::SimValues;

constexpr auto AdminWrite = &test::SimAdminWrite;

// Table 17 as the demo controller at address 1 sends it.
Bytes Diagnostics(Controller& c) {
  return SimValues(c.Handle(test::SimRead(1, 17, 0, 10)));
}

TEST(SimMonitorTables, DiagnosticFlagsSteadyAndBlinking) {
  Controller c(1);
  int64_t now = 1774015200;  // the start of a 10-second period: blinking flags on
  c.SetTimeSource([&now] { return now; });
  Bytes t = Diagnostics(c);
  // The demo's steady flags stay, its blinking flag (the last) is on.
  EXPECT_EQ((Bytes{t[2], t[7 * 14], t[6 * 14 + 2]}), (Bytes{0x01, 0x01, 0x02}));
  now += kBlinkSeconds;
  t = Diagnostics(c);
  EXPECT_EQ(t[6 * 14 + 2], 0x00);

  std::vector<DiagFlag> flags;
  ASSERT_TRUE(ParseDiagFlags("7:6:0,2:13:7,9:0:4~", flags));
  c.SetDiagnosticFlags(flags);
  now += kBlinkSeconds;
  t = Diagnostics(c);
  // The demo flags gone, the given ones set, the session summary (26) kept.
  EXPECT_EQ((Bytes{t[2], t[7 * 14 + 6], t[2 * 14 + 13], t[2 * 14 + 0], t[9 * 14]}),
            (Bytes{0, 0x01, 0x80, 26, 0x10}));

  ASSERT_TRUE(ParseDiagFlags("none", flags));
  EXPECT_TRUE(flags.empty());
  for (const char* bad : {"10:0:0", "0:14:0", "0:0:8", "0:0", "a:b:c", ""})
    EXPECT_FALSE(ParseDiagFlags(bad, flags)) << bad;
}

TEST(SimMonitorTables, SessionRecordLengthAndTheClearingRequest) {
  Controller c(1);
  c.SetSessionLength(8000);
  EXPECT_EQ(SimValues(c.Handle(test::SimRead(1, 19, 39, 1))).back(), c.Field(19, 39)[199]);
  EXPECT_NE(c.Field(19, 39)[199], 0);
  c.SetSessionLength(5);
  EXPECT_EQ(c.FieldText(19, 0).size(), 5u);
  EXPECT_EQ(c.Field(19, 0)[5], 0);

  // A whole-table write of table 3 leaves the record alone; field 4 alone clears it.
  Bytes t3(c.Field(3, 0), c.Field(3, 0) + 122);
  ASSERT_EQ(c.Handle(AdminWrite(3, 0, 100, Bytes(t3.begin(), t3.begin() + 100)))[4], 0);
  EXPECT_EQ(c.FieldText(19, 0).size(), 5u);
  ASSERT_EQ(c.Handle(AdminWrite(3, 4, 1, {t3[4]}))[4], 0);
  EXPECT_EQ(c.Field(19, 0)[0], 0);
}

TEST(SimMonitorTables, CommandWritesAreRemembered) {
  Controller c(1);
  EXPECT_FALSE(c.LastCommandWrite().has_value());
  ASSERT_EQ(c.Handle(AdminWrite(15, 0, 8, {8, 0, 0, 255, 15, 3, 5, 8}))[4], 0);
  ASSERT_TRUE(c.LastCommandWrite().has_value());
  EXPECT_EQ(c.LastCommandWrite()->count, 8);
  EXPECT_EQ(c.LastCommandWrite()->values, (Bytes{8, 0, 0, 255, 15, 3, 5, 8}));
  EXPECT_EQ(c.CommandWriteCount(), 1);
  EXPECT_NE(c.Handle(AdminWrite(15, 0, 1, {14}))[3], 0x82);  // unknown code refused
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
  EXPECT_EQ(*cl.options.vrg_clocks, (VrgClockOffsets{7, std::nullopt, -5, std::nullopt}));
  EXPECT_FALSE(ParseSimCommandLine({"--session-length", "8001"}, cl, error));
  EXPECT_FALSE(ParseSimCommandLine({"--vrg-clocks", "1,2,3,4,5"}, cl, error));

  SimCommandLine defaults;
  ASSERT_TRUE(ParseSimCommandLine({}, defaults, error));
  EXPECT_FALSE(defaults.options.diag.has_value());
  EXPECT_EQ(defaults.options.session_length, -1);
}

}  // namespace
}  // namespace kvarta::sim
