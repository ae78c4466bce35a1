#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "link/controller_link.h"
#include "support/link_fixture.h"

namespace kvarta {
namespace {

using test::Bytes;
using test::Hex;
using test::MakeAnswer;
using test::MakeErrorAnswer;
using ::testing::AllOf, ::testing::Ge, ::testing::Lt;

constexpr uint8_t kRead = 1;
constexpr uint8_t kReadAnswer = 0x81;

// One attempt unless a test asks for more.
class ControllerLinkTest : public test::LinkFixture {
 protected:
  ControllerLinkTest() { link.attempts = 1; }
};

// --- The link record -------------------------------------------------------

TEST_F(ControllerLinkTest, CarrierLossTestReadsLogAsTextUpToFirstZero) {
  auto put = [&](size_t at, const std::string& text) {
    std::copy(text.begin(), text.end(), link.session_log.begin() + at);
  };
  EXPECT_FALSE(link.CarrierLost());
  // Mixed case is not the modem's text; a text behind a zero byte is not read.
  const std::tuple<size_t, const char*, bool> logs[] = {{0, "\r\nNO CARRIER\r\n", true},
                                                        {0, "xx no carrier", true},
                                                        {0, "No Carrier", false},
                                                        {5, "NO CARRIER", false}};
  for (const auto& [at, text, lost] : logs) {
    link.ClearExchangeBlock();
    put(at, text);
    EXPECT_EQ(link.CarrierLost(), lost) << text;
  }

  link.session_log.fill('x');  // no terminator inside the log
  put(kSessionLogSize - 8, "NO CARRI");
  EXPECT_TRUE(link.CarrierLost());
  link.log_position = 17;
  link.retry_deadline_ns = 5;
  link.ClearExchangeBlock();
  EXPECT_FALSE(link.CarrierLost());
  EXPECT_EQ(link.log_position, 0u);
  EXPECT_EQ(link.retry_deadline_ns, 0);
}

// --- Request frames --------------------------------------------------------

TEST_F(ControllerLinkTest, EveryLayoutIsSentWithItsLengthAndValidCrc) {
  link.SetCredentials("PASSWORD1234", "ID01");
  const uint8_t data[20] = {0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A,
                            0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24};
  for (uint8_t code : {1, 2, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 25, 26, 28, 29, 32}) {
    port->writes.clear();
    const uint32_t n = (code == 2 || code == 28 || code == 29) ? 6 : 20;
    AnswerEveryRequest(MakeAnswer(1, code | 0x80, 0));
    ASSERT_TRUE(SendRequest(link, code, data, n, 0x5A)) << int(code);
    ASSERT_EQ(port->writes.size(), 1u);
    const Bytes& rq = port->writes[0];
    ASSERT_EQ(rq.size(), RequestLength(code, n)) << int(code);
    EXPECT_EQ(Bytes(rq.begin(), rq.begin() + 4), (Bytes{0xCC, 1, uint8_t(rq.size()), code}));
    EXPECT_EQ(Crc16(rq.data(), rq.size()), 0) << Hex(rq);
    const bool credentials = code == 2 || code == 9 || code == 11 || code == 12 || code == 25 ||
                             code == 26 || code == 32;
    if (credentials) {
      EXPECT_EQ(std::string(rq.begin() + 4, rq.begin() + 20), "PASSWORD1234ID01") << int(code);
    } else if (code != 1) {
      EXPECT_EQ(rq[4], 0x11) << int(code);  // data right after the header
    }
  }
}

TEST_F(ControllerLinkTest, LayoutsPlaceRequestByteAndCopyOnlyWhatFits) {
  const uint8_t data[8] = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8};
  // Code, data, length, request byte, where the checked bytes start, those bytes.
  const std::tuple<uint8_t, const uint8_t*, uint32_t, uint8_t, size_t, const char*> cases[] = {
      {1, data, 8, 0x42, 4, "42 A1 A2 A3"},
      {1, data, 1, 0, 4, "00 A1 00 00"},  // fewer bytes than the layout holds: zeros
      {12, data, 1, 0, 20, "A1 00"},
      {2, data, 4, 0x07, 20, "07 A1 A2 A3 A4"},
      {7, nullptr, 5, 0, 4, "00 00 00 00 00 00 00"}};  // null data with a length: no data
  for (const auto& [code, bytes, n, request_byte, from, body] : cases) {
    port->writes.clear();
    AnswerEveryRequest(MakeAnswer(1, code | 0x80, 0));
    ASSERT_TRUE(SendRequest(link, code, bytes, n, request_byte)) << body;
    EXPECT_EQ(Hex(Bytes(port->writes[0].begin() + from, port->writes[0].end() - 2)), body);
  }
}

TEST_F(ControllerLinkTest, RefusedRequestsSendNothing) {
  const uint8_t data[240] = {};
  for (int code : {0, 3, 13, 24, 31, 33, 200}) {
    EXPECT_FALSE(SendRequest(link, static_cast<uint8_t>(code), data, 3, 0));
    EXPECT_EQ(link.result_code, kResultUnknownFunction);
  }
  EXPECT_FALSE(SendRequest(link, 2, data, 233, 0));  // longer than a frame
  EXPECT_EQ(link.result_code, kResultUnknownFunction);
  EXPECT_TRUE(port->writes.empty());
  EXPECT_EQ(link.last_exchange_time, 0);
}

// --- Answer assembly -------------------------------------------------------

TEST_F(ControllerLinkTest, NoiseAndDoubledStartBeforeAnswer) {
  const Bytes answer = MakeAnswer(1, kReadAnswer, 0, {0, 0, 1, 9});
  AnswerEveryRequest(test::Concat({0x00, 0x55, 0xFF, 0x01}, answer));
  EXPECT_TRUE(ReadTable0()) << link.result_code;
  EXPECT_EQ(Hex(Bytes(link.answer.begin(), link.answer.begin() + answer.size())), Hex(answer));

  AnswerEveryRequest(test::Concat({0x33}, answer));  // 33 33 01 ...
  EXPECT_TRUE(ReadTable0()) << link.result_code;

  // A third start character in a row is tolerated the same way.
  AnswerEveryRequest(test::Concat({0x33, 0x33}, answer));
  EXPECT_TRUE(ReadTable0()) << link.result_code;

  // A too-short length byte restarts the search.
  AnswerEveryRequest({0x33, 0x01, 0x05, 0x81, 0x00});
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultNoAnswer);
  EXPECT_EQ(link.session_log[2], 0x05);  // what arrived is in the log
  EXPECT_EQ(link.log_position, 5u);

