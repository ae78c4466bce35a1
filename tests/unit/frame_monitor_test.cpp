// Frames taken apart for the frame monitor, the trace and the report: what
// each part of a frame is, where credentials sit (never shown), and what the
// monitor's pause, clear and save keep; the service report as text: every
// section there in its order, the configuration by name, and no password,
// code or key anywhere, even from a log that kept them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/frame_monitor_model.h"
#include "app/service_report.h"
#include "link/frame_decoder.h"
#include "link/function_codes.h"
#include "link/table_catalogue.h"
#include "link/table_layout.h"
#include "support/fakes.h"
#include "support/frames.h"
#include "support/temp_dir.h"
#include "unit/config_flow_support.h"

namespace kvarta {
namespace {

using test::Bytes;

// A write request as the link sends it: preambles, credentials, request
// byte, table, first field, count, values.
Bytes WriteRequest(uint8_t table, uint8_t first, const Bytes& values) {
  Bytes body = {'P', 'A', 'S', 'S', 'W', 'O', 'R', 'D', '1', '2', '3', '4', 'C', 'O', 'D', 'E'};
  body.insert(body.end(), {0x00, table, first, static_cast<uint8_t>(values.size())});
  body.insert(body.end(), values.begin(), values.end());
  Bytes frame = {0xFF, 0xFF};
  const Bytes request = test::MakeRequest(1, 2, body);
  frame.insert(frame.end(), request.begin(), request.end());
  return frame;
}

TEST(FrameDecoderTest, RequestsAndAnswersAreTakenApart) {
  const Bytes read = {0xFF, 0xFF, 0xCC, 0x01, 0x0A, 0x01, 0x00, 0x04, 0x02, 0x03, 0x00, 0x00};
  Bytes fixed = test::MakeRequest(1, 1, {0x00, 0x04, 0x02, 0x03});
  fixed.insert(fixed.begin(), {0xFF, 0xFF});
  DecodedFrame d = DecodeFrame(fixed.data(), fixed.size());
  ASSERT_TRUE(d.found);
  EXPECT_TRUE(d.request);
  EXPECT_TRUE(d.has_range);
  // start, address, length, table, first field, count
  EXPECT_EQ(
      (std::vector<int>{static_cast<int>(d.start), d.address, d.length, d.table, d.first, d.count}),
      (std::vector<int>{2, 1, 10, 4, 2, 3}));
  EXPECT_EQ(d.values_begin, d.values_end) << "a read carries no values";
  EXPECT_EQ(d.crc, CrcVerdict::kGood);
  EXPECT_EQ(DescribeFrame(fixed.data(), fixed.size(), d, false),
            "старт CC, адрес 1, длина 10, функция 1 (чтение), таблица 4, поле 2, количество 3, "
            "CRC верна, перед кадром 2 байт");
  // The same frame with a broken CRC is still taken apart.
  d = DecodeFrame(read.data(), read.size());
  EXPECT_EQ(d.crc, CrcVerdict::kBad);
  EXPECT_EQ(d.table, 4);

  const Bytes answer = test::MakeAnswer(7, 0x81, 0, {0x0F, 0x00, 0x02, 0xAB, 0xCD});
  d = DecodeFrame(answer.data(), answer.size());
  EXPECT_FALSE(d.request);
  EXPECT_TRUE(d.has_status);
  EXPECT_EQ((std::vector<int>{d.address, d.table, d.count}), (std::vector<int>{7, 15, 2}));
  EXPECT_EQ(FrameHex(answer.data() + d.values_begin, d.values_end - d.values_begin,
                     DecodeFrame(nullptr, 0), false),
            "AB CD");

  const Bytes error = test::MakeErrorAnswer(1, 2, 3, 1, 4);
  d = DecodeFrame(error.data(), error.size());
  EXPECT_TRUE(d.error_answer);
  EXPECT_EQ((std::vector<int>{d.error_code, d.reason_code, d.error_table}),
            (std::vector<int>{3, 1, 4}));
  EXPECT_NE(DescribeFrame(error.data(), error.size(), d, false)
                .find("функция 2 (ошибка), код ошибки 3, причина 1, таблица 4"),
            std::string::npos);
}

TEST(FrameDecoderTest, CutNoiseAndEmptyInputAreSaidSo) {
  const Bytes answer = test::MakeAnswer(1, 0x81, 0, {0x00, 0x00, 0x01, 0x09});
  const Bytes cut(answer.begin(), answer.begin() + 6);
  DecodedFrame d = DecodeFrame(cut.data(), cut.size());
  EXPECT_EQ(d.crc, CrcVerdict::kIncomplete);
  EXPECT_NE(
      DescribeFrame(cut.data(), cut.size(), d, false).find("CRC кадр неполный (6 из 11 байт)"),
      std::string::npos);
  // A start byte inside the noise does not hide the frame after it.
  Bytes noisy = {0x33, 0x05, 0x01};
  noisy.insert(noisy.end(), answer.begin(), answer.end());
  d = DecodeFrame(noisy.data(), noisy.size());
  EXPECT_EQ(d.crc, CrcVerdict::kGood);
  EXPECT_EQ(d.start, 3u);
  const Bytes noise = {0x00, 0x7E, 0x12};
  d = DecodeFrame(noise.data(), noise.size());
  EXPECT_FALSE(d.found);
  EXPECT_EQ(DescribeFrame(noise.data(), noise.size(), d, false), "нет начала кадра (3 байт)");
  d = DecodeFrame(nullptr, 0);
  EXPECT_EQ(d.crc, CrcVerdict::kNoFrame);
}

TEST(FrameDecoderTest, CredentialsAreHiddenUnlessAskedFor) {
  // A write of a user's password: the log-on bytes and the password's
  // value bytes are secret, the rest of the values not.
  const uint8_t field_size = TableCatalogue(4).field_size;
  const Bytes frame = WriteRequest(4, 0, Bytes(field_size, 0x41));
  const DecodedFrame d = DecodeFrame(frame.data(), frame.size());
  ASSERT_EQ(d.crc, CrcVerdict::kGood);
  EXPECT_TRUE(d.credentials);
  const std::string hidden = FrameHex(frame.data(), frame.size(), d, false);
  EXPECT_EQ(hidden.find("50 41 53 53"), std::string::npos) << hidden;  // "PASS"
  EXPECT_EQ(hidden.rfind("FF FF CC 01", 0), 0u);
  // User 1: name, level and reserved byte shown; password and code secret.
  for (size_t i = 0; i < field_size; ++i) EXPECT_EQ(d.secret[d.values_begin + i], i >= 6) << i;
  const std::string line = DescribeFrame(frame.data(), frame.size(), d, false);
  EXPECT_NE(line.find("пароль ************, код ****"), std::string::npos) << line;
  EXPECT_EQ(line.find("PASS"), std::string::npos);
  const std::string shown = DescribeFrame(frame.data(), frame.size(), d, true);
  EXPECT_NE(shown.find("пароль \"PASSWORD1234\", код \"CODE\""), std::string::npos) << shown;

  // Another table's values stay visible.
  const Bytes plain = WriteRequest(15, 0, {0x41});
  const DecodedFrame p = DecodeFrame(plain.data(), plain.size());
  EXPECT_FALSE(p.secret[p.values_begin]);

  EXPECT_EQ(CommandText("AT+CPIN=1234\r", false), "AT+CPIN=****\\r");
  EXPECT_EQ(CommandText("at+cpin=1234;&W\r", true), "at+cpin=1234;&W\\r");
}

TEST(FrameLogTest, KeepsTheNewestWithoutSecretsAndTellsObservers) {
  test::FakeClock clock;
  FrameLog log(clock, 3);
  int told = 0;
  const int id = log.AddObserver([&](const FrameRecord&) { ++told; });
  const Bytes frame = WriteRequest(4, 0, {0x41});
  log.AddFrame(TraceDirection::kSent, frame.data(), frame.size(), clock.NowNs());
  const FrameRecord& sent = log.records().back();
  EXPECT_EQ(Bytes(sent.bytes.begin() + 6, sent.bytes.begin() + 22), Bytes(16, 0))
      << "credentials are not kept";
  clock.AdvanceMs(12);
  log.AddFrame(TraceDirection::kReceived, frame.data(), frame.size(), clock.NowNs(),
               MsToNs(3) + 200000);
  log.AddCommand(FrameKind::kModem, TraceDirection::kSent, "AT+CPIN=1111\r");
  log.AddNote("нет ответа за 300 мс");
  EXPECT_EQ(told, 4);
  ASSERT_EQ(log.records().size(), 3u);
  EXPECT_EQ(log.records().front().number, 2u);
  EXPECT_EQ(log.total(), 4u);
  const std::vector<std::string> lines = FrameLogLines(log, 10, false);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].substr(0, 13), "    12.000 < ");
  EXPECT_NE(lines[1].find(", задержка 3.2 мс"), std::string::npos) << lines[1];
  EXPECT_EQ(lines[2].substr(11), "> модем: AT+CPIN=****\\r");
  EXPECT_EQ(lines[3].substr(11), "< нет ответа за 300 мс");
  log.RemoveObserver(id);
  log.AddNote("x");
  EXPECT_EQ(told, 4);
}

