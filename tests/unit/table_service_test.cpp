// The table service against the simulated controller on the fake clock; the
// answers no controller gives are scripted.
#include "link/table_service.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>

#include "link/config_image.h"
#include "link/controller_link.h"
#include "support/sim_line.h"

namespace kvarta {
namespace {

using test::Bytes;
using test::MakeAnswer;
using test::MakeRequest;

class TableServiceTest : public ::testing::Test, public test::SimLinked {
 protected:
  uint8_t* Controller(int t) { return port->controller.Field(t, 0); }
  // Fills a table of the controller with 1, 2, 3, ...
  void NumberControllerTable(int t) {
    const size_t n = TableCatalogue(t).Bytes();
    for (size_t i = 0; i < n; ++i) Controller(t)[i] = static_cast<uint8_t>(i + 1);
  }
  // Every attempt of the next request gets this answer (nullopt: silence).
  void AnswerNextRequest(const std::optional<Bytes>& answer) {
    for (int i = 0; i < link.attempts; ++i) port->instead.push_back(answer);
  }
  bool PanelShowed(const std::string& text) const {
    for (const auto& [panel, shown] : status.history) {
      if (panel == 2 && shown == text) return true;
    }
    return false;
  }
  Bytes Image(int t, int first, int count) const {
    const uint8_t* p = image.Field(t, first);
    return Bytes(p, p + TableCatalogue(t).field_size * count);
  }
  std::pair<std::string, std::string> Shown(size_t i) const {
    return {host.shown.at(i).line1, host.shown.at(i).line2};
  }
  bool Read(FieldRange range, bool interactive = true) {
    return ReadTableFields(link, image, range, &status, interactive);
  }
  bool Write(FieldRange range) { return WriteTableFields(link, image, range, &status); }

  test::FakeStatusBar& status = bar;
  ConfigImage image;
};

// --- reading ---

TEST_F(TableServiceTest, ReadSendsRangeShowsProgressAndFillsOnlyThoseFieldsOfTheImage) {
  NumberControllerTable(0);
  ASSERT_TRUE(Read({0, 0, 18}));

  ASSERT_EQ(port->writes.size(), 1u);
  EXPECT_EQ(test::Hex(port->writes[0]), test::Hex(MakeRequest(1, 1, {0x00, 0x00, 0x00, 0x12})));
  EXPECT_TRUE(PanelShowed("Чтение из таблицы 0 (поля 0-17)"));
  EXPECT_EQ(status.panels[2], "");
  EXPECT_EQ(Image(0, 0, 18), Bytes(Controller(0), Controller(0) + 18));
  EXPECT_TRUE(host.shown.empty());

  // One field: the singular text, only that field touched.
  NumberControllerTable(3);
  image.Table(3)[4] = 0xAA;
  image.Table(3)[6] = 0xBB;
  ASSERT_TRUE(Read({3, 5, 1}));
  EXPECT_TRUE(PanelShowed("Чтение из таблицы 3 (поле 5)"));
  EXPECT_EQ(Image(3, 4, 3), (Bytes{0xAA, 6, 0xBB}));
}

TEST_F(TableServiceTest, SilentReadShowsNothingAndDoesNotAskAfterExchangeFailure) {
  status.SetPanelText(2, "Разрушена таблица 4");
  status.history.clear();
  ASSERT_TRUE(Read({2, 0, 6}, false));
  EXPECT_TRUE(status.history.empty());

  AnswerNextRequest(std::nullopt);
  EXPECT_FALSE(Read({2, 0, 6}, false));
  EXPECT_EQ(link.result_code, kResultNoAnswer);
  EXPECT_TRUE(host.shown.empty());
  EXPECT_TRUE(status.history.empty());
}

TEST_F(TableServiceTest, EchoOfAnotherRangeOrLengthIsReportedAndLeavesImageUntouched) {
  // Table 9 asked, table 3 answered (even in silent mode the user is asked).
  for (bool interactive : {true, false}) {
    host.shown.clear();
    std::memset(image.Table(9), 0x5A, 104);
    Bytes body = {3, 0, 104};
    body.resize(3 + 104, 0x11);
    port->instead.push_back(MakeAnswer(1, 0x81, 0, body));
    EXPECT_FALSE(Read({9, 0, 104}, interactive));
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].kind, kMessageRetry);
    EXPECT_EQ(Shown(0),
              std::make_pair(std::string("Не выполнено чтение из таблицы 9."),
                             std::string("Несоответствие запрошенных и переданных данных")));
    EXPECT_EQ(Image(9, 0, 104), Bytes(104, 0x5A));
  }

