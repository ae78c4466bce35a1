#include "connection/line_context.h"

#include <algorithm>

namespace kvarta {

void PauseMs(LineContext& line, int64_t ms) {
  const int64_t until = line.clock.NowNs() + MsToNs(ms);
  for (;;) {
    const int64_t left = until - line.clock.NowNs();
    if (left <= 0) break;
    line.clock.SleepNs(std::min(left, MsToNs(kLineWaitSliceMs)));
    line.host.PumpMessages();
  }
}

std::optional<uint8_t> LineReader::TakeByte() {
  uint8_t byte = 0;
  const int n = line_.port.Read(&byte, 1);
  if (n == 1) {
    no_progress_ = false;
    return byte;
  }
  if (n < 0) {
    line_.port.ClearErrors();
    no_progress_ = true;
  }
  return std::nullopt;
}

void LineReader::Wait(int64_t deadline_ns) {
  const int64_t left_ns = deadline_ns - line_.clock.NowNs();
  // Round up so that a wait never ends just short of the deadline.
  int slice_ms =
      static_cast<int>(std::min<int64_t>((left_ns + 999999) / 1000000, kLineWaitSliceMs));
  slice_ms = std::max(slice_ms, 1);
  if (no_progress_) {
    line_.clock.SleepNs(MsToNs(slice_ms));
    no_progress_ = false;
    return;
  }
  no_progress_ = line_.port.WaitReadable(slice_ms);
}

}  // namespace kvarta
