// How a line is opened, without a device: the settings are clamped to what
// the line takes and turned into the terminal's frame format.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <tuple>

#include "platform/posix_serial_port.h"
#include "platform/termios2_line.h"

namespace kvarta {
namespace {

TEST(RawLine, FrameFormatFollowsTheClampedSettings) {
  EXPECT_EQ(ClampLineSettings(50, 8, 0, 0, true, false).rate, 110u);
  EXPECT_EQ(ClampLineSettings(500000, 8, 0, 0, true, false).rate, 256000u);
  EXPECT_EQ(ClampLineSettings(9600, 9, 0, 0, true, false).data_bits, 8);
  EXPECT_EQ(ClampLineSettings(9600, 8, -1, 0, true, false).parity, Parity::kNone);
  // Starts from a line with every flag set, so leftovers would show.
  // Two data bits clamp to four, which open as five; one and a half stop bits as two.
  LineReport line = PreviewRawLine(ClampLineSettings(9600, 2, 1, 1, true, false));
  EXPECT_EQ(std::tie(line.data_bits, line.parity, line.two_stop_bits, line.raw,
                     line.ignores_modem_lines, line.receiver_on),
            std::make_tuple(5, Parity::kEven, true, true, true, true));
  line = PreviewRawLine(ClampLineSettings(9600, 7, 2, 2, true, false));
  EXPECT_EQ(std::tie(line.data_bits, line.parity, line.two_stop_bits),
            std::make_tuple(7, Parity::kOdd, true));
  line = PreviewRawLine(ClampLineSettings(7680, 6, 3, 5, true, false));
  EXPECT_EQ(
      std::tie(line.data_bits, line.parity, line.two_stop_bits, line.output_rate, line.input_rate),
      std::make_tuple(6, Parity::kNone, false, 7680u, 7680u));
}

TEST(OpenComPort, FailsForMissingOrNonTerminalPaths) {
  EXPECT_EQ(OpenComPort("/dev/nonexistent-kvarta-port", LineSettings{.rate = 9600}), nullptr);
  EXPECT_EQ(OpenComPort("", LineSettings{.rate = 9600}), nullptr);

  char path[] = "/tmp/kvarta-not-a-tty-XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_EQ(OpenComPort(path, LineSettings{.rate = 9600}), nullptr);
  unlink(path);
}

}  // namespace
}  // namespace kvarta
