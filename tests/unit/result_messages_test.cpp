#include <gtest/gtest.h>

#include "link/controller_link.h"
#include "link/result_messages.h"
#include "support/fakes.h"

namespace kvarta {
namespace {

// A link after an exchange whose request had function_code; the answer's
// error bytes are laid out as the controller sends them.
class ResultMessagesTest : public ::testing::Test {
 protected:
  ResultMessagesTest() : link(host, clock) { link.result_messages = MakeResultMessageTable(); }

  void ErrorAnswer(uint8_t function_code, uint8_t code, uint8_t reason = 0, uint8_t table = 0) {
    link.last_function_code = function_code;
    link.result_code = kResultErrorAnswer;
    link.answer[3] = 0x80;  // not the request's code | 0x80: an error answer
    link.answer[4] = code;
    link.answer[5] = reason;
    link.answer[6] = table;
    InterpretErrorAnswer(link, &link.answer[4]);
  }

  test::FakeHost host;
  test::FakeClock clock;
  ControllerLink link;
};

TEST_F(ResultMessagesTest, ErrorAnswersGiveTheirTextOrTheirNumber) {
  ErrorAnswer(2, 7);
  EXPECT_EQ(link.result_code, kResultErrorAnswer);
  EXPECT_EQ(FormatResultMessage(link),
            "Команда 2.  Нарушена очередность записи параметров при конфигурации");
  ErrorAnswer(1, 64);  // the last code of the table
  EXPECT_EQ(FormatResultMessage(link), "Команда 1.  Программа разрушена или установлена перемычка");
  for (int code : {0, 65, 255}) {
    ErrorAnswer(2, static_cast<uint8_t>(code));
    EXPECT_EQ(FormatResultMessage(link), "Команда 2.  Код ошибки = " + std::to_string(code));
  }
  ErrorAnswer(2, 60, 0, 9);  // a destroyed table gets its number
  EXPECT_EQ(FormatResultMessage(link), "Команда 2.  Разрушена таблица 9");
  // Formatting twice gives the same text: entry 8 does not follow the
  // result text that formatting overwrites.
  ErrorAnswer(1, 0);
  const std::string first = FormatResultMessage(link);
  EXPECT_EQ(FormatResultMessage(link), first);
  EXPECT_EQ(link.result_text, first);
}

TEST_F(ResultMessagesTest, ValveErrorsKeepTheirReasonInEntryThirteen) {
  ErrorAnswer(2, 24, 49, 4);
  EXPECT_EQ(link.result_code, kResultValveError);
  EXPECT_EQ(FormatResultMessage(link), "Команда 2.  Перестановка крана невозможна.");
  EXPECT_EQ(link.result_messages[13], "Разрушена таблица 4");  // survives the formatting
  const std::pair<uint8_t, std::string> reasons[] = {
      {3, "Обрыв цепи концевого выключателя 1 (\"Открыто\")"},
      {51, "Агрегат отсутствует"},
      {0, ""}};
  for (const auto& [reason, text] : reasons) {
    ErrorAnswer(2, 24, reason);
    EXPECT_EQ(link.result_messages[13], text) << int(reason);
  }

  // An unknown reason changes entry 13 only, every time the same.
  const ResultMessageTable before = link.result_messages;
  ErrorAnswer(2, 24, 200);
  EXPECT_EQ(link.result_text, "Код причины в ответе 200");
  for (int i = 0; i < kResultMessageCount; ++i) {
    if (i != 13) {
      EXPECT_EQ(link.result_messages[i], before[i]) << i;
    }
  }
  const std::string valve = FormatResultMessage(link);
  EXPECT_EQ(FormatResultMessage(link), valve);
  EXPECT_EQ(link.result_messages[13], "Код причины в ответе 200");
  ErrorAnswer(2, 24, 52);
  EXPECT_EQ(link.result_messages[13], "Код причины в ответе 52");

  // Each error answer resets entry 8.
  ErrorAnswer(2, 7);
  ASSERT_FALSE(link.result_messages[8].empty());
  ErrorAnswer(2, 24, 1);
  EXPECT_EQ(link.result_messages[8], "");
}

TEST_F(ResultMessagesTest, ExchangeOutcomes) {
  // Every outcome the link produces has a text.
  for (uint32_t code : {2u, 3u, 5u, 7u, 10u, 12u, 19u, 20u}) {
    EXPECT_FALSE(link.result_messages[code].empty()) << code;
  }
  auto format = [&](uint8_t function_code, uint32_t result) {
    link.last_function_code = function_code;
    link.result_code = result;
    return FormatResultMessage(link);
  };
  EXPECT_EQ(format(1, kResultNoAnswer), "Команда 1.  Устройство не отвечает");
  EXPECT_EQ(link.result_text, "Команда 1.  Устройство не отвечает");
  EXPECT_EQ(format(32, kResultAborted), "Команда 32.  Обмен прерван по Esc");

  // Stray bytes of a broken answer add no table number.
  link.answer[4] = 60;
  link.answer[6] = 9;
  EXPECT_EQ(format(1, kResultBadCrc), "Команда 1.  Несовпадение КС ответа контроллера");
  EXPECT_EQ(format(1, kResultIncomplete),
            "Команда 1.  Ответ получен не полностью (превышено время между байтами)");
  // A code beyond the table has no text.
  for (uint32_t code : {138u, 0xFFFFFFFFu}) EXPECT_EQ(format(2, code), "Команда 2.  ");
}

}  // namespace
}  // namespace kvarta
