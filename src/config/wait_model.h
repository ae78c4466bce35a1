// The progress window of whole-configuration reads and writes (TFormWait).
#pragma once

#include <string>

namespace kvarta {

struct WaitModel {
  static constexpr int kWidth = 332;
  static constexpr int kHeight = 158;
  enum class Mode { kWriting, kReading };

  explicit WaitModel(Mode m) : mode(m) {}

  std::string Line1() const { return "Ожидайте..."; }
  std::string Line2() const {
    return mode == Mode::kWriting ? "Выполняется запись параметров" : "Выполняется чтение";
  }
  std::string Line3() const {
    return mode == Mode::kWriting ? "конфигурации в контроллер" : "таблиц параметров конфигурации";
  }
  std::string Line4() const { return "Esc - прервать выполнение"; }

  void Step() {
    if (position < maximum) ++position;
  }
  void Finish() { position = maximum; }

  Mode mode;
  int maximum = 0;
  int position = 0;
};

}  // namespace kvarta
