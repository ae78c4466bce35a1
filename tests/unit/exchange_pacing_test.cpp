// How the exchange waits: the pause before a request and the reading of an
// answer that streams in at the line rate.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "support/frames.h"
#include "support/link_fixture.h"

namespace kvarta::test {
namespace {

class ExchangePacingTest : public LinkFixture {
 protected:
  // A read answer of 122 value bytes (132 bytes on the wire, table 3), each
  // byte arriving at the link's line rate, the first 3 ms after the request.
  void StreamAnswer(uint32_t rate) {
    link.baud_rate = rate;
    byte_ns = 10LL * 1000000000LL / rate;
    Bytes values(122, 0x5A);
    answer = MakeAnswer(1, 0x81, 0, Concat({3, 0, 122}, values));
    port->on_write = [this](const Bytes&) {
      write_times.push_back(clock.now_ns);
      first_byte_ns = clock.now_ns + MsToNs(3);
      port->Deliver(answer, first_byte_ns, byte_ns);
    };
  }

  int64_t LastByteNs() const {
    return first_byte_ns + static_cast<int64_t>(answer.size() - 1) * byte_ns;
  }

  Bytes answer;
  int64_t byte_ns = 0;
  int64_t first_byte_ns = 0;
};

TEST_F(ExchangePacingTest, AnAnswerStreamingInIsReadInFewWakeUpsAndSeenAtItsLastByte) {
  for (uint32_t rate : {9600u, 115200u}) {
    StreamAnswer(rate);
    port->read_calls = port->wait_calls = 0;
    const uint8_t range[] = {3, 0, 122};
    ASSERT_TRUE(SendRequest(link, 1, range, sizeof range, 0)) << rate;
    // Seen within a millisecond of the last byte, though with far fewer
    // wake-ups than bytes.
    EXPECT_GE(clock.now_ns, LastByteNs()) << rate;
    EXPECT_LE(clock.now_ns, LastByteNs() + MsToNs(1)) << rate;
    EXPECT_LT(port->wait_calls, static_cast<int>(answer.size()) / 4) << rate;
  }
}

// Bytes read after a sleep count from when they were read, so the gap rule
// may end up to one sleep (10 ms) later than the last byte plus the gap, never
// earlier.
TEST_F(ExchangePacingTest, AnAnswerThatStopsHalfwayStillEndsAtTheGapTimeout) {
  StreamAnswer(9600);
  link.inter_byte_timeout_ms = 20;
  port->on_write = [this](const Bytes&) {
    first_byte_ns = clock.now_ns + MsToNs(3);
    port->Deliver(Bytes(answer.begin(), answer.begin() + 10), first_byte_ns, byte_ns);
  };
  const uint8_t range[] = {3, 0, 122};
  EXPECT_FALSE(SendRequest(link, 1, range, sizeof range, 0));
  EXPECT_EQ(link.result_code, kResultIncomplete);
  const int64_t tenth_byte = first_byte_ns + 9 * byte_ns;
  EXPECT_GE(clock.now_ns, tenth_byte + MsToNs(20));
  EXPECT_LE(clock.now_ns, tenth_byte + MsToNs(20 + 11));
}

TEST_F(ExchangePacingTest, ALineThatIsGoneEndsTheExchangeAtOnce) {
  StaySilent();
  port->fail_reads = true;
  port->gone = true;
  link.answer_timeout_ms = 2000;
  const int64_t start = clock.now_ns;
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultReadFailed);
  EXPECT_LT(clock.now_ns - start, MsToNs(100));  // on the fake clock: not the 2 s
}

TEST_F(ExchangePacingTest, NoCarrierTextEndsAModemExchangeButIsDataOnACable) {
  const Bytes answer = Concat({'N', 'O', ' ', 'C', 'A', 'R', 'R', 'I', 'E', 'R', '\r'},
                              MakeAnswer(1, 0x81, 0, {0, 0, 1, 0}));
  AnswerEveryRequest(answer);
  link.connection_kind = ConnectionKind::kDirect;
  EXPECT_TRUE(ReadTable0());
  link.ClearExchangeBlock();
  link.connection_kind = ConnectionKind::kPhone;
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultCarrierLost);
}

TEST(PreciseSleep, NeverReturnsBeforeTheDeadline) {
  SystemClock& clock = RealClock();
  for (int i = 0; i < 20; ++i) {
    const int64_t deadline = clock.NowNs() + MsToNs(2);
    clock.SleepUntilNs(deadline);
    EXPECT_GE(clock.NowNs(), deadline);
  }
}

}  // namespace
}  // namespace kvarta::test