class FrameMonitorModelTest : public ::testing::Test {
 protected:
  void Frame(const Bytes& bytes, TraceDirection d = TraceDirection::kSent) {
    log.AddFrame(d, bytes.data(), bytes.size(), clock.NowNs());
  }
  test::FakeClock clock;
  FrameLog log{clock};
};

TEST_F(FrameMonitorModelTest, RowsFollowTheLogAndSayWhatEachFrameIs) {
  Frame(test::MakeRequest(1, 1, {0x00, 0x00, 0x00, 0x12}));
  FrameMonitorModel model(log);
  ASSERT_EQ(model.rows().size(), 1u) << "what the log held is shown at once";
  Frame(test::MakeAnswer(1, 0x81, 0, {0x00, 0x00, 0x01, 0x40}), TraceDirection::kReceived);
  Frame(test::MakeErrorAnswer(1, 2, 3, 1, 4), TraceDirection::kReceived);
  log.AddCommand(FrameKind::kAdapter, TraceDirection::kSent, "ATZ\r");
  EXPECT_EQ(model.rows().size(), 1u) << "until the next update";
  EXPECT_EQ(model.Update(), 3u);
  const auto cell = [&](size_t row, FrameColumn c) {
    return model.rows()[row].cells[static_cast<size_t>(c)];
  };
  EXPECT_EQ(cell(0, FrameColumn::kDirection), "→");
  EXPECT_EQ(cell(0, FrameColumn::kFunction), "1 (чтение)");
  EXPECT_EQ(cell(0, FrameColumn::kCount), "18");
  EXPECT_EQ(cell(1, FrameColumn::kFunction), "129 (ответ: чтение)");
  EXPECT_EQ(cell(1, FrameColumn::kValues), "40");
  EXPECT_EQ(cell(1, FrameColumn::kCrc), "верна");
  EXPECT_FALSE(model.rows()[1].fault);
  EXPECT_EQ(cell(2, FrameColumn::kValues), "код ошибки 3, причина 1, таблица 4");
  EXPECT_TRUE(model.rows()[2].fault);
  EXPECT_EQ(cell(3, FrameColumn::kFunction), "адаптер");
  EXPECT_EQ(cell(3, FrameColumn::kValues), "ATZ\\r");
  EXPECT_EQ(model.StatusText(), "Кадров: 4");
}

