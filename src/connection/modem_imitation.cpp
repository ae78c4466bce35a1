#include "connection/modem_imitation.h"

namespace kvarta {

int64_t ImitationAnswerLineNs(uint32_t rate) {
  if (rate == 0) return 0;
  constexpr int64_t kBits = (static_cast<int64_t>(kImitationAnswer.size()) + 1) * 10;
  return kBits * 1000000000 / rate;
}

void ModemImitation::Begin() {
  line_.port.SetDtr(true);
  matched_ = 0;
  state_ = ImitationState::kWaiting;
}

bool ModemImitation::CloseAllowed() {
  if (state_ == ImitationState::kWaiting) {
    state_ = ImitationState::kStopRequested;
    return false;
  }
  return true;
}

ImitationState ModemImitation::Run() {
  line_.host.SetCursor(CursorShape::kAppStarting);
  LineReader reader(line_);
  while (state_ == ImitationState::kWaiting) {
    line_.host.PumpMessages();
    if (line_.host.TakeEscape()) OnEscape();
    if (state_ != ImitationState::kWaiting) break;
    const std::optional<uint8_t> byte = reader.TakeByte();
    if (!byte) {
      const int64_t now = line_.clock.NowNs();
      if (deadline_ns_ != 0 && now >= deadline_ns_) {
        timed_out_ = true;
        state_ = ImitationState::kStopRequested;
        break;
      }
      // The slice only bounds the time between two pumps.
      int64_t until = now + MsToNs(kLineWaitSliceMs);
      if (deadline_ns_ != 0 && until > deadline_ns_) until = deadline_ns_;
      reader.Wait(until);
      continue;
    }
    // Only the expected byte advances; noise never starts the match over.
    if (*byte == kImitationTrigger[matched_] && ++matched_ == kImitationTrigger.size()) {
      state_ = ImitationState::kMatched;
    }
  }
  if (state_ == ImitationState::kMatched) SendAnswer();
  line_.host.SetCursor(CursorShape::kNormal);
  return state_;
}

void ModemImitation::SendAnswer() {
  SerialPort& port = line_.port;
  Clock& clock = line_.clock;
  clock.SleepNs(MsToNs(kImitationBeforeAnswerMs));
  port.SetRts(true);
  clock.SleepNs(MsToNs(kImitationRtsLeadMs));
  const int64_t line_ns = ImitationAnswerLineNs(port.BaudRate());
  const int64_t began = clock.NowNs();
  if (!port.Write(kImitationAnswer.data(), kImitationAnswer.size())) port.ClearErrors();
  port.Drain();
  const int64_t left = began + line_ns - clock.NowNs();
  if (left > 0) clock.SleepNs(left);
  port.SetRts(false);
}

}  // namespace kvarta