  AnswerEveryRequest(test::Concat({0x33, 0x01, 0x02}, answer));
  EXPECT_TRUE(ReadTable0()) << link.result_code;
}

TEST_F(ControllerLinkTest, AnswersFromOtherAddresses) {
  AnswerEveryRequest(MakeAnswer(2, kReadAnswer, 0, {0, 0, 1, 9}));
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultNoAnswer);
  EXPECT_EQ(link.address, 1);

  // A broadcast takes the answering address.
  link.address = kBroadcastAddress;
  AnswerEveryRequest(MakeAnswer(7, kReadAnswer, 0, {0, 0, 1, 9}));
  EXPECT_TRUE(ReadTable0()) << link.result_code;
  EXPECT_EQ(port->writes.back()[1], 255);
  EXPECT_EQ(link.address, 7);

  // So does a write of a new address into table 3.
  link.address = 1;
  AnswerEveryRequest(MakeAnswer(9, 0x82, 0, {3, 0, 1}));
  EXPECT_TRUE(WriteField(3, 0, 9)) << link.result_code;
  EXPECT_EQ(link.address, 9);

  // A third address is still foreign.
  link.address = 1;
  AnswerEveryRequest(MakeAnswer(5, 0x82, 0, {3, 0, 1}));
  EXPECT_FALSE(WriteField(3, 0, 9));
  EXPECT_EQ(link.result_code, kResultNoAnswer);
  EXPECT_EQ(link.address, 1);

  // Only field 0 of table 3 holds the address.
  AnswerEveryRequest(MakeAnswer(9, 0x82, 0, {3, 1, 1}));
  EXPECT_FALSE(WriteField(3, 1, 9));
  EXPECT_EQ(link.address, 1);
}

TEST_F(ControllerLinkTest, LongestAnswerFillsTheFrame) {
  const Bytes answer = MakeAnswer(1, kReadAnswer, 0, Bytes(248, 0x5A));
  ASSERT_EQ(answer.size(), 255u);
  AnswerEveryRequest(test::Concat(answer, {0x33, 0x01, 0x08}), 5, 0);
  EXPECT_TRUE(ReadTable0()) << link.result_code;
  EXPECT_EQ(link.answer[254], answer[254]);
  EXPECT_EQ(port->Pending(), 0u);  // surplus bytes purged, not left for the next answer
}

// --- Failures --------------------------------------------------------------

