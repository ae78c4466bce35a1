// Kept apart from every user of <termios.h>: the kernel's termios2 header
// clashes with the C library's.
#include "sim/line_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace kvarta::sim {

uint32_t LineRateOf(int fd) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return 0;
  return t.c_ospeed;
}

bool SetLineRate(int fd, uint32_t rate) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_cflag &= ~CBAUD;
  t.c_cflag |= BOTHER;
  t.c_ospeed = rate;
  t.c_ispeed = rate;
  return ioctl(fd, TCSETS2, &t) == 0;
}

}  // namespace kvarta::sim