  // So is an answer with too few or too many values: no stale values taken.
  std::memset(image.Table(0), 0x5A, 18);
  for (size_t values : {17u, 19u, 0u}) {
    Bytes body = {0, 0, 18};
    body.resize(3 + values, 0x11);
    port->instead.push_back(MakeAnswer(1, 0x81, 0, body));
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(Read({0, 0, 18})) << i;
    EXPECT_EQ(host.shown.back().line2, "Несоответствие запрошенных и переданных данных");
  }
  EXPECT_EQ(Image(0, 0, 18), Bytes(18, 0x5A));
}

TEST_F(TableServiceTest, YesRepeatsFailedReadNoGivesUp) {
  NumberControllerTable(7);
  AnswerNextRequest(std::nullopt);
  host.answers = {true};
  ASSERT_TRUE(Read({7, 0, 23}));
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].kind, kMessageRetry);
  EXPECT_EQ(host.shown[0].line1, "Не выполнено чтение из таблицы 7.");
  EXPECT_NE(host.shown[0].line2.find("Устройство не отвечает"), std::string::npos);
  EXPECT_EQ(port->writes.size(), static_cast<size_t>(link.attempts) + 1);
  EXPECT_EQ(image.Table(7)[22], 23);
  // The progress text is shown again for the repeated request.
  int progress_shown = 0;
  for (const auto& [panel, text] : status.history) progress_shown += text.starts_with("Чтение");
  EXPECT_EQ(progress_shown, 2);

  AnswerNextRequest(std::nullopt);
  EXPECT_FALSE(Read({7, 0, 23}));
  EXPECT_EQ(host.shown.size(), 2u);
}

TEST_F(TableServiceTest, NoRetryQuestionAfterEscOrCarrierLoss) {
  for (bool write : {false, true}) {
    host.escape = true;
    EXPECT_FALSE(write ? Write({3, 0, 1}) : Read({0, 0, 18}));
    EXPECT_EQ(link.result_code, kResultAborted);
  }
  const char carrier[] = "NO CARRIER";
  std::memcpy(link.session_log.data(), carrier, sizeof carrier - 1);
  link.connection_kind = ConnectionKind::kPhone;
  for (bool write : {false, true}) {
    EXPECT_FALSE(write ? Write({3, 0, 1}) : Read({0, 0, 18}));
    EXPECT_EQ(link.result_code, kResultCarrierLost);
  }
  EXPECT_TRUE(host.shown.empty());
}

// --- writing ---

TEST_F(TableServiceTest, WriteSendsImageValuesAfterCredentials) {
  link.SetCredentials("111111", "1111");
  for (int i = 1; i <= 4; ++i) image.Table(3)[i] = static_cast<uint8_t>(0xA0 + i);
  ASSERT_TRUE(Write({3, 1, 4}));

  Bytes body(link.write_password.begin(), link.write_password.end());
  body.insert(body.end(), link.ident_code.begin(), link.ident_code.end());
  body.insert(body.end(), {0x00, 3, 1, 4, 0xA1, 0xA2, 0xA3, 0xA4});
  ASSERT_EQ(port->writes.size(), 1u);
  EXPECT_EQ(test::Hex(port->writes[0]), test::Hex(MakeRequest(1, 2, body)));
  EXPECT_EQ(port->writes[0][2], 4 + 26);
  EXPECT_TRUE(PanelShowed("Запись в таблицу 3 (поля 1-4)"));
  EXPECT_EQ(status.panels[2], "");
  EXPECT_EQ(Controller(3)[4], 0xA4);

  ASSERT_TRUE(WriteTableFields(link, image, {15, 0, 1}, nullptr));
  ASSERT_TRUE(Write({15, 0, 1}));
  EXPECT_TRUE(PanelShowed("Запись в таблицу 15 (поле 0)"));

  // The controller's own refusal reaches the caller as a question.
  link.SetCredentials("", "4444");  // the operator may only give commands
  EXPECT_FALSE(Write({3, 1, 1}));
  EXPECT_EQ(link.answer[4], 26);
}

