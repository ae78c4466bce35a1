// The program's modal message window (TFormQues) as a model: caption, lines,
// buttons, focus and size follow from the message kind; the host only draws it.
#pragma once

#include <string>

namespace kvarta {

class Host;

// Message kinds chosen by the caller for each message.
enum MessageKinds : int {
  kMessagePlain = 0,
  kMessageError = 1,       // "Ошибка"
  kMessageInputError = 2,  // "Ошибка ввода параметров"
  kMessageQuestion = 3,    // "Да" / "Нет"
  kMessageState = 4,  // "Сообщение", "(см. текущее состояние контроллера)"
  kMessageExchange = 5,  // "Результат обмена с устройством"
  kMessageInfo = 6,
  kMessageRetry = 7,     // "Повторить попытку?"
  kMessageWriteNow = 8,  // "Выполнить запись сейчас?"
};

inline constexpr int kQuestionButtonWidth = 75;  // "Да" and "Нет"
inline constexpr int kOkButtonWidth = 75;

struct MessageWindowModel {
  int kind = 0;
  std::string caption;
  std::string line1, line2, line3;
  bool yes_visible = false;
  bool no_visible = false;
  bool ok_visible = true;
  bool focus_yes = false;  // else the OK button has the focus
  int width = 0;
  int height = 0;
  int line_width = 0;  // width of the three centred text lines
  int ok_left = 0;
  int no_left = 0;
  int yes_left = 0;
};

// Dresses the window for kind and sizes it (see the sizing rule of the window).
MessageWindowModel BuildMessageWindow(int kind, const std::string& line1, const std::string& line2);

// Shows the window through the host; returns QuestionAnswer (true = "Да").
bool ShowMessageWindow(Host& host, int kind, const std::string& line1, const std::string& line2);

}  // namespace kvarta
