// The POSIX serial port on a pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/baud_rates.h"
#include "platform/posix_serial_port.h"
#include "platform/termios2_line.h"

namespace kvarta {
namespace {

// A pseudo-terminal stands in for the serial device: the test holds the
// master side, the port under test opens the slave by its path.
class PtyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    slave_path_ = ptsname(master_);
  }
  void TearDown() override { CloseMaster(); }

  std::unique_ptr<PosixSerialPort> Open(uint32_t rate = 9600) {
    return OpenComPort(slave_path_, LineSettings{.rate = rate});
  }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }
  void MasterWrite(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Collects what the master side receives until `want` bytes came or the
  // line stayed quiet for quiet_ms.
  std::vector<uint8_t> MasterRead(size_t want, int quiet_ms = 2000) {
    std::vector<uint8_t> got;
    while (got.size() < want) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, quiet_ms) <= 0) break;
      uint8_t buf[256];
      const ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) break;
      got.insert(got.end(), buf, buf + n);
    }
    return got;
  }
  // Reads from the port until `want` bytes came or it failed, waiting with
  // WaitReadable in between.
  static std::vector<uint8_t> PortRead(PosixSerialPort& port, size_t want) {
    std::vector<uint8_t> got;
    for (int rounds = 0; got.size() < want && rounds < 200; ++rounds) {
      if (!port.WaitReadable(50)) continue;
      uint8_t buf[256];
      const int n = port.Read(buf, sizeof buf);
      if (n < 0) break;
      got.insert(got.end(), buf, buf + n);
    }
    return got;
  }

  int master_ = -1;
  std::string slave_path_;
};

TEST_F(PtyTest, OpensAtNonStandardRateInRawModeWithoutModemLines) {
  auto port = Open(5760);
  ASSERT_NE(port, nullptr);
  // A pseudo-terminal has no DTR or RTS; the open still succeeded.
  EXPECT_FALSE(port->SetDtr(true));
  EXPECT_FALSE(port->SetRts(false));
  EXPECT_EQ(port->BaudRate(), 5760u);
  EXPECT_EQ(port->Path(), slave_path_);

  LineReport line;
  ASSERT_TRUE(QueryLine(port->Descriptor(), &line));
  EXPECT_EQ(line.output_rate, 5760u);
  EXPECT_EQ(line.input_rate, 5760u);
  EXPECT_EQ(line.data_bits, 8);
  EXPECT_EQ(line.parity, Parity::kNone);
  EXPECT_FALSE(line.two_stop_bits);
  EXPECT_TRUE(line.raw);
  EXPECT_TRUE(line.ignores_modem_lines);
  EXPECT_TRUE(line.receiver_on);
}

TEST_F(PtyTest, SetsEveryTableRateAndClampsOthers) {
  auto port = Open();
  ASSERT_NE(port, nullptr);
  LineReport line;
  for (uint32_t rate : BaudRateTable) {
    ASSERT_TRUE(port->SetBaudRate(rate)) << rate;
    ASSERT_TRUE(QueryLine(port->Descriptor(), &line));
    EXPECT_EQ(line.output_rate, rate);
    EXPECT_EQ(line.input_rate, rate);
    EXPECT_EQ(port->BaudRate(), rate);
  }
  ASSERT_TRUE(port->SetBaudRate(1000000));
  ASSERT_TRUE(QueryLine(port->Descriptor(), &line));
  EXPECT_EQ(line.output_rate, 256000u);
  EXPECT_EQ(port->BaudRate(), 256000u);
  ASSERT_TRUE(port->SetBaudRate(10));
  EXPECT_EQ(port->BaudRate(), 110u);
  // Changing the rate leaves raw mode alone.
  ASSERT_TRUE(QueryLine(port->Descriptor(), &line));
  EXPECT_TRUE(line.raw);
}

TEST_F(PtyTest, BytesPassUnchangedBothWays) {
  auto port = Open();
  ASSERT_NE(port, nullptr);
  // Interrupt, XON, XOFF, CR, LF, end-of-file, erase, kill, 0xFF: each of
  // them would be eaten or rewritten by a cooked line.
  const std::vector<uint8_t> control = {0x03, 0x11, 0x13, 0x0D, 0x0A, 0x04,
                                        0x7F, 0x15, 0x1A, 0xFF, 0x00, 0x33};
  MasterWrite(control);
  EXPECT_EQ(PortRead(*port, control.size()), control);

  ASSERT_TRUE(port->Write(control.data(), control.size()));
  EXPECT_EQ(MasterRead(control.size()), control);

  // No echo came back to the sender of the first batch.
  EXPECT_TRUE(MasterRead(1, 100).empty());
}

