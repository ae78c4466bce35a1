#include <gtest/gtest.h>

#include "link/message_window.h"
#include "support/fakes.h"

namespace kvarta {
namespace {

void ExpectPlainButtons(const MessageWindowModel& w) {
  EXPECT_TRUE(w.ok_visible);
  EXPECT_FALSE(w.yes_visible);
  EXPECT_FALSE(w.no_visible);
  EXPECT_FALSE(w.focus_yes);
}

void ExpectQuestionButtons(const MessageWindowModel& w) {
  EXPECT_FALSE(w.ok_visible);
  EXPECT_TRUE(w.yes_visible);
  EXPECT_TRUE(w.no_visible);
  EXPECT_TRUE(w.focus_yes);
}

TEST(MessageWindow, OnlyFirstLineIsSmallestWindowWithCentredOk) {
  const MessageWindowModel w = BuildMessageWindow(kMessagePlain, "Команда выполнена", "");
  EXPECT_EQ(w.height, 131);
  EXPECT_EQ(w.caption, "");
  EXPECT_EQ(w.line3, "");
  ExpectPlainButtons(w);
  // Short texts: the window is as wide as the two question buttons + 60.
  EXPECT_EQ(w.width, 2 * kQuestionButtonWidth + 60);
  EXPECT_EQ(w.line_width, w.width - 14);
  EXPECT_EQ(w.ok_left, (w.width - kOkButtonWidth) / 2);
}

TEST(MessageWindow, SecondLineMakesItTaller) {
  const MessageWindowModel w = BuildMessageWindow(kMessagePlain, "Строка 1", "Строка 2");
  EXPECT_EQ(w.height, 153);
  EXPECT_EQ(w.line1, "Строка 1");
  EXPECT_EQ(w.line2, "Строка 2");
}

TEST(MessageWindow, RetryAsksUnderTheCallersLines) {
  const MessageWindowModel w = BuildMessageWindow(
      kMessageRetry, "Не выполнено чтение из таблицы 9.", "Команда 1.  Устройство не отвечает");
  EXPECT_EQ(w.kind, kMessageRetry);
  EXPECT_EQ(w.line3, "Повторить попытку?");
  EXPECT_EQ(w.caption, "");
  EXPECT_EQ(w.height, 183);
  ExpectQuestionButtons(w);
  // The longest line has 34 characters (68 bytes in UTF-8).
  EXPECT_EQ(w.width, 8 * 34 + 20);
  // "Нет" at the gap, "Да" one gap to the right of it.
  const int gap = (w.width - 2 * kQuestionButtonWidth) / 3 - 3;
  EXPECT_EQ(gap, 44);
  EXPECT_EQ(w.no_left, gap);
  EXPECT_EQ(w.yes_left, gap + kQuestionButtonWidth + gap);
  EXPECT_LE(w.yes_left + kQuestionButtonWidth, w.width);
}

TEST(MessageWindow, WidthCountsCharactersOfTheLongestText) {
  std::string cyrillic;
  for (int i = 0; i < 50; ++i) cyrillic += "Ж";
  MessageWindowModel w = BuildMessageWindow(kMessagePlain, "кратко", cyrillic);
  EXPECT_EQ(w.width, 8 * 50 + 20);
  EXPECT_EQ(w.line_width, 8 * 50 + 6);
  EXPECT_EQ(w.ok_left, (420 - kOkButtonWidth) / 2);

  // The caption and the third line count as well.
  w = BuildMessageWindow(kMessageExchange, "x", "");
  EXPECT_EQ(w.caption, "Результат обмена с устройством");
  EXPECT_EQ(w.width, 8 * 30 + 20);
  w = BuildMessageWindow(kMessageState, "x", "");
  EXPECT_EQ(w.width, 8 * 35 + 20);
}

TEST(MessageWindow, KindsDressCaptionThirdLineAndButtons) {
  MessageWindowModel w = BuildMessageWindow(kMessageError, "a", "");
  EXPECT_EQ(w.caption, "Ошибка");
  ExpectPlainButtons(w);

  w = BuildMessageWindow(kMessageInputError, "a", "");
  EXPECT_EQ(w.caption, "Ошибка ввода параметров");
  ExpectPlainButtons(w);

  w = BuildMessageWindow(kMessageQuestion, "Перезапустить контроллер?", "");
  EXPECT_EQ(w.caption, "");
  EXPECT_EQ(w.line3, "");
  EXPECT_EQ(w.height, 131);
  ExpectQuestionButtons(w);

  w = BuildMessageWindow(kMessageState, "a", "");
  EXPECT_EQ(w.caption, "Сообщение");
  EXPECT_EQ(w.line3, "(см. текущее состояние контроллера)");
  EXPECT_EQ(w.height, 183);  // third line without a second one
  ExpectPlainButtons(w);

  w = BuildMessageWindow(kMessageInfo, "a", "b");
  EXPECT_EQ(w.caption, "");
  ExpectPlainButtons(w);

  w = BuildMessageWindow(kMessageWriteNow, "a", "");
  EXPECT_EQ(w.line3, "Выполнить запись сейчас?");
  ExpectQuestionButtons(w);
}

TEST(MessageWindow, UnknownKindsAreAPlainMessage) {
  const MessageWindowModel plain = BuildMessageWindow(kMessagePlain, "текст", "ещё");
  for (int kind : {9, 100, -1}) {
    const MessageWindowModel w = BuildMessageWindow(kind, "текст", "ещё");
    EXPECT_EQ(w.kind, kind);
    EXPECT_EQ(w.caption, "");
    EXPECT_EQ(w.line3, "");
    ExpectPlainButtons(w);
    EXPECT_EQ(w.width, plain.width);
    EXPECT_EQ(w.height, plain.height);
  }
}

TEST(MessageWindow, ShowPassesTheModelAndReturnsTheAnswer) {
  test::FakeHost host;
  host.answers = {true};
  EXPECT_TRUE(ShowMessageWindow(host, kMessageRetry, "a", "b"));
  EXPECT_FALSE(ShowMessageWindow(host, kMessageRetry, "a", "b"));  // closed / Esc: "no"
  ASSERT_EQ(host.shown.size(), 2u);
  EXPECT_EQ(host.shown[0].line3, "Повторить попытку?");
  EXPECT_EQ(host.shown[0].line1, "a");
  EXPECT_EQ(host.shown[0].line2, "b");
}

}  // namespace
}  // namespace kvarta
