// SIGTERM, SIGINT and SIGHUP turned into bytes on a pipe (the self-pipe), so
// that an event loop can watch the read end and end the program in its own
// time, the way the user would, instead of dying inside a signal handler.
#pragma once

namespace kvarta {

class TerminationSignals {
 public:
  // Installs the handlers; only one instance may be alive at a time.
  TerminationSignals();
  // Restores the previous handlers and closes the pipe.
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  bool ok() const { return read_fd_ >= 0; }
  // The pipe's read end: readable once a signal has arrived.
  int fd() const { return read_fd_; }
  // The next signal that arrived (its number), 0 when none is waiting.
  // Never blocks.
  int Take();

 private:
  int read_fd_ = -1;
};

}  // namespace kvarta
