// The clock windows against the simulated controller: colours of the
// controller's clock, deviations of the VRG clocks, their order, and the
// refresh ticks.
#include <gtest/gtest.h>

#include <ctime>

#include "link/result_messages.h"
#include "monitor/clock_windows.h"
#include "monitor_dialogs_fake.h"
#include "sim_peer.h"

namespace kvarta {
namespace {

LocalDateTime LocalOf(int64_t unix_seconds) {
  const time_t t = static_cast<time_t>(unix_seconds);
  tm local{};
  localtime_r(&t, &local);
  return {local.tm_year + 1900,
          local.tm_mon + 1,
          local.tm_mday,
          local.tm_hour,
          local.tm_min,
          local.tm_sec,
          0};
}

// The controller's time as the peer's clock stands.
int64_t ControllerUnix(const test::SimPeer& p) {
  return p.unix_now + p.clock.NowNs() / 1000000000;
}

TEST(ClockValues, DeviationsTextsAndImpossibleDates) {
  EXPECT_EQ(FormatDeviation(-5), "-5");
  EXPECT_EQ(FormatDeviation(7), "+7");
  EXPECT_EQ(FormatDeviation(0), "0");
  EXPECT_EQ(FormatDeviation(kUnknownDeviation), "");
  EXPECT_EQ(Deviation(std::nullopt, 5), kUnknownDeviation);
  // Centuries apart still sort as far ahead, never as unknown.
  EXPECT_EQ(Deviation(int64_t{1} << 40, 0), INT32_MAX);
  EXPECT_EQ(Deviation(0, int64_t{1} << 40), INT32_MIN + 1);

  EXPECT_TRUE(ClockValid({24, 2, 29, 23, 59, 59}));
  for (const ShortDateTime& bad :
       {ShortDateTime{25, 2, 29, 0, 0, 0}, ShortDateTime{25, 13, 1}, ShortDateTime{25, 4, 31},
        ShortDateTime{25, 4, 0}, ShortDateTime{25, 4, 1, 24}, ShortDateTime{25, 4, 1, 0, 60},
        ShortDateTime{25, 4, 1, 0, 0, 60}, ShortDateTime{}}) {
    EXPECT_FALSE(ClockValid(bad));
    EXPECT_FALSE(ClockSeconds(bad).has_value());
  }
  const auto a = ClockSeconds(ShortDateTime{26, 3, 24, 12, 0, 0});
  const auto b = ClockSeconds(ShortDateTime{26, 3, 24, 12, 0, 7});
  ASSERT_TRUE(a && b);
  EXPECT_EQ(*b - *a, 7);
}

TEST(ClockValues, SortDescendingTiesInVrgOrderUnknownLast) {
  const std::vector<ClockRow> sorted =
      SortClockRows({{0, {}, -5}, {1, {}, 7}, {2, {}, kUnknownDeviation}, {3, {}, 7}});
  std::vector<int> order;
  for (const ClockRow& r : sorted) order.push_back(r.index);
  EXPECT_EQ(order, (std::vector<int>{1, 3, 0, 2}));
}

class ClockWindowTest : public ::testing::Test {
 protected:
  test::SimPeer peer;
  test::FakeMonitorDialogs dialogs;
  test::FakeTimer timer;
};

TEST_F(ClockWindowTest, ControllerOneSecondBehindThePcIsRedInTimeOnly) {
  peer.clock.local = LocalOf(ControllerUnix(peer) + 1);
  bool shown = false;
  dialogs.on_dt = [&](DtModel& m) {
    shown = true;
    m.SetTimer(&timer);
    m.OnShow();
    EXPECT_EQ(m.controller_date_color, kColorBlack);
    EXPECT_EQ(m.controller_time_color, kColorRed);
    EXPECT_EQ(m.controller_date, m.pc_date);
    EXPECT_NE(m.controller_time, m.pc_time);

    // The PC catches up exactly: the next tick turns the time black.
    m.OnRefreshSwitch();
    peer.clock.local = LocalOf(ControllerUnix(peer));
    m.OnTimer();
    EXPECT_EQ(m.controller_time_color, kColorBlack);
    EXPECT_EQ(m.controller_time, m.pc_time);
    EXPECT_TRUE(timer.running);
    EXPECT_EQ(peer.Reads(2).size(), 2u);

    peer.link.connection_kind = ConnectionKind::kPhone;
    peer.carrier_drops = 1;
    m.OnTimer();
    EXPECT_TRUE(m.closed());
    EXPECT_FALSE(timer.running);
  };
  ASSERT_TRUE(ShowControllerClock(peer.link, peer.image, &peer.status, dialogs));
  EXPECT_TRUE(shown);
}

TEST_F(ClockWindowTest, VrgDeviationsAreSortedWithUnknownLast) {
  test::FakeMonitorSession session;
  session.vrg_params[0] = 4;
  for (int k = 0; k < 4; ++k) session.SetVrg(k, static_cast<uint8_t>(5 + k), 1);
  peer.controller.SetVrgClockOffset(0, -5);
  peer.controller.SetVrgClockOffset(1, 7);
  peer.controller.SetVrgClockOffset(2, std::nullopt);
  peer.controller.SetVrgClockOffset(3, 7);
  peer.clock.local = LocalOf(ControllerUnix(peer) + 3);

  dialogs.on_sum_date_par = [&](SumDateParModel& m) {
    m.SetTimer(&timer);
    m.OnShow();
    ASSERT_EQ(peer.Reads(10).size(), 1u);
    EXPECT_EQ(peer.Reads(10)[0].count, 5);
    EXPECT_EQ(m.pc_row.deviation, "+3");
    std::vector<std::string> devices, deviations;
    for (const ClockRowView& r : m.vrg_rows) {
      devices.push_back(r.device);
      deviations.push_back(r.deviation);
      EXPECT_EQ(r.color, kColorWindow);
    }
    EXPECT_EQ(devices, (std::vector<std::string>{" ВРГ №2", " ВРГ №4", " ВРГ №1", " ВРГ №3"}));
    EXPECT_EQ(deviations, (std::vector<std::string>{"+7", "+7", "-5", ""}));
    EXPECT_EQ(m.vrg_rows[1].address, "8");
    EXPECT_EQ(m.vrg_rows[3].date_time, "00.00.00  00:00:00");
    EXPECT_FALSE(timer.running);  // one read, refreshing is off

    m.OnRefreshSwitch();
    m.OnTimer();
    EXPECT_EQ(peer.Reads(10).size(), 2u);
    EXPECT_TRUE(timer.running);
    m.OnClose();
    EXPECT_FALSE(timer.running);
  };
  ShowVrgClocks(peer.link, peer.image, &peer.status, session.VrgParamsCopy(), dialogs);
}

TEST_F(ClockWindowTest, ImpossibleOrMissingClocksHaveNoDeviation) {
  test::FakeMonitorSession session;  // two VRGs
  SumDateParModel m(peer.link, peer.image, &peer.status, session.VrgParamsCopy());
  m.SetTimer(&timer);
  // VRG 1 reports month 13: shown as it is, deviation unknown, listed last.
  peer.edit_answer = [](test::Bytes& a) { a[8 + 6 + 1] = 13; };
  m.OnShow();
  EXPECT_EQ(peer.Reads(10)[0].count, 3);
  EXPECT_EQ(m.vrg_rows[0].device, " ВРГ №2");
  EXPECT_EQ(m.vrg_rows[1].device, " ВРГ №1");
  EXPECT_EQ(m.vrg_rows[1].deviation, "");
  EXPECT_EQ(m.vrg_rows[1].date_time.substr(2, 4), ".13.");
  EXPECT_EQ(m.vrg_rows[2].device, "");
  EXPECT_EQ(m.vrg_rows[2].color, kColorGreyCells);
  EXPECT_EQ(m.vrg_rows[3].color, kColorGreyCells);

  // The controller's clock unset: every deviation is empty, the PC's too.
  peer.edit_answer = [](test::Bytes& a) { a[8 + 1] = 0; };
  m.OnRefreshSwitch();
  m.OnTimer();
  EXPECT_EQ(m.pc_row.deviation, "");
  for (const ClockRowView& r : m.vrg_rows) EXPECT_EQ(r.deviation, "");
  EXPECT_FALSE(m.pc_row.date_time.empty());
}

TEST_F(ClockWindowTest, FailedReadIsReportedAndKeepsTheClocks) {
  test::FakeMonitorSession session;
  SumDateParModel m(peer.link, peer.image, &peer.status, session.VrgParamsCopy());
  m.SetTimer(&timer);
  m.OnShow();
  const std::string vrg_clock = m.vrg_rows[0].date_time;
  ASSERT_FALSE(m.pc_row.deviation.empty());
  m.OnRefreshSwitch();
  peer.silent = 1;
  m.OnTimer();
  EXPECT_EQ(peer.status.panels[2], FormatResultMessage(peer.link));
  EXPECT_FALSE(peer.status.panels[2].empty());
  EXPECT_EQ(m.pc_row.deviation, "");
  EXPECT_EQ(m.vrg_rows[0].date_time, vrg_clock);
  EXPECT_TRUE(timer.running);
  EXPECT_TRUE(peer.host.shown.empty());

  m.OnTimer();  // a good read clears the panel
  EXPECT_EQ(peer.status.panels[2], "");

  peer.link.connection_kind = ConnectionKind::kPhone;
  peer.carrier_drops = 1;
  m.OnTimer();
  EXPECT_TRUE(m.closed());
  EXPECT_FALSE(timer.running);
}

}  // namespace
}  // namespace kvarta
