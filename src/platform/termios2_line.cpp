#include "platform/termios2_line.h"

// Only the kernel's own definitions here: glibc's <termios.h> declares a
// different struct termios and the same flag names.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace kvarta {
namespace {

tcflag_t SizeFlag(int data_bits) {
  switch (data_bits) {
    case 8:
      return CS8;
    case 7:
      return CS7;
    case 6:
      return CS6;
    default:  // 5, and 4 which the hardware does not offer
      return CS5;
  }
}

void SetRate(termios2& t, uint32_t rate) {
  // BOTHER in both the output and the input speed fields: the kernel then
  // takes c_ospeed and c_ispeed literally.
  t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  t.c_ospeed = rate;
  t.c_ispeed = rate;
}

constexpr tcflag_t kInputProcessing =
    IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC | IXON | IXOFF | IXANY;
constexpr tcflag_t kLocalProcessing =
    ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN | XCASE;

void MakeRaw(termios2& t, const LineSettings& settings) {
  t.c_iflag &= ~kInputProcessing;
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~kLocalProcessing;
  // No hardware handshake: RTS is raised and lowered by the program, not by
  // the driver. No mark or space parity either.
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= SizeFlag(settings.data_bits) | CLOCAL | CREAD;
  if (settings.parity == Parity::kEven) t.c_cflag |= PARENB;
  if (settings.parity == Parity::kOdd) t.c_cflag |= PARENB | PARODD;
  if (settings.stop_bits != StopBits::kOne) t.c_cflag |= CSTOPB;
  SetRate(t, settings.rate);
  // Reads return whatever is waiting, possibly nothing, without waiting.
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
}

LineReport Decode(const termios2& t) {
  LineReport r;
  r.output_rate = t.c_ospeed;
  r.input_rate = t.c_ispeed;
  switch (t.c_cflag & CSIZE) {
    case CS5:
      r.data_bits = 5;
      break;
    case CS6:
      r.data_bits = 6;
      break;
    case CS7:
      r.data_bits = 7;
      break;
    default:
      r.data_bits = 8;
      break;
  }
  if (t.c_cflag & PARENB) r.parity = (t.c_cflag & PARODD) ? Parity::kOdd : Parity::kEven;
  r.two_stop_bits = (t.c_cflag & CSTOPB) != 0;
  r.raw = (t.c_iflag & kInputProcessing) == 0 && (t.c_oflag & OPOST) == 0 &&
          (t.c_lflag & kLocalProcessing) == 0 && (t.c_cflag & (CRTSCTS | CMSPAR)) == 0 &&
          t.c_cc[VMIN] == 0 && t.c_cc[VTIME] == 0;
  r.ignores_modem_lines = (t.c_cflag & CLOCAL) != 0;
  r.receiver_on = (t.c_cflag & CREAD) != 0;
  return r;
}

}  // namespace

bool ApplyRawLineSettings(int fd, const LineSettings& settings) {
  termios2 t{};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  MakeRaw(t, settings);
  return ioctl(fd, TCSETS2, &t) == 0;
}

bool ApplyLineRate(int fd, uint32_t rate) {
  termios2 t{};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  SetRate(t, rate);
  return ioctl(fd, TCSETS2, &t) == 0;
}

bool QueryLine(int fd, LineReport* report) {
  termios2 t{};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  *report = Decode(t);
  return true;
}

LineReport PreviewRawLine(const LineSettings& settings) {
  // Start from everything set, as a cooked line left by another program might.
  termios2 t{};
  t.c_iflag = t.c_oflag = t.c_lflag = t.c_cflag = ~tcflag_t{0};
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 5;
  MakeRaw(t, settings);
  return Decode(t);
}

}  // namespace kvarta
