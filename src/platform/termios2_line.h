// Line settings through the kernel's termios2 interface, which takes any rate
// in bit/s (BOTHER) rather than only the fixed B-constants: the controller's
// table holds rates such as 5760 and 7680 that have no constant. Kept apart
// because <asm/termbits.h> and <termios.h> cannot share a translation unit.
#pragma once

#include <cstdint>

#include "platform/posix_serial_port.h"

namespace kvarta {

// Puts the line into raw mode (no line editing, signals, echo, flow control
// or byte translation; reads return at once) with the given rate, data bits,
// parity and stop bits; modem lines are ignored (CLOCAL) and the receiver is
// on. Four data bits are opened as five, one and a half stop bits as two.
// Returns false with errno set when the driver refuses.
bool ApplyRawLineSettings(int fd, const LineSettings& settings);

// Changes only the rate (input and output). False with errno set on failure.
bool ApplyLineRate(int fd, uint32_t rate);

// What the driver reports for the line, for checks and diagnostics.
struct LineReport {
  uint32_t output_rate = 0;
  uint32_t input_rate = 0;
  int data_bits = 0;  // 5..8
  Parity parity = Parity::kNone;
  bool two_stop_bits = false;
  bool raw = false;  // nothing of the line discipline touches the bytes
  bool ignores_modem_lines = false;
  bool receiver_on = false;
};

// Reads the line's settings; false with errno set when fd is not a terminal.
bool QueryLine(int fd, LineReport* report);

// The line ApplyRawLineSettings would leave, starting from a line with every
// flag set, without touching a device. Pseudo-terminals force 8 data bits and
// no parity, so this is where the frame format can be checked.
LineReport PreviewRawLine(const LineSettings& settings);

}  // namespace kvarta
