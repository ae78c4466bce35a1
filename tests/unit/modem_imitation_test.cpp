#include "connection/modem_imitation.h"

#include <gtest/gtest.h>

#include "sim/modem_expecting.h"
#include "support/fakes.h"
#include "support/sim_line.h"
#include "unit/sim_front_support.h"

namespace kvarta {
namespace {

using test::FakeClock;
using test::FakeHost;
using test::FakeSerialPort;

std::vector<uint8_t> Trigger() {
  return {kImitationTrigger.begin(), kImitationTrigger.end()};
}

class ModemImitationTest : public ::testing::Test {
 protected:
  ModemImitationTest() : port(clock), imitation(LineContext{port, clock, host}) {
    port.baud = 9600;
  }

  FakeClock clock;
  FakeSerialPort port;
  FakeHost host;
  ModemImitation imitation;
};

// Against the simulated controller that waits for a modem: it sends its
// initialisation (with a doubled A) until answered, then serves frames.
TEST(ModemImitation, AnswersTheControllerWithRtsAroundTheAnswer) {
  FakeClock clock;
  FakeHost host;
  sim::SimulatorOptions options;
  options.expect_modem = {
      .enabled = true, .first_after_ms = 100, .every_ms = 1000, .extra_byte = true};
  test::SimLinePort port(clock, options);
  port.baud = 9600;
  std::vector<std::string> events_at_write;
  auto feed = port.on_write;
  port.on_write = [&](const std::vector<uint8_t>& bytes) {
    events_at_write = port.events;
    feed(bytes);
  };
  ModemImitation imitation(LineContext{port, clock, host});
  const int64_t start = clock.now_ns;
  imitation.Begin();
  EXPECT_TRUE(port.dtr);
  EXPECT_EQ(imitation.Run(), ImitationState::kMatched);

  ASSERT_EQ(port.writes.size(), 1u);
  EXPECT_EQ(port.writes[0], (std::vector<uint8_t>{'\r', '\n', 'O', 'K', '\r', '\n'}));
  EXPECT_EQ(port.events, (std::vector<std::string>{"DTR+", "RTS+", "RTS-"}));
  EXPECT_EQ(events_at_write, (std::vector<std::string>{"DTR+", "RTS+"}));
  // 20 ms after the match, RTS 2 ms ahead of the answer, lowered once the
  // answer's line time has passed since the write began.
  EXPECT_GE(port.write_ns[0] - start, MsToNs(100 + 22));
  EXPECT_LT(port.write_ns[0] - start, MsToNs(100 + 40));
  EXPECT_GE(clock.now_ns - port.write_ns[0], ImitationAnswerLineNs(9600));
  EXPECT_LT(clock.now_ns - port.write_ns[0], MsToNs(9));
  EXPECT_EQ(ImitationAnswerLineNs(0), 0);  // no rate, no line time
  EXPECT_EQ(host.cursors.front(), CursorShape::kAppStarting);
  EXPECT_EQ(host.cursors.back(), CursorShape::kNormal);
  EXPECT_TRUE(imitation.CloseAllowed());

  auto& expecting = port.front<sim::ModemExpectingFront>();
  EXPECT_TRUE(expecting.AnswerReceived());
  EXPECT_EQ(expecting.Sends(), 1);
  const test::Bytes read = test::MakeRequest(1, 1, {0, 0, 0, 1});
  port.Write(read.data(), read.size());
  EXPECT_TRUE(port.WaitReadable(500));
}

TEST_F(ModemImitationTest, ExtraBytesDoNotDisturbTheMatch) {
  // A doubled A at the start, noise in the middle: only expected bytes count.
  std::vector<uint8_t> bytes = {'A'};
  for (uint8_t b : Trigger()) {
    bytes.push_back(b);
    if (b == '+') bytes.insert(bytes.end(), {'x', 'A', 13});
  }
  port.DeliverAfterMs(bytes, 10, 1);
  imitation.Begin();
  EXPECT_EQ(imitation.Run(), ImitationState::kMatched);
  EXPECT_EQ(port.writes.size(), 1u);
}

TEST_F(ModemImitationTest, IncompleteTriggerKeepsWaiting) {
  std::vector<uint8_t> bytes = Trigger();
  bytes.pop_back();  // no 0x1A
  port.DeliverAfterMs(bytes, 10, 1);
  host.on_pump = [&] {
    if (clock.now_ns > MsToNs(3000)) host.escape = true;
  };
  imitation.Begin();
  EXPECT_EQ(imitation.Run(), ImitationState::kStopRequested);
  EXPECT_EQ(imitation.matched(), 20u);
  EXPECT_TRUE(port.writes.empty());
  EXPECT_GT(port.wait_calls, 0);
  EXPECT_LT(port.read_calls, 2100);  // no busy loop over two idle seconds
}

TEST_F(ModemImitationTest, EscWhileWaitingStopsWithoutAnswer) {
  host.on_pump = [&] {
    if (clock.now_ns > MsToNs(1500)) host.escape = true;
  };
  imitation.Begin();
  EXPECT_EQ(imitation.Run(), ImitationState::kStopRequested);
  EXPECT_TRUE(port.writes.empty());
  EXPECT_EQ(port.events, (std::vector<std::string>{"DTR+"}));
  EXPECT_TRUE(imitation.CloseAllowed());
}

TEST_F(ModemImitationTest, CloseWhileWaitingIsRefusedAndEndsTheWait) {
  bool refused = false;
  host.on_pump = [&] {
    if (!refused && clock.now_ns > MsToNs(1200)) refused = !imitation.CloseAllowed();
  };
  imitation.Begin();
  EXPECT_EQ(imitation.Run(), ImitationState::kStopRequested);
  EXPECT_TRUE(refused);
  EXPECT_TRUE(port.writes.empty());
  EXPECT_TRUE(imitation.CloseAllowed());
}

TEST_F(ModemImitationTest, FailedReadsAndWritesAreCleared) {
  port.fail_reads = true;
  int pumps_until_ok = 50;
  host.on_pump = [&] {
    if (--pumps_until_ok == 0) {
      port.fail_reads = false;
      port.fail_writes = true;
      port.DeliverAfterMs(Trigger(), 1);
    }
  };
  imitation.Begin();
  EXPECT_EQ(imitation.Run(), ImitationState::kMatched);
  EXPECT_GE(port.clear_errors, 50);
  EXPECT_EQ(port.events.back(), "RTS-");
}

// The simulated controller's side on its own: frames before the answer are
// not served, a near miss of the answer still leads to it, and without a
// repeat time it sends once.
TEST(SimModemExpecting, ServesOnlyOnceAnswered) {
  sim::ExpectModemScript script{.enabled = true, .first_after_ms = 100, .every_ms = 1000};
  sim::test::FrontRig<sim::ModemExpectingFront> rig(script);
  EXPECT_EQ(rig.PollTake(10000), "");
  EXPECT_EQ(rig.PollTake(10100), std::string("ATE0V1H0S0=0+CMEE=1\r\x1A"));
  rig.Send("?", 10600);
  rig.Send("\r\n\r\nO", 10700);
  EXPECT_FALSE(rig.front->AnswerReceived());
  EXPECT_EQ(rig.PollTake(11100).size(), 21u);
  rig.Send("K\r\n?", 11200);
  EXPECT_TRUE(rig.front->AnswerReceived());
  EXPECT_EQ(rig.inner->received, "?");
  EXPECT_EQ(rig.Take(), "ANSWER");
  rig.PollAt(20000);
  EXPECT_EQ(rig.front->Sends(), 2);

  script.every_ms = 0;
  sim::test::FrontRig<sim::ModemExpectingFront> once(script);
  once.PollAt(10000);
  once.PollAt(30000);
  EXPECT_EQ(once.front->Sends(), 1);
}

}  // namespace
}  // namespace kvarta
