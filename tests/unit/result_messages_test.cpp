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

TEST(ResultMessageTable, RegionsAndExactTexts) {
  const ResultMessageTable t = MakeResultMessageTable();
  ASSERT_EQ(t.size(), 138u);
  // Region borders.
  EXPECT_EQ(t[0], "Команда выполнена");
  EXPECT_EQ(t[21], "SB ответа != 0.");
  EXPECT_EQ(t[22], "Неизвестный код команды");
  EXPECT_EQ(t[85], "Программа разрушена или установлена перемычка");
  EXPECT_EQ(t[86], "");
  EXPECT_EQ(t[137], "Агрегат отсутствует");
  // Variable and unused entries start empty.
  for (int i : {6, 8, 13, 14, 17}) EXPECT_EQ(t[i], "") << i;
  // Trailing blanks, typos and inner quotes are part of the texts.
  EXPECT_EQ(t[18], "Несоответствие идентификатора запроса в ответе(%d->%d  ");
  EXPECT_EQ(t[54], "Пользователь с таким именем уже есть ");
  EXPECT_EQ(t[88], "Ошибочный код направления перестановки ");
  EXPECT_EQ(t[87], "Разрушена таблица1, содержащая содержащая кол. подключенных КУС и КУК");
  EXPECT_EQ(t[101], "Разрушена таблица координатат особых сигналов КУС");
  EXPECT_EQ(t[59], "Переход в режим работы \"Автомат\" невозможен");
  EXPECT_EQ(t[kErrorCodeBase + 24], "Управление агрегатом невозможно");
  EXPECT_EQ(t[kErrorCodeBase + 60], "Разрушена таблица");
  EXPECT_EQ(t[kReasonCodeBase + 49], "Разрушена таблица %d");
  EXPECT_EQ(t[kResultValveError], "Перестановка крана невозможна.");
  // Every text of the exchange outcomes the link produces is present.
  for (uint32_t code : {2u, 3u, 5u, 7u, 10u, 12u, 19u, 20u}) EXPECT_FALSE(t[code].empty()) << code;
}

TEST_F(ResultMessagesTest, ErrorCodesGiveResultEightWithTheirText) {
  ErrorAnswer(2, 7);
  EXPECT_EQ(link.result_code, kResultErrorAnswer);
  EXPECT_EQ(link.result_messages[8], "Нарушена очередность записи параметров при конфигурации");
  EXPECT_EQ(FormatResultMessage(link),
            "Команда 2.  Нарушена очередность записи параметров при конфигурации");

  ErrorAnswer(1, 64);
  EXPECT_EQ(FormatResultMessage(link), "Команда 1.  Программа разрушена или установлена перемычка");
}

TEST_F(ResultMessagesTest, ErrorCodesOutsideTheTableShowTheNumber) {
  ErrorAnswer(1, 0);
  EXPECT_EQ(link.result_code, kResultErrorAnswer);
  EXPECT_EQ(FormatResultMessage(link), "Команда 1.  Код ошибки = 0");
  ErrorAnswer(2, 65);
  EXPECT_EQ(FormatResultMessage(link), "Команда 2.  Код ошибки = 65");
  ErrorAnswer(2, 255);
  EXPECT_EQ(FormatResultMessage(link), "Команда 2.  Код ошибки = 255");
}

TEST_F(ResultMessagesTest, DestroyedTableAppendsTheTableNumber) {
  ErrorAnswer(2, 60, 0, 9);
  EXPECT_EQ(FormatResultMessage(link), "Команда 2.  Разрушена таблица 9");
}

TEST_F(ResultMessagesTest, ValveErrorWithDestroyedTableReason) {
  ErrorAnswer(2, 24, 49, 4);
  EXPECT_EQ(link.result_code, kResultValveError);
  EXPECT_EQ(link.result_messages[13], "Разрушена таблица 4");
  EXPECT_EQ(FormatResultMessage(link), "Команда 2.  Перестановка крана невозможна.");
  // The reason detail survives the message that overwrote the result text.
  EXPECT_EQ(link.result_messages[13], "Разрушена таблица 4");
}