TEST_F(ControllerLinkTest, AnswerStoppingEarlyEndsByInterByteTimeoutSilenceByAnswerTimeout) {
  const Bytes answer = MakeAnswer(1, kReadAnswer, 0, {0, 0, 1, 9});
  AnswerEveryRequest(Bytes(answer.begin(), answer.begin() + 4), 20, 1);
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultIncomplete);
  // Last byte at 23 ms after the write; the gap of 10 ms then ends it.
  EXPECT_THAT(MsSinceLastWrite(), AllOf(Ge(33), Lt(100)));  // far below the 2000 ms answer timeout
  EXPECT_EQ(link.answer[3], kReadAnswer);                   // the partial answer is kept

  // Silence ends by the answer timeout, longer for writes.
  StaySilent();
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultNoAnswer);
  EXPECT_THAT(MsSinceLastWrite(), AllOf(Ge(2000), Lt(2050)));
  // Writes wait 7 s more, except into the command table.
  EXPECT_FALSE(WriteField(9, 0, 1));
  EXPECT_THAT(MsSinceLastWrite(), AllOf(Ge(9000), Lt(9050)));
  EXPECT_EQ(link.answer_timeout_ms, 2000u);

  EXPECT_FALSE(WriteField(15, 0, 0));
  EXPECT_THAT(MsSinceLastWrite(), AllOf(Ge(2000), Lt(2050)));
  EXPECT_EQ(link.answer_timeout_ms, 2000u);
}

TEST_F(ControllerLinkTest, BadCrcAndErrorAnswers) {
  Bytes answer = MakeAnswer(1, kReadAnswer, 0, {0, 0, 1, 9});
  answer.back() ^= 0x01;
  AnswerEveryRequest(answer);
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultBadCrc);
  EXPECT_EQ(link.answer[answer.size() - 1], answer.back());

  AnswerEveryRequest(MakeErrorAnswer(1, 2, 7));
  EXPECT_FALSE(WriteField(9, 0, 1));
  EXPECT_EQ(link.result_code, kResultErrorAnswer);
  EXPECT_EQ(FormatResultMessage(link),
            "Команда 2.  Нарушена очередность записи параметров при конфигурации");

  AnswerEveryRequest(MakeErrorAnswer(1, 1, 24, 49, 4));
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultValveError);

  // An answer with bit 7 missing but otherwise the right code is an error answer too.
  AnswerEveryRequest(MakeAnswer(1, kRead, 0));
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultErrorAnswer);
  EXPECT_EQ(FormatResultMessage(link), "Команда 1.  Код ошибки = 0");
}

TEST_F(ControllerLinkTest, AttemptsAreCountedOnSilence) {
  link.attempts = 3;
  StaySilent();
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(port->writes.size(), 3u);
  EXPECT_EQ(link.result_code, kResultNoAnswer);

  // A late answer to the first attempt does not spoil the second.
  port->writes.clear();
  int writes = 0;
  port->on_write = [&](const Bytes&) {
    if (++writes == 2) port->DeliverAfterMs(MakeAnswer(1, kReadAnswer, 0, {0, 0, 1, 9}), 5);
  };
  link.attempts = 2;
  EXPECT_TRUE(ReadTable0()) << link.result_code;
  EXPECT_EQ(writes, 2);

  // Zero attempts still tries once.
  link.attempts = 0;
  port->writes.clear();
  StaySilent();
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(port->writes.size(), 1u);
}

TEST_F(ControllerLinkTest, WriteFailureClearsErrorsWithoutPurgeAfterwards) {
  link.attempts = 2;
  port->fail_writes = true;
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultWriteFailed);
  EXPECT_EQ(port->clear_errors, 2);
  EXPECT_EQ(port->purges, 2);  // one before each write, none after

  link.port.reset();
  port = nullptr;
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultWriteFailed);
}

TEST_F(ControllerLinkTest, EscapeAbortsAtOnceWithoutRetry) {
  link.attempts = 3;
  StaySilent();
  host.on_pump = [&] {
    if (!port->writes.empty() && clock.now_ns - write_times.back() > MsToNs(50)) host.escape = true;
  };
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultAborted);
  EXPECT_EQ(port->writes.size(), 1u);
  EXPECT_LT(MsSinceLastWrite(), 100);
  EXPECT_FALSE(link.abort_flag);

  // The abort flag set from outside stops the next request before it is sent.
  host.on_pump = nullptr;
  port->writes.clear();
  link.abort_flag = true;
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultAborted);
  EXPECT_TRUE(port->writes.empty());
  EXPECT_FALSE(link.abort_flag);
}