TEST_F(TableServiceTest, WriteFailuresAskWithTheirOwnTexts) {
  // Error answer "Запись в таблицу не допускается" (code 12), then "Да" and
  // a mismatching echo, then "Нет".
  AnswerNextRequest(test::MakeErrorAnswer(1, 2, 12));
  port->instead.push_back(MakeAnswer(1, 0x82, 0, {3, 1, 4}));
  host.answers = {true, false};
  EXPECT_FALSE(Write({3, 0, 4}));
  ASSERT_EQ(host.shown.size(), 2u);
  EXPECT_EQ(host.shown[0].kind, kMessageRetry);
  EXPECT_EQ(host.shown[0].line1, "Не выполнена запись в таблицу 3.");
  EXPECT_NE(host.shown[0].line2.find("Запись в таблицу не допускается"), std::string::npos);
  EXPECT_EQ(Shown(1), std::make_pair(std::string("Не выполнена запись в таблицу 3."),
                                     std::string("Несоответствие заголовка ответа заголовку "
                                                 "запроса на запись.")));
  EXPECT_EQ(port->writes.size(), link.attempts + 1u);
}

// --- ranges the service refuses ---

TEST_F(TableServiceTest, InvalidRangesAreRefusedWithoutSending) {
  const std::pair<FieldRange, bool> cases[] = {{{5, 0, 1}, false},   // no such table
                                               {{18, 0, 1}, false},  // named only
                                               {{0, 17, 2}, false},  // beyond the table
                                               {{0, 0, 0}, false},   // nothing to read
                                               {{19, 0, 2}, false},  // 400 bytes
                                               {{4, 0, 11}, true},   // 242 bytes > 229 for a write
                                               {{4, 15, 2}, true}};
  for (const auto& [range, write] : cases) {
    host.shown.clear();
    link.result_code = kResultOk;
    const bool ok = write ? Write(range) : Read(range);
    EXPECT_FALSE(ok) << int(range.table) << " " << int(range.first) << " " << int(range.count);
    EXPECT_NE(link.result_code, kResultOk);
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0].kind, kMessageError);
  }
  EXPECT_EQ(host.shown[0].line1, "Не выполнена запись в таблицу 4.");
  EXPECT_TRUE(port->writes.empty());
  // A silent reader is not interrupted by a window.
  host.shown.clear();
  EXPECT_FALSE(Read({19, 0, 2}, false));
  EXPECT_TRUE(host.shown.empty());
}

// --- writing what changed ---