TEST_F(ResultMessagesTest, ValveErrorReasonsFromTheTable) {
  ErrorAnswer(2, 24, 3);
  EXPECT_EQ(link.result_code, kResultValveError);
  EXPECT_EQ(link.result_messages[13], "Обрыв цепи концевого выключателя 1 (\"Открыто\")");
  ErrorAnswer(2, 24, 51);
  EXPECT_EQ(link.result_messages[13], "Агрегат отсутствует");
  ErrorAnswer(2, 24, 0);
  EXPECT_EQ(link.result_messages[13], "");
}

TEST_F(ResultMessagesTest, UnknownReasonChangesOnlyEntryThirteen) {
  const ResultMessageTable before = link.result_messages;
  ErrorAnswer(2, 24, 200);
  EXPECT_EQ(link.result_code, kResultValveError);
  EXPECT_EQ(link.result_text, "Код причины в ответе 200");
  EXPECT_EQ(link.result_messages[13], "Код причины в ответе 200");
  for (int i = 0; i < kResultMessageCount; ++i) {
    if (i == 13) continue;
    EXPECT_EQ(link.result_messages[i], before[i]) << i;
  }
  ErrorAnswer(2, 24, 52);
  EXPECT_EQ(link.result_messages[13], "Код причины в ответе 52");
}

TEST_F(ResultMessagesTest, FormattingTwiceGivesTheSameText) {
  // Entry 8 must not follow the result text that formatting overwrites.
  ErrorAnswer(1, 0);
  const std::string first = FormatResultMessage(link);
  EXPECT_EQ(FormatResultMessage(link), first);
  EXPECT_EQ(link.result_text, first);

  ErrorAnswer(2, 24, 200);
  const std::string valve = FormatResultMessage(link);
  EXPECT_EQ(FormatResultMessage(link), valve);
  EXPECT_EQ(link.result_messages[13], "Код причины в ответе 200");
}

TEST_F(ResultMessagesTest, EachErrorAnswerResetsEntryEight) {
  ErrorAnswer(2, 7);
  ASSERT_FALSE(link.result_messages[8].empty());
  ErrorAnswer(2, 24, 1);
  EXPECT_EQ(link.result_messages[8], "");
  EXPECT_EQ(link.result_code, kResultValveError);
}

TEST_F(ResultMessagesTest, ExchangeOutcomes) {
  link.last_function_code = 1;
  link.result_code = kResultNoAnswer;
  EXPECT_EQ(FormatResultMessage(link), "Команда 1.  Устройство не отвечает");
  EXPECT_EQ(link.result_text, "Команда 1.  Устройство не отвечает");
  link.last_function_code = 32;
  link.result_code = kResultAborted;
  EXPECT_EQ(FormatResultMessage(link), "Команда 32.  Обмен прерван по Esc");
}

TEST_F(ResultMessagesTest, StrayByteFourOfABrokenAnswerAddsNoTableNumber) {
  link.last_function_code = 1;
  link.answer[4] = 60;
  link.answer[6] = 9;
  link.result_code = kResultBadCrc;
  EXPECT_EQ(FormatResultMessage(link), "Команда 1.  Несовпадение КС ответа контроллера");
  link.result_code = kResultIncomplete;
  EXPECT_EQ(FormatResultMessage(link),
            "Команда 1.  Ответ получен не полностью (превышено время между байтами)");
}

TEST_F(ResultMessagesTest, CodeOutsideTheTableHasNoText) {
  link.last_function_code = 2;
  link.result_code = 138;
  EXPECT_EQ(FormatResultMessage(link), "Команда 2.  ");
  link.result_code = 0xFFFFFFFFu;
  EXPECT_EQ(FormatResultMessage(link), "Команда 2.  ");
}

}  // namespace
}  // namespace kvarta