TEST_F(PtyTest, LongWriteArrivesWhole) {
  auto port = Open(230400);
  ASSERT_NE(port, nullptr);
  std::vector<uint8_t> data(20000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
  // More than the pseudo-terminal buffers: the writer must wait for room.
  std::vector<uint8_t> received;
  std::thread reader([&] { received = MasterRead(data.size()); });
  EXPECT_TRUE(port->Write(data.data(), data.size()));
  reader.join();
  EXPECT_EQ(received, data);
}

TEST_F(PtyTest, ReadWithNothingWaitingReturnsZeroAndWaitTimesOut) {
  auto port = Open();
  ASSERT_NE(port, nullptr);
  uint8_t buf[16];
  EXPECT_EQ(port->Read(buf, sizeof buf), 0);
  EXPECT_EQ(port->Read(buf, sizeof buf), 0);  // an idle line is not a hang-up

  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(port->WaitReadable(60));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
  EXPECT_FALSE(port->WaitReadable(0));
  EXPECT_EQ(port->Read(buf, sizeof buf), 0);
}

TEST_F(PtyTest, WaitWakesWhenBytesArrive) {
  auto port = Open();
  ASSERT_NE(port, nullptr);
  std::thread sender([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const uint8_t byte = 0x33;
    (void)!write(master_, &byte, 1);
  });
  const bool readable = port->WaitReadable(10000);
  sender.join();
  EXPECT_TRUE(readable);
  uint8_t buf[4];
  EXPECT_EQ(port->Read(buf, sizeof buf), 1);
  EXPECT_EQ(buf[0], 0x33);
}

TEST_F(PtyTest, VanishedDeviceFailsReadsInsteadOfHanging) {
  auto port = Open();
  ASSERT_NE(port, nullptr);
  MasterWrite({0x55});
  ASSERT_EQ(PortRead(*port, 1), std::vector<uint8_t>{0x55});
  CloseMaster();

  EXPECT_TRUE(port->WaitReadable(10000));
  uint8_t buf[8];
  EXPECT_EQ(port->Read(buf, sizeof buf), -1);
  // The failure is remembered: no wait, no pretending the line is idle.
  EXPECT_EQ(port->Read(buf, sizeof buf), -1);
  EXPECT_TRUE(port->WaitReadable(10000));
  // Clearing errors cannot bring the device back.
  EXPECT_FALSE(port->ClearErrors());
  EXPECT_EQ(port->Read(buf, sizeof buf), -1);
  const uint8_t out = 0xCC;
  EXPECT_FALSE(port->Write(&out, 1));
}

TEST_F(PtyTest, HungUpDeviceFailsReads) {
  // A pulled USB adapter hangs its terminal up: reads then return end of
  // file, which must not pass for an idle line.
  if (geteuid() != 0) GTEST_SKIP() << "hanging a terminal up needs privilege";
  auto port = Open();
  ASSERT_NE(port, nullptr);
  ASSERT_EQ(ioctl(port->Descriptor(), TIOCVHANGUP), 0);
  EXPECT_TRUE(port->WaitReadable(10000));
  uint8_t buf[8];
  EXPECT_EQ(port->Read(buf, sizeof buf), -1);
  EXPECT_FALSE(port->ClearErrors());
  EXPECT_TRUE(port->WaitReadable(0));
}

TEST_F(PtyTest, PortIsNotShared) {
  auto first = Open();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Open(), nullptr);
  if (geteuid() != 0) {
    // TIOCEXCL turns away any other opener, too; a privileged one passes it.
    errno = 0;
    const int fd = open(slave_path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_LT(fd, 0);
    EXPECT_EQ(errno, EBUSY);
    if (fd >= 0) close(fd);
  }
  first.reset();
  EXPECT_NE(Open(), nullptr);  // free again once closed
}

}  // namespace
}  // namespace kvarta