TEST_F(FrameMonitorModelTest, PauseKeepsWhatComesAndClearLeavesTheLog) {
  FrameMonitorModel model(log, 3);
  model.SetPaused(true);
  for (int i = 0; i < 5; ++i) Frame(test::MakeRequest(1, 1, {0, 0, 0, static_cast<uint8_t>(i)}));
  EXPECT_EQ(model.Update(), 0u);
  EXPECT_TRUE(model.rows().empty());
  EXPECT_EQ(model.StatusText(), "Кадров: 0, ожидают показа: 3 (пауза)");
  model.SetPaused(false);
  EXPECT_EQ(model.Update(), 3u);
  ASSERT_EQ(model.rows().size(), 3u);
  EXPECT_EQ(model.rows().front().number, 3u) << "the oldest beyond the capacity went";
  model.Clear();
  EXPECT_TRUE(model.rows().empty());
  EXPECT_EQ(log.records().size(), 5u) << "the report still has them";
}

TEST_F(FrameMonitorModelTest, SaveAsWritesTheTraceLinesAndSaysWhenItCannot) {
  const Bytes secret = WriteRequest(4, 0, {0x41});
  Frame(secret);
  FrameMonitorModel model(log);
  test::TempDir dir;
  test::FakeHost host;
  test::ScriptedConfigDialogs chooser;
  chooser.save_paths = {std::nullopt, dir.File("frames"), dir.File("missing/frames.txt")};
  const LocalDateTime now{2026, 12, 7, 9, 5, 3, 0};
  EXPECT_EQ(model.SaveAs(host, chooser, dir.path(), now), "") << "cancelled";
  EXPECT_EQ(chooser.save_requests[0].title, kFrameMonitorSaveTitle);
  EXPECT_EQ(chooser.save_requests[0].path, dir.path() + "/frames-261207-090503.txt");

  const std::string saved = model.SaveAs(host, chooser, dir.path(), now);
  EXPECT_EQ(saved, dir.File("frames.txt"));
  std::ostringstream text;
  text << std::ifstream(saved).rdbuf();
  EXPECT_EQ(text.str(), model.Text());
  EXPECT_NE(text.str().find("функция 2 (запись)"), std::string::npos);
  EXPECT_EQ(text.str().find("50 41 53 53"), std::string::npos) << "no password in the file";

  EXPECT_EQ(model.SaveAs(host, chooser, dir.path(), now), "");
  ASSERT_FALSE(host.shown.empty());
  EXPECT_EQ(host.shown.back().line1, "Сбой при работе с файлом");
}

