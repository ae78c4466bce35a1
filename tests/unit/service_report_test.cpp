// The service report as text: every section there in its order, the
// configuration by name, and no password, code or key anywhere, neither in
// the parameters nor in the frames, even from a log that kept them.
#include <gtest/gtest.h>

#include <string>

#include "app/service_report.h"
#include "link/function_codes.h"
#include "link/table_layout.h"
#include "support/fakes.h"
#include "support/frames.h"

namespace kvarta {
namespace {

using test::Bytes;

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
