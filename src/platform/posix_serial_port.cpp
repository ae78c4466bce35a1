#include "platform/posix_serial_port.h"

#include <cerrno>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "platform/clock.h"
#include "platform/termios2_line.h"

namespace kvarta {
namespace {

constexpr uint32_t kMinRate = 110;
constexpr uint32_t kMaxRate = 256000;

uint32_t ClampRate(uint32_t rate) {
  if (rate < kMinRate) return kMinRate;
  if (rate > kMaxRate) return kMaxRate;
  return rate;
}

// Poll that survives signals: EINTR is retried with what is left of the
// timeout. Returns poll's result (0 on time-out, -1 on a real error).
int PollFor(int fd, short events, int timeout_ms, short* revents) {
  const int64_t deadline = RealClock().NowNs() + MsToNs(timeout_ms);
  int left_ms = timeout_ms;
  for (;;) {
    pollfd p{fd, events, 0};
    const int r = poll(&p, 1, left_ms);
    if (r >= 0) {
      *revents = p.revents;
      return r;
    }
    if (errno != EINTR) return -1;
    const int64_t left_ns = deadline - RealClock().NowNs();
    left_ms = left_ns > 0 ? static_cast<int>((left_ns + 999999) / 1000000) : 0;
  }
}

// True when the device reports a hang-up or an error without waiting: a USB
// adapter pulled out, or the far side of a pseudo-terminal closed.
bool LineGone(int fd) {
  short revents = 0;
  if (PollFor(fd, POLLIN, 0, &revents) < 0) return true;
  return (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

bool SetModemLine(int fd, int line, bool on) {
  int bits = line;
  return ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

// USB serial adapters otherwise hold received bytes back for up to 16 ms,
// which eats into the controller's inter-byte timeout. Drivers without the
// setting (and pseudo-terminals) simply refuse; that is fine.
void AskLowLatency(int fd) {
  serial_struct ss{};
  if (ioctl(fd, TIOCGSERIAL, &ss) != 0) return;
  if (ss.flags & ASYNC_LOW_LATENCY) return;
  ss.flags |= ASYNC_LOW_LATENCY;
  (void)ioctl(fd, TIOCSSERIAL, &ss);
}

}  // namespace

LineSettings ClampLineSettings(uint32_t rate, int data_bits, int parity, int stop_bits, bool dtr,
                               bool rts) {
  LineSettings s;
  s.rate = ClampRate(rate);
  s.data_bits = data_bits < 4 ? 4 : (data_bits > 8 ? 8 : data_bits);
  switch (parity) {
    case 1:
      s.parity = Parity::kEven;
      break;
    case 2:
      s.parity = Parity::kOdd;
      break;
    default:
      s.parity = Parity::kNone;
      break;
  }
  switch (stop_bits) {
    case 1:
      s.stop_bits = StopBits::kOneAndHalf;
      break;
    case 2:
      s.stop_bits = StopBits::kTwo;
      break;
    default:
      s.stop_bits = StopBits::kOne;
      break;
  }
  s.dtr = dtr;
  s.rts = rts;
  return s;
}

PosixPortFactory& SystemPorts() {
  static PosixPortFactory factory;
  return factory;
}

std::unique_ptr<PosixSerialPort> OpenComPort(const std::string& device_path,
                                             const LineSettings& wanted) {
  if (device_path.empty()) return nullptr;
  const LineSettings settings =
      ClampLineSettings(wanted.rate, wanted.data_bits, static_cast<int>(wanted.parity),
                        static_cast<int>(wanted.stop_bits), wanted.dtr, wanted.rts);
  const bool dtr = settings.dtr;
  const bool rts = settings.rts;

  const int fd = open(device_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  // From here the port object owns the descriptor and closes it on any
  // failure below.
  std::unique_ptr<PosixSerialPort> port(new PosixSerialPort(fd, device_path, settings));

  // The port is not shared. TIOCEXCL keeps other opens out where the driver
  // allows (a privileged process passes it anyway); the advisory lock also
  // turns away a second instance of this program, privileged or not.
  (void)ioctl(fd, TIOCEXCL);
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) return nullptr;

  if (!ApplyRawLineSettings(fd, settings)) return nullptr;
  AskLowLatency(fd);
  // Pseudo-terminals and some adapters have no modem lines; the port still
  // works without them.
  (void)port->SetDtr(dtr);
  (void)port->SetRts(rts);
  port->settings_.dtr = dtr;
  port->settings_.rts = rts;
  return port;
}

PosixSerialPort::~PosixSerialPort() {
  Close();
}

void PosixSerialPort::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

int PosixSerialPort::Read(uint8_t* buf, size_t n) {
  if (fd_ < 0 || failed_) return -1;
  if (n == 0) return 0;
  for (;;) {
    const ssize_t got = read(fd_, buf, n);
    if (got > 0) return static_cast<int>(got);
    if (got == 0) {
      // In raw mode with VMIN = VTIME = 0 an idle line also reads as 0
      // bytes; only a hang-up tells the two apart.
      if (!LineGone(fd_)) return 0;
      failed_ = true;
      return -1;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    failed_ = true;  // EIO and the like: the device is gone or broken
    return -1;
  }
}

bool PosixSerialPort::Write(const uint8_t* buf, size_t n) {
  if (fd_ < 0) return false;
  // Enough for the bytes to leave at the line rate (12 bits a character at
  // most) plus a generous margin for a slow driver; a stuck line fails.
  const int64_t line_ms =
      static_cast<int64_t>(n) * 12 * 1000 / (settings_.rate ? settings_.rate : kMinRate);
  const int64_t deadline = RealClock().NowNs() + MsToNs(2000 + line_ms);
  size_t done = 0;
  while (done < n) {
    const ssize_t put = write(fd_, buf + done, n - done);
    if (put > 0) {
      done += static_cast<size_t>(put);
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      if (errno == EIO || errno == ENXIO || errno == ENODEV) failed_ = true;
      return false;
    }
    const int64_t left_ns = deadline - RealClock().NowNs();
    if (left_ns <= 0) return false;
    short revents = 0;
    const int wait_ms = static_cast<int>((left_ns + 999999) / 1000000);
    if (PollFor(fd_, POLLOUT, wait_ms, &revents) < 0) return false;
    if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
      failed_ = true;
      return false;
    }
  }
  return true;
}

bool PosixSerialPort::WaitReadable(int timeout_ms) {
  if (fd_ < 0 || failed_) return true;
  short revents = 0;
  if (PollFor(fd_, POLLIN, timeout_ms < 0 ? 0 : timeout_ms, &revents) < 0) return true;
  return (revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void PosixSerialPort::Purge() {
  if (fd_ >= 0) tcflush(fd_, TCIOFLUSH);
}

bool PosixSerialPort::ClearErrors() {
  if (fd_ < 0) return false;
  // Linux keeps no error latch to clear; only the failure this object
  // remembered. A line that is really gone stays failed.
  if (failed_ && !LineGone(fd_)) failed_ = false;
  return !failed_;
}

bool PosixSerialPort::SetBaudRate(uint32_t rate) {
  if (fd_ < 0) return false;
  const uint32_t clamped = ClampRate(rate);
  if (!ApplyLineRate(fd_, clamped)) return false;
  settings_.rate = clamped;
  return true;
}

bool PosixSerialPort::SetDtr(bool on) {
  if (fd_ < 0 || !SetModemLine(fd_, TIOCM_DTR, on)) return false;
  settings_.dtr = on;
  return true;
}

bool PosixSerialPort::SetRts(bool on) {
  if (fd_ < 0 || !SetModemLine(fd_, TIOCM_RTS, on)) return false;
  settings_.rts = on;
  return true;
}

void PosixSerialPort::Drain() {
  if (fd_ < 0) return;
  while (tcdrain(fd_) != 0 && errno == EINTR) {
  }
}

}  // namespace kvarta
