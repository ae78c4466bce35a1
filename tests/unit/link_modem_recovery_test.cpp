#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "link/controller_link.h"
#include "support/link_fixture.h"

namespace kvarta {
namespace {

using test::Bytes;
using test::MakeAnswer;

const Bytes kNoCarrier = {'\r', '\n', 'N', 'O', ' ', 'C', 'A', 'R', 'R', 'I', 'E', 'R', '\r', '\n'};

class LinkModemTest : public test::LinkFixture {
 protected:
  LinkModemTest() {
    link.connection_kind = ConnectionKind::kPhone;
    link.recovery = &recovery;
    link.keep_alive_timer = &keep_alive;
    link.line_watch_timer = &line_watch;
    link.call_duration_timer = &call_duration;
    keep_alive.running = line_watch.running = call_duration.running = true;
  }

  Bytes GoodAnswer() const { return MakeAnswer(1, 0x81, 0, {0, 0, 1, 9}); }
  // Keep-alive, line watch and call duration.
  std::tuple<bool, bool, bool> Running() const {
    return {keep_alive.running, line_watch.running, call_duration.running};
  }

  test::FakeRecovery recovery;
  test::FakeTimer keep_alive, line_watch, call_duration;
};

TEST_F(LinkModemTest, TimersStoppedDuringTheExchangeAndRestartedAfterEvenOnEsc) {
  bool in_progress = false;
  std::tuple<bool, bool, bool> during;
  port->on_write = [&](const Bytes&) {
    in_progress = link.exchange_in_progress;
    during = Running();
    port->DeliverAfterMs(GoodAnswer(), 5);
  };
  ASSERT_TRUE(ReadTable0()) << link.result_code;
  EXPECT_TRUE(in_progress);
  EXPECT_EQ(during, std::tuple(false, false, true));  // the call goes on meanwhile
  EXPECT_FALSE(link.exchange_in_progress);
  EXPECT_EQ(Running(), std::tuple(true, true, true));
  EXPECT_EQ(call_duration.stops, 0);
  EXPECT_TRUE(host.shown.empty());

  // Esc during an exchange restores them too.
  link.attempts = 3;
  port->writes.clear();
  StaySilent();
  host.on_pump = [&] {
    if (!port->writes.empty()) host.escape = true;
  };
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultAborted);
  EXPECT_EQ(port->writes.size(), 1u);
  EXPECT_TRUE(keep_alive.running);
  EXPECT_FALSE(link.exchange_in_progress);
  EXPECT_TRUE(host.shown.empty());
}

TEST_F(LinkModemTest, SilentControllerRetriedFreelyForTenSecondsThenAttemptsUsed) {
  link.attempts = 2;
  StaySilent();
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultNoAnswer);
  EXPECT_TRUE(host.shown.empty());  // the carrier is still there: nothing to ask

  // Each silent exchange takes about 2 s. The free period starts when the
  // first one fails and lasts 10 s; only failures after it use attempts.
  // A failure is followed at once by the next write, so the writes mark them.
  std::vector<int64_t> failures(write_times.begin() + 1, write_times.end());
  failures.push_back(clock.now_ns);
  const int64_t free_end = failures.front() + MsToNs(10000);
  int counted = 0;
  for (size_t i = 1; i < failures.size(); ++i) {
    EXPECT_GT(failures[i], failures[i - 1]);
    if (failures[i] > free_end) ++counted;
  }
  EXPECT_EQ(counted, 2);
  EXPECT_EQ(write_times.size(), 7u);
  EXPECT_GE(clock.now_ns - write_times.front(), MsToNs(12000));
}

TEST_F(LinkModemTest, DirectConnectionHasNoFreeRetries) {
  link.connection_kind = ConnectionKind::kDirect;
  link.attempts = 2;
  StaySilent();
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(write_times.size(), 2u);
  EXPECT_TRUE(keep_alive.running);  // not touched outside modem connections
  EXPECT_EQ(keep_alive.stops, 0);
}

TEST_F(LinkModemTest, DroppedCallRestoredAndRequestRetriedFreely) {
  link.attempts = 1;
  int writes = 0;
  port->on_write = [&](const Bytes&) {
    port->DeliverAfterMs(++writes == 1 ? kNoCarrier : GoodAnswer(), 5);
  };
  host.answers = {true};
  bool in_progress_at_redial = false;
  recovery.on_redial = [&] { in_progress_at_redial = link.exchange_in_progress; };

  EXPECT_TRUE(ReadTable0()) << link.result_code;
  EXPECT_EQ(std::tie(writes, recovery.redials, in_progress_at_redial), std::tuple(2, 1, true));
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(
      std::tie(host.shown[0].kind, host.shown[0].line1, host.shown[0].line2),
      std::make_tuple(kMessageQuestion, "Связь через модем прервана.", "Восстановить сейчас?"));
  EXPECT_GE(call_duration.stops, 1);
  EXPECT_FALSE(link.CarrierLost());
  EXPECT_TRUE(keep_alive.running);
  EXPECT_FALSE(link.exchange_in_progress);
}

TEST_F(LinkModemTest, DeclinedOrFailedRestoreEndsWithCarrierLost) {
  AnswerEveryRequest(kNoCarrier);
  link.answer_timeout_ms = 3000;
  host.answers = {false};
  EXPECT_FALSE(WriteField(9, 0, 1));
  EXPECT_EQ(
      std::tie(link.result_code, recovery.disconnects, recovery.redials, link.answer_timeout_ms),
      std::make_tuple(kResultCarrierLost, 1, 0, 3000u));
  EXPECT_EQ(port->writes.size(), 1u);
  EXPECT_EQ(link.last_exchange_time, 0);  // an early end is not an exchange time
  EXPECT_FALSE(link.exchange_in_progress);
  EXPECT_EQ(Running(), std::tuple(false, false, false));  // the connection is closed

  // A restore that fails to redial ends the same way.
  host.answers = {true};
  recovery.redial_result = false;
  link.ClearExchangeBlock();
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(std::tie(link.result_code, recovery.redials, link.answer_timeout_ms),
            std::make_tuple(kResultCarrierLost, 1, 3000u));
}

TEST_F(LinkModemTest, OfferReconnectWithCarrierTest) {
  EXPECT_EQ(OfferReconnect(link, true), 0);
  EXPECT_TRUE(host.shown.empty());
  EXPECT_TRUE(keep_alive.running);

  std::copy(kNoCarrier.begin(), kNoCarrier.end(), link.session_log.begin());
  host.answers = {true};
  EXPECT_EQ(OfferReconnect(link, true), 1);
  EXPECT_EQ(Running(), std::tuple(false, false, false));

  host.answers = {false};
  EXPECT_EQ(OfferReconnect(link, false), 2);
  EXPECT_EQ(recovery.disconnects, 1);

  // Nothing to dial with: given up without a question.
  link.recovery = nullptr;
  host.shown.clear();
  EXPECT_EQ(OfferReconnect(link, false), 2);
  EXPECT_TRUE(host.shown.empty());
}

}  // namespace
}  // namespace kvarta