constexpr const char* kUserPassword = "Pw4Secret";
constexpr const char* kUserCode = "9753";
constexpr const char* kKey = "KEY4MEXY";
constexpr const char* kGprsPassword = "gprsSecret";

// Every place a secret could leak through: as text, or as the hex of its first bytes.
void ExpectAbsent(const std::string& text, const std::string& secret) {
  EXPECT_EQ(text.find(secret), std::string::npos) << secret;
  const std::string hex = test::Hex(reinterpret_cast<const uint8_t*>(secret.data()), 4);
  EXPECT_EQ(text.find(hex), std::string::npos) << hex;
}

std::string LineWith(const std::string& text, const std::string& needle) {
  const size_t at = text.find(needle);
  if (at == std::string::npos) return "";
  const size_t begin = text.rfind('\n', at) + 1;
  return text.substr(begin, text.find('\n', at) - begin);
}

TEST(ServiceReportTest, HoldsEverySectionAndNoCredential) {
  ConfigImage image;
  SetText(image.Table(3), Param(3, "name"), "Узел 5");
  SetNumber(image.Table(4), Param(4, "user1.level"), 1);
  SetText(image.Table(4), Param(4, "user1.name"), "Нал");
  SetText(image.Table(4), Param(4, "user1.password"), kUserPassword);
  SetText(image.Table(4), Param(4, "user1.code"), kUserCode);
  SetText(image.Table(12), Param(12, "authorisation_key"), kKey);
  SetText(image.Table(22), Param(22, "password"), kGprsPassword);
  image.Table(7)[9] = 1;      // table 9 destroyed
  image.Table(17)[0] = 0x01;  // a diagnostic flag of server 1

  test::FakeClock clock;
  FrameLog log(clock);
  log.keep_secrets = true;  // as with --trace-secrets: the report hides them all the same
  const uint8_t* user = image.Field(4, 0);
  Bytes write = {'P', 'w', '4', 'S', 'e', 'c', 'r', 'e', 't', ' ',
                 ' ', ' ', '9', '7', '5', '3', 0,   4,   0,   1};
  write.insert(write.end(), user, user + TableCatalogue(4).field_size);
  const Bytes request = test::MakeRequest(5, kWriteFunction, write);
  log.AddFrame(TraceDirection::kSent, request.data(), request.size(), clock.NowNs());
  Bytes read_back = {4, 0, 1};
  read_back.insert(read_back.end(), user, user + TableCatalogue(4).field_size);
  const Bytes answer = test::MakeAnswer(5, kReadFunction | 0x80, 0, read_back);
  log.AddFrame(TraceDirection::kReceived, answer.data(), answer.size(), clock.NowNs(), 1000000);

  ServiceReportInput in;
  in.image = &image;
  in.address = 5;
  in.connection = {"Порт COM2 (/dev/ttyUSB0), 9600 бит/с, адрес 5"};
  in.made = {2026, 12, 7, 9, 30, 15, 0};
  in.clocks = {{" ЭВМ", "", "07.12.26  09:30:15", "+3", 0},
               {" ВРГ №1", "7", "07.12.26  09:29:00", "-72", 0}};
  in.frames = &log;
  const ServiceReport report = BuildServiceReport(in);
  const std::string& text = report.text;

  EXPECT_EQ(report.sections,
            (std::vector<std::string>{"identification", "table_states", "configuration",
                                      "diagnostics", "clocks", "frames"}));
  size_t last = 0;
  for (const char* heading :
       {"== Параметры идентификации контроллера ==",
        "== Состояние таблиц параметров конфигурации ==", "== Параметры конфигурации ==",
        "== Признаки диагностики ==", "== Дата и время: отклонения ==",
        "== Последние кадры сеанса связи: 2 из 2 =="}) {
    const size_t at = text.find(heading);
    ASSERT_NE(at, std::string::npos) << heading << "\n" << text;
    EXPECT_GT(at, last) << heading;
    last = at;
  }
  EXPECT_NE(text.find("Контроллер: Узел 5, адрес 5\nСвязь: Порт COM2"), std::string::npos);
  // Decoded by name, users' levels with their names, the destroyed table told.
  EXPECT_NE(text.find("\nname = \"Узел 5\"\n"), std::string::npos);
  EXPECT_NE(text.find("\nuser1.name = \"Нал\"\n"), std::string::npos);
  EXPECT_NE(text.find("\nuser1.level = 1 ("), std::string::npos);
  EXPECT_TRUE(LineWith(text, "Табл.  9.").ends_with("Да")) << LineWith(text, "Табл.  9.");
  EXPECT_TRUE(LineWith(text, "Табл.  3.").ends_with("Нет")) << LineWith(text, "Табл.  3.");
  EXPECT_TRUE(LineWith(text, "ВРГ №1").ends_with("-72")) << LineWith(text, "ВРГ №1");

  for (const char* masked : {"\nuser1.password = ***\n", "\nuser1.code = ***\n",
                             "\nauthorisation_key = ***\n", "\npassword = ***\n"}) {
    EXPECT_NE(text.find(masked), std::string::npos) << masked;
  }
  for (const char* secret : {kUserPassword, kUserCode, kKey, kGprsPassword}) {
    ExpectAbsent(text, secret);
  }
  EXPECT_NE(text.find("**"), std::string::npos);
}

TEST(ServiceReportTest, ProposedNameStaysInItsFolder) {
  ConfigImage image;
  const LocalDateTime now{2026, 3, 4, 5, 6, 7, 0};
  SetText(image.Table(3), Param(3, "name"), "../Котельная 1/a:b");
  const std::string name = ProposedServiceReportName(image, 12, now);
  EXPECT_EQ(name.find('/'), std::string::npos) << name;
  EXPECT_EQ(name.find(' '), std::string::npos) << name;
  EXPECT_EQ(name.rfind("report-", 0), 0u) << name;
  EXPECT_NE(name.find("Котельная_1"), std::string::npos) << name;
  EXPECT_NE(name.find("-012-260304-0506.txt"), std::string::npos) << name;

  SetText(image.Table(3), Param(3, "name"), "");
  image.Table(0)[layout::t0::kControllerType] = 64;
  EXPECT_EQ(ProposedServiceReportName(image, 1, now), "report-kvr64-001-260304-0506.txt");
}

}  // namespace
}  // namespace kvarta
