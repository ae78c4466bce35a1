// The rate a terminal line is set to, read and set through termios2 so that
// any rate (not only the standard B-constants) is seen. On a pseudo-terminal
// the master's descriptor reaches the settings the program made on the slave.
#pragma once

#include <cstdint>

namespace kvarta::sim {

// Output rate of the line behind fd in bit/s; 0 when it cannot be read.
uint32_t LineRateOf(int fd);
// Sets input and output rate of the line behind fd; false on failure.
bool SetLineRate(int fd, uint32_t rate);

}  // namespace kvarta::sim