TEST_F(ControllerLinkTest, CarrierLossStopsEveryExchangeUntilCleared) {
  link.attempts = 2;
  link.connection_kind = ConnectionKind::kPhone;  // no recovery: given up at once
  const std::string modem_text = "\r\nNO CARRIER\r\n";
  AnswerEveryRequest(Bytes(modem_text.begin(), modem_text.end()));
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultCarrierLost);
  EXPECT_EQ(port->writes.size(), 1u);  // the second attempt failed before sending

  AnswerEveryRequest(MakeAnswer(1, kReadAnswer, 0, {0, 0, 1, 9}));
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultCarrierLost);
  EXPECT_EQ(port->writes.size(), 1u);

  link.ClearExchangeBlock();
  EXPECT_TRUE(ReadTable0()) << link.result_code;
}

TEST_F(ControllerLinkTest, SessionLogWrapsAt500) {
  AnswerEveryRequest(Bytes(620, 0x41), 5, 0);
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultNoAnswer);
  EXPECT_EQ(link.log_position, 120u);
}

// --- Waiting, status and trace ---------------------------------------------

TEST_F(ControllerLinkTest, WaitsForTheLineInsteadOfSpinning) {
  StaySilent();
  const int64_t start = clock.now_ns;
  EXPECT_FALSE(ReadTable0());
  const int64_t elapsed_ms = (clock.now_ns - start) / 1000000;
  EXPECT_GT(port->wait_calls, 0);
  EXPECT_LT(port->read_calls, elapsed_ms / 2);
  EXPECT_GT(host.pumps, port->wait_calls / 2);  // the host keeps running meanwhile

  // A port whose reads keep failing is waited on the same way.
  port->fail_reads = true;
  port->read_calls = port->wait_calls = 0;
  port->DeliverAfterMs({0x33}, 10);  // readable, yet every read fails
  const int64_t start2 = clock.now_ns;
  EXPECT_FALSE(ReadTable0());
  EXPECT_EQ(link.result_code, kResultNoAnswer);
  EXPECT_GT(port->clear_errors, 0);
  EXPECT_LT(port->read_calls, (clock.now_ns - start2) / 1000000 / 2);
}

TEST_F(ControllerLinkTest, StatusPanelAndLastExchangeTime) {
  std::string during;
  port->on_write = [&](const Bytes&) {
    during = bar.panels[3];
    port->DeliverAfterMs(MakeAnswer(1, kReadAnswer, 0, {0, 0, 1, 9}), 5);
  };
  clock.local = {2026, 3, 14, 15, 9, 26, 0};
  ASSERT_TRUE(ReadTable0());
  EXPECT_EQ(during, "Обмен...");
  EXPECT_EQ(bar.panels[3], "");
  EXPECT_DOUBLE_EQ(link.last_exchange_time, CalendarValue(clock.local));

  // A failed request is stamped too.
  StaySilent();
  clock.local.minute = 30;
  EXPECT_FALSE(ReadTable0());
  EXPECT_DOUBLE_EQ(link.last_exchange_time, CalendarValue(clock.local));
}

TEST_F(ControllerLinkTest, FrameLogSeesEverythingOnTheWire) {
  link.preamble_count = 2;
  std::vector<FrameRecord> seen;
  link.frame_log.AddObserver([&](const FrameRecord& r) { seen.push_back(r); });
  const Bytes answer = MakeAnswer(1, kReadAnswer, 0, {0, 0, 1, 9});
  AnswerEveryRequest(test::Concat({0x00, 0x7E}, answer));
  ASSERT_TRUE(ReadTable0());
  EXPECT_EQ(link.last_function_code, 1);
  EXPECT_EQ(link.answer[8], 9);  // the answer stays in the answer frame
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].direction, TraceDirection::kSent);
  // The read request exactly, behind its preambles.
  EXPECT_EQ(Hex(seen[0].bytes), "FF FF CC 01 0A 01 00 00 00 01 A0 64");
  EXPECT_EQ(seen[0].bytes, port->writes[0]);
  EXPECT_EQ(seen[1].direction, TraceDirection::kReceived);
  EXPECT_EQ(Hex(seen[1].bytes), Hex(test::Concat({0x00, 0x7E}, answer)));
  EXPECT_GE(seen[1].latency_ns, 0);
  EXPECT_EQ(seen[1].decoded.crc, CrcVerdict::kGood);
  EXPECT_EQ(seen[1].decoded.start, 2u) << "the noise ahead is passed over";

  // Silence: the request, then a note that nothing came.
  seen.clear();
  StaySilent();
  EXPECT_FALSE(ReadTable0());
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].direction, TraceDirection::kSent);
  EXPECT_EQ(seen[1].kind, FrameKind::kNote);
  EXPECT_EQ(seen[1].text.rfind("нет ответа за ", 0), 0u) << seen[1].text;
}

}  // namespace
}  // namespace kvarta
