// The serial line of a connection step together with the clock that times it
// and the host whose window messages keep running while it waits. Shared by
// the modem dial-up, the line adapter set-up and the modem imitation.
#pragma once

#include <cstdint>
#include <optional>

#include "link/frame_log.h"
#include "link/host.h"
#include "platform/clock.h"
#include "platform/serial_port.h"

namespace kvarta {

struct LineContext {
  SerialPort& port;
  Clock& clock;
  Host& host;
  // Where the commands and answers on the line are recorded (the link's
  // frame log); none for lines the link does not own.
  FrameLog* log = nullptr;
};

// Longest single wait between two pumps of the window messages.
inline constexpr int kLineWaitSliceMs = 10;

// A pause that keeps the window alive: sleeps in slices, pumping messages in
// between. It does not take Esc out of the queue.
void PauseMs(LineContext& line, int64_t ms);

// Byte-by-byte reading of a line that never returns more than is waiting and
// never spins while the line is idle.
class LineReader {
 public:
  explicit LineReader(LineContext& line) : line_(line) {}

  // One waiting byte, or none. A failed read clears the port's error state
  // and counts as no byte.
  std::optional<uint8_t> TakeByte();

  // Waits for input for one slice, never past deadline_ns by more than 1 ms.
  void Wait(int64_t deadline_ns);

 private:
  LineContext& line_;
  // The port said it was readable (or failed) yet gave no byte: the next
  // wait sleeps instead of asking the port again, so a broken line cannot
  // turn the loop into a busy one.
  bool no_progress_ = false;
};

}  // namespace kvarta
