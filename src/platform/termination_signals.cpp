#include "platform/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

namespace kvarta {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The handler may run on any thread and at any moment: it only writes.
volatile sig_atomic_t g_write_fd = -1;
struct sigaction g_previous[std::size(kSignals)];

void OnSignal(int signo) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signo);
  const int fd = g_write_fd;
  if (fd >= 0 && write(fd, &byte, 1) < 0) {
    // A full pipe already holds enough to wake the loop.
  }
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  read_fd_ = fds[0];
  g_write_fd = fds[1];
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &g_previous[i]);
}

TerminationSignals::~TerminationSignals() {
  if (read_fd_ < 0) return;
  for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &g_previous[i], nullptr);
  const int write_fd = g_write_fd;
  g_write_fd = -1;
  close(write_fd);
  close(read_fd_);
}

int TerminationSignals::Take() {
  unsigned char byte = 0;
  for (;;) {
    const ssize_t n = read(read_fd_, &byte, 1);
    if (n == 1) return byte;
    if (n < 0 && errno == EINTR) continue;
    return 0;
  }
}

}  // namespace kvarta
