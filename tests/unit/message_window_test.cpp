#include <gtest/gtest.h>

#include <tuple>

#include "link/message_window.h"
#include "support/fakes.h"

namespace kvarta {
namespace {

TEST(MessageWindow, KindsDressCaptionThirdLineButtonsAndHeight) {
  // Kind, second line, caption, third line, yes/no question, height.
  const std::tuple<int, const char*, const char*, const char*, bool, int> cases[] = {
      {kMessagePlain, "", "", "", false, 131},
      {kMessagePlain, "b", "", "", false, 153},  // a second line makes it taller
      {kMessageError, "", "Ошибка", "", false, 131},
      {kMessageInputError, "", "Ошибка ввода параметров", "", false, 131},
      {kMessageQuestion, "", "", "", true, 131},
      {kMessageState, "", "Сообщение", "(см. текущее состояние контроллера)", false, 183},
      {kMessageInfo, "b", "", "", false, 153},
      {kMessageRetry, "b", "", "Повторить попытку?", true, 183},
      {kMessageWriteNow, "", "", "Выполнить запись сейчас?", true, 183},
      {kMessageExchange, "", "Результат обмена с устройством", "", false, 131},
      {9, "b", "", "", false, 153},  // unknown kinds are a plain message
      {-1, "b", "", "", false, 153}};
  for (const auto& [kind, line2, caption, line3, question, height] : cases) {
    SCOPED_TRACE(kind);
    const MessageWindowModel w = BuildMessageWindow(kind, "a", line2);
    EXPECT_EQ(std::tie(w.kind, w.caption, w.line3, w.height),
              std::make_tuple(kind, std::string(caption), std::string(line3), height));
    // OK alone, or Yes and No with the focus on Yes.
    EXPECT_EQ(std::tie(w.ok_visible, w.yes_visible, w.no_visible, w.focus_yes),
              std::make_tuple(!question, question, question, question));
  }
}

TEST(MessageWindow, WidthFollowsTheLongestTextAndButtonsStayInside) {
  // Short texts: as wide as a short window gets, the OK button centred.
  const MessageWindowModel small = BuildMessageWindow(kMessagePlain, "Команда выполнена", "");
  EXPECT_EQ(small.width, BuildMessageWindow(kMessagePlain, "x", "").width);
  EXPECT_EQ(small.ok_left, (small.width - kOkButtonWidth) / 2);
  EXPECT_LT(small.line_width, small.width);
  // Characters count, not bytes: 50 Cyrillic letters take as much as 50 Latin.
  std::string zh;
  for (int i = 0; i < 50; ++i) zh += "Ж";
  const MessageWindowModel cyrillic = BuildMessageWindow(kMessagePlain, "кратко", zh);
  EXPECT_EQ(cyrillic.width, BuildMessageWindow(kMessagePlain, std::string(50, 'x'), "").width);
  EXPECT_GT(cyrillic.width, small.width);
  // The caption and the third line count as well.
  EXPECT_GT(BuildMessageWindow(kMessageState, "x", "").width,
            BuildMessageWindow(kMessageExchange, "x", "").width);
  EXPECT_GT(BuildMessageWindow(kMessageExchange, "x", "").width, small.width);

  const MessageWindowModel retry = BuildMessageWindow(
      kMessageRetry, "Не выполнено чтение из таблицы 9.", "Команда 1.  Устройство не отвечает");
  EXPECT_GT(retry.no_left, 0);
  EXPECT_GT(retry.yes_left, retry.no_left + kQuestionButtonWidth);
  EXPECT_LE(retry.yes_left + kQuestionButtonWidth, retry.width);
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
