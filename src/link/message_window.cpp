#include "link/message_window.h"

#include <algorithm>

#include "link/host.h"
#include "platform/cp1251.h"

namespace kvarta {

namespace {

constexpr int kCharWidth = 8;
constexpr int kWidthMargin = 20;
constexpr int kQuestionWidthMargin = 60;
constexpr int kLineInset = 14;
constexpr int kHeightOneLine = 131;
constexpr int kHeightTwoLines = 153;
constexpr int kHeightThreeLines = 183;

void ShowQuestionButtons(MessageWindowModel& w) {
  w.yes_visible = true;
  w.no_visible = true;
  w.ok_visible = false;
}

void ApplyKind(MessageWindowModel& w) {
  switch (w.kind) {
    case kMessageError:
      w.caption = "Ошибка";
      break;
    case kMessageInputError:
      w.caption = "Ошибка ввода параметров";
      break;
    case kMessageQuestion:
      ShowQuestionButtons(w);
      break;
    case kMessageState:
      w.caption = "Сообщение";
      w.line3 = "(см. текущее состояние контроллера)";
      break;
    case kMessageExchange:
      w.caption = "Результат обмена с устройством";
      break;
    case kMessageRetry:
      w.line3 = "Повторить попытку?";
      ShowQuestionButtons(w);
      break;
    case kMessageWriteNow:
      w.line3 = "Выполнить запись сейчас?";
      ShowQuestionButtons(w);
      break;
    default:  // 0, 6 and every unknown kind: a plain message with OK
      break;
  }
}

void SizeWindow(MessageWindowModel& w) {
  if (w.line2.empty() && w.line3.empty()) {
    w.height = kHeightOneLine;
  } else if (w.line3.empty()) {
    w.height = kHeightTwoLines;
  } else {
    w.height = kHeightThreeLines;
  }

  const size_t longest = std::max(
      {Utf8Length(w.caption), Utf8Length(w.line1), Utf8Length(w.line2), Utf8Length(w.line3)});
  w.width = kCharWidth * static_cast<int>(longest) + kWidthMargin;
  w.width = std::max(w.width, kQuestionButtonWidth * 2 + kQuestionWidthMargin);
  w.line_width = w.width - kLineInset;

  w.ok_left = (w.width - kOkButtonWidth) / 2;
  const int gap = (w.width - kQuestionButtonWidth - kQuestionButtonWidth) / 3 - 3;
  w.no_left = gap;
  w.yes_left = w.no_left + kQuestionButtonWidth + gap;
}

}  // namespace

MessageWindowModel BuildMessageWindow(int kind, const std::string& line1,
                                      const std::string& line2) {
  MessageWindowModel w;
  w.kind = kind;
  w.line1 = line1;
  w.line2 = line2;
  ApplyKind(w);
  SizeWindow(w);
  w.focus_yes = w.yes_visible;
  return w;
}

bool ShowMessageWindow(Host& host, int kind, const std::string& line1, const std::string& line2) {
  return host.ShowMessage(BuildMessageWindow(kind, line1, line2));
}

}  // namespace kvarta
