// The simulator served on a real pseudo-terminal, driven with plain POSIX calls
// the way a program opens a serial line.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/controller.h"
#include "sim/simulator.h"
#include "support/frames.h"
#include "support/temp_dir.h"

namespace kvarta::sim {
namespace {

using test::Bytes;
using test::WithCrc;
using SteadyClock = std::chrono::steady_clock;

Bytes Read(uint8_t address, uint8_t t, uint8_t first, uint8_t count) {
  return WithCrc({0xCC, address, 10, 1, 0, t, first, count});
}

// The program's end of the line.
class Line {
 public:
  explicit Line(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) return;
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    tcsetattr(fd_, TCSANOW, &t);
  }
  ~Line() {
    if (fd_ >= 0) close(fd_);
  }
  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  void Send(const Bytes& bytes) {
    Bytes with_preambles = {0xFF, 0xFF, 0xFF};
    with_preambles.insert(with_preambles.end(), bytes.begin(), bytes.end());
    ASSERT_EQ(write(fd_, with_preambles.data(), with_preambles.size()),
              static_cast<ssize_t>(with_preambles.size()));
  }

  // Collects bytes until want have come or nothing arrives for quiet_ms (or
  // limit_ms in all has passed).
  Bytes Receive(size_t want, int quiet_ms = 300, int limit_ms = 5000) {
    Bytes got;
    const auto start = SteadyClock::now();
    while (got.size() < want) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, quiet_ms) <= 0) break;
      uint8_t buf[256];
      const ssize_t n = read(fd_, buf, sizeof buf);
      if (n > 0) got.insert(got.end(), buf, buf + n);
      if (SteadyClock::now() - start > std::chrono::milliseconds(limit_ms)) break;
    }
    return got;
  }

 private:
  int fd_ = -1;
};

TEST(SimServer, ReadRoundTripOverPty) {
  Simulator sim;
  const std::string path = sim.StartOnPty();
  ASSERT_FALSE(path.empty());
  Controller expected(1);

  Line line(path);
  ASSERT_TRUE(line.ok());
  line.Send(Read(1, 0, 0, 18));
  const Bytes answer = line.Receive(28);
  EXPECT_EQ(answer, expected.Handle(Read(1, 0, 0, 18)));

  // The program may close and reopen the line; the simulator keeps serving.
  {
    Line again(path);
    ASSERT_TRUE(again.ok());
    again.Send(Read(1, 9, 0, 104));
    EXPECT_EQ(again.Receive(114).size(), 114u);
  }
  sim.WithController([](Controller& c) { c.Field(20, 0)[0] = 77; });
  line.Send(Read(1, 20, 0, 1));
  const Bytes t20 = line.Receive(12);
  ASSERT_EQ(t20.size(), 12u);
  EXPECT_EQ(t20[8], 77);
}

TEST(SimServer, SilenceAndCutShortFaults) {
  Fault silence;
  silence.kind = FaultKind::kSilence;
  silence.count = 1;
  SimulatorOptions options;
  options.fault = silence;
  Simulator sim(options);
  const std::string path = sim.StartOnPty();
  ASSERT_FALSE(path.empty());
  Line line(path);
  ASSERT_TRUE(line.ok());

  line.Send(Read(1, 0, 0, 1));
  EXPECT_TRUE(line.Receive(1, 300).empty());
  // The one silent answer is used up.
  line.Send(Read(1, 0, 0, 1));
  EXPECT_EQ(line.Receive(11).size(), 11u);

  Fault cut;
  cut.kind = FaultKind::kCutShort;
  cut.cut_after = 4;
  sim.SetFault(cut);
  line.Send(Read(1, 0, 0, 1));
  const Bytes head = line.Receive(11, 300);
  ASSERT_EQ(head.size(), 4u);
  EXPECT_EQ(head[0], 0x33);
  EXPECT_EQ(head[2], 11);
}

TEST(SimServer, PacedAnswerTakesItsLineTime) {
  SimulatorOptions options;
  options.pace_baud = 1200;  // 10 bits a byte: about 8.3 ms per byte
  Simulator sim(options);
  const std::string path = sim.StartOnPty();
  ASSERT_FALSE(path.empty());
  Line line(path);
  ASSERT_TRUE(line.ok());

  const auto start = SteadyClock::now();
  line.Send(Read(1, 0, 0, 18));
  const Bytes answer = line.Receive(28, 1000);
  const auto elapsed = SteadyClock::now() - start;
  ASSERT_EQ(answer.size(), 28u);
  // 27 byte gaps at 8.3 ms: at least about 225 ms; only the lower bound is firm.
  EXPECT_GE(elapsed, std::chrono::milliseconds(180));
}

TEST(SimServer, StateFileKeepsTablesBetweenRuns) {
  test::TempDir dir;
  const std::string state = dir.File("state.bin");

  SimulatorOptions options;
  options.state_file = state;
  {
    Simulator sim(options);
    EXPECT_FALSE(sim.StateLoaded());
    ASSERT_FALSE(sim.StartOnPty().empty());
    sim.WithController([](Controller& c) {
      c.SetAddress(9);
      c.SetFieldText(21, 1, "*111#");
      c.SetDestroyed(12, true);
    });
    sim.Stop();
  }
  {
    options.address = 3;  // a kept state wins over the address option
    options.destroyed_tables = {20};
    Simulator sim(options);
    EXPECT_TRUE(sim.StateLoaded());
    sim.WithController([](Controller& c) {
      EXPECT_EQ(c.Address(), 9);
      EXPECT_EQ(c.FieldText(21, 1), "*111#");
      EXPECT_TRUE(c.Destroyed(12));
      EXPECT_TRUE(c.Destroyed(20));
      EXPECT_EQ(c.Field(0, 0)[0], 12);
    });
  }
  // A damaged file is not taken.
  {
    FILE* f = std::fopen(state.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    std::fputc('X', f);
    std::fclose(f);
    Simulator sim(options);
    EXPECT_FALSE(sim.StateLoaded());
    sim.WithController([](Controller& c) { EXPECT_EQ(c.Address(), 3); });
  }
}

}  // namespace
}  // namespace kvarta::sim
