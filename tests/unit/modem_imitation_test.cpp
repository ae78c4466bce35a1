#include "connection/modem_imitation.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

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
    port.on_write = [this](const std::vector<uint8_t>&) {
      write_ns = clock.now_ns;
      events_at_write = port.events;
    };
  }

  // Records the time of every RTS change.
  void WatchRts() { host.on_pump = nullptr; }

  FakeClock clock;
  FakeSerialPort port;
  FakeHost host;
  ModemImitation imitation;
  int64_t write_ns = 0;
  std::vector<std::string> events_at_write;
};

TEST(ImitationTiming, AnswerLineTime) {
  // 70 bit times: about 7.3 ms at 9600 bit/s.
  EXPECT_EQ(ImitationAnswerLineNs(9600), 7291666);
  EXPECT_EQ(ImitationAnswerLineNs(1200), 58333333);
  EXPECT_EQ(ImitationAnswerLineNs(0), 0);
  EXPECT_EQ(std::string(kImitationDoneText), "Отправлен ответ на \xD0\x90\xD0\xA2-команду");
}

TEST_F(ModemImitationTest, AnswersTheTriggerWithRtsAroundTheAnswer) {
  port.DeliverAfterMs(Trigger(), 100, 1);
  imitation.Begin();
  EXPECT_TRUE(port.dtr);
  const int64_t last_byte = clock.now_ns + MsToNs(100 + 20);
  EXPECT_EQ(imitation.Run(), ImitationState::kMatched);

  ASSERT_EQ(port.writes.size(), 1u);
  EXPECT_EQ(port.writes[0], (std::vector<uint8_t>{'\r', '\n', 'O', 'K', '\r', '\n'}));
  EXPECT_EQ(port.events, (std::vector<std::string>{"DTR+", "RTS+", "RTS-"}));
  EXPECT_EQ(events_at_write, (std::vector<std::string>{"DTR+", "RTS+"}));
  EXPECT_FALSE(port.rts);
  // 20 ms after the match, RTS 2 ms ahead of the answer, lowered once the
  // answer's line time has passed since the write began.
  EXPECT_GE(write_ns - last_byte, MsToNs(22));
  EXPECT_LT(write_ns - last_byte, MsToNs(40));
  EXPECT_GE(clock.now_ns - write_ns, ImitationAnswerLineNs(9600));
  EXPECT_LT(clock.now_ns - write_ns, MsToNs(9));
  EXPECT_EQ(host.cursors.front(), CursorShape::kAppStarting);
  EXPECT_EQ(host.cursors.back(), CursorShape::kNormal);
  EXPECT_TRUE(imitation.CloseAllowed());
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

}  // namespace
}  // namespace kvarta
