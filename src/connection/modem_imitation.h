// Standing in for a modem once: wait on the line for the controller's modem
// initialisation command and answer it with the verbal OK, RTS framing the
// answer. The window (texts, timers, progress bar) is a dialog model on top.
#pragma once

#include <array>
#include <cstdint>

#include "connection/line_context.h"

namespace kvarta {

// "ATE0V1H0S0=0+CMEE=1", CR, 0x1A.
inline constexpr std::array<uint8_t, 21> kImitationTrigger = {'A', 'T', 'E', '0', 'V', '1', 'H',
                                                              '0', 'S', '0', '=', '0', '+', 'C',
                                                              'M', 'E', 'E', '=', '1', 13,  0x1A};
inline constexpr std::array<uint8_t, 6> kImitationAnswer = {'\r', '\n', 'O', 'K', '\r', '\n'};

inline constexpr int64_t kImitationBeforeAnswerMs = 20;
inline constexpr int64_t kImitationRtsLeadMs = 2;

// Window texts.
inline constexpr char kImitationWaitText[] = "Ожидайте...";
inline constexpr char kImitationEscHint[] = "Esc - прервать выполнение";
// "АТ" in Cyrillic letters.
inline constexpr char kImitationDoneText[] = "Отправлен ответ на АТ-команду";

enum class ImitationState : int { kMatched = 0, kWaiting = 1, kStopRequested = 2 };

// Line time of the answer plus one character: (6 + 1) × 10 bit times.
int64_t ImitationAnswerLineNs(uint32_t rate);

class ModemImitation {
 public:
  explicit ModemImitation(LineContext line) : line_(line) {}

  // Raises DTR and enters the waiting state.
  void Begin();
  // The waiting loop: returns kMatched after the answer was sent, or
  // kStopRequested when Esc or a close request ended the wait (the window then
  // closes; nothing was sent). Esc is taken from the host while waiting.
  ImitationState Run();

  // The Esc key of the window.
  void OnEscape() { state_ = ImitationState::kStopRequested; }
  // The window asks to close: refused while waiting (the wait is then asked
  // to stop and ends the window itself); allowed in every other state.
  bool CloseAllowed();

  // Ends the wait as if stopped once the clock passes deadline_ns (0: no
  // deadline), so that an unattended run cannot wait forever.
  void SetDeadline(int64_t deadline_ns) { deadline_ns_ = deadline_ns; }
  bool timed_out() const { return timed_out_; }

  ImitationState state() const { return state_; }
  size_t matched() const { return matched_; }

 private:
  void SendAnswer();

  LineContext line_;
  ImitationState state_ = ImitationState::kWaiting;
  size_t matched_ = 0;
  int64_t deadline_ns_ = 0;
  bool timed_out_ = false;
};

}  // namespace kvarta