TEST_F(TableServiceTest, PlanFollowsTheCostRule) {
  Bytes snap(image.Table(3), image.Table(3) + 21);
  auto plan_after = [&](std::initializer_list<int> fields) {
    std::memcpy(image.Table(3), snap.data(), snap.size());
    for (int f : fields) image.Table(3)[f] ^= 0xFF;
    return PlanChangedWrites(image, {3, 0, 21}, snap.data());
  };
  using Plan = std::vector<FieldRange>;
  EXPECT_EQ(plan_after({}), Plan{});
  // 8 + 26 = 34 for one request against 2 + 26 + 1 + 26 = 55 for the runs.
  EXPECT_EQ(plan_after({3, 4, 10}), (Plan{{3, 3, 8}}));
  EXPECT_EQ(plan_after({7}), (Plan{{3, 7, 1}}));
  EXPECT_EQ(plan_after({7, 8}), (Plan{{3, 7, 2}}));
  EXPECT_EQ(plan_after({5, 6, 7, 8}), (Plan{{3, 5, 4}}));

  // 28 + 26 = 54 against 27 + 27 = 54: a tie goes to the runs.
  Bytes big(image.Table(3), image.Table(3) + 40);
  image.Table(3)[0] ^= 1;
  image.Table(3)[27] ^= 1;
  EXPECT_EQ(PlanChangedWrites(image, {3, 0, 40}, big.data()), (Plan{{3, 0, 1}, {3, 27, 1}}));
  image.Table(3)[26] ^= 1;  // 28 + 26 = 54 against 1 + 26 + 2 + 26 = 55
  EXPECT_EQ(PlanChangedWrites(image, {3, 0, 40}, big.data()), (Plan{{3, 0, 28}}));

  // Field numbers are absolute when the range does not start at 0.
  Bytes tail(image.Table(3) + 100, image.Table(3) + 122);
  image.Table(3)[110] ^= 1;
  EXPECT_EQ(PlanChangedWrites(image, {3, 100, 22}, tail.data()), (Plan{{3, 110, 1}}));

  // All 16 user records changed: 352 bytes go as 10 + 6. (Runs of wide fields
  // and a span too long for one request: WriteChangedFields below.)
  const Bytes users(image.Table(4), image.Table(4) + 352);
  for (int i = 0; i < 352; ++i) image.Table(4)[i] = static_cast<uint8_t>(users[i] + 1);
  EXPECT_EQ(PlanChangedWrites(image, {4, 0, 16}, users.data()), (Plan{{4, 0, 10}, {4, 10, 6}}));
}

TEST_F(TableServiceTest, WriteChangedFieldsSendsThePlanAndStopsAtFirstFailure) {
  link.SetCredentials("111111", "1111");
  std::memcpy(image.Table(4), Controller(4), 352);
  Bytes snap(image.Table(4), image.Table(4) + 352);
  EXPECT_TRUE(WriteChangedFields(link, image, {4, 0, 16}, snap.data(), &status));
  EXPECT_TRUE(port->writes.empty());

  image.Field(4, 1)[0] = 'A';
  image.Field(4, 9)[0] = 'B';
  ASSERT_TRUE(WriteChangedFields(link, image, {4, 0, 16}, snap.data(), &status));
  auto requests = port->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].range, (FieldRange{4, 1, 1}));
  EXPECT_EQ(requests[1].range, (FieldRange{4, 9, 1}));
  EXPECT_EQ(port->controller.Field(4, 9)[0], 'B');

  port->writes.clear();
  AnswerNextRequest(test::MakeErrorAnswer(1, 2, 3));
  EXPECT_FALSE(WriteChangedFields(link, image, {4, 0, 16}, snap.data(), &status));
  requests = port->Requests();
  ASSERT_EQ(requests.size(), link.attempts + 0u);
  for (const auto& rq : requests) EXPECT_EQ(rq.range, (FieldRange{4, 1, 1}));  // 9 never sent
  EXPECT_EQ(host.shown.size(), 1u);

  // A span too long for one request goes in pieces within the limit.
  port->writes.clear();
  Bytes modem(image.Table(21), image.Table(21) + 250);
  for (int i = 0; i < 250; ++i) image.Table(21)[i] = static_cast<uint8_t>(i);
  ASSERT_TRUE(WriteChangedFields(link, image, {21, 0, 5}, modem.data(), &status));
  ASSERT_EQ(port->Requests().size(), 2u);
  for (const auto& frame : port->writes) EXPECT_LE(frame.size(), 229u + 26u);
  EXPECT_EQ(Bytes(Controller(21), Controller(21) + 250),
            Bytes(image.Table(21), image.Table(21) + 250));
}

}  // namespace
}  // namespace kvarta
