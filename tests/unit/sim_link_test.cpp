// The program's own link against the simulator on a pseudo-terminal: the two
// must agree on every byte for the demos and the end-to-end tests to work.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/controller_link.h"
#include "platform/clock.h"
#include "platform/posix_serial_port.h"
#include "sim/controller.h"
#include "sim/simulator.h"
#include "support/fakes.h"

namespace kvarta::sim {
namespace {

class SimLinkTest : public ::testing::Test {
 protected:
  void Connect(SimulatorOptions options, uint32_t rate) {
    sim_ = std::make_unique<Simulator>(options);
    path_ = sim_->StartOnPty();
    ASSERT_FALSE(path_.empty());
    link_.port = OpenComPort(path_, LineSettings{.rate = rate});
    ASSERT_NE(link_.port, nullptr);
    link_.address = options.address;
    link_.baud_rate = rate;
    link_.preamble_count = 3;
    link_.attempts = 1;
    link_.answer_timeout_ms = 1000;
    link_.inter_byte_timeout_ms = 200;  // generous: the machine may be busy
  }
  void TearDown() override { link_.ClosePort(); }

  bool Read(uint8_t t, uint8_t first, uint8_t count) {
    const uint8_t range[3] = {t, first, count};
    return SendRequest(link_, 1, range, 3, 0);
  }
  bool Write(uint8_t t, uint8_t first, uint8_t count, const std::vector<uint8_t>& values) {
    std::vector<uint8_t> data = {t, first, count};
    data.insert(data.end(), values.begin(), values.end());
    return SendRequest(link_, 2, data.data(), static_cast<uint32_t>(data.size()), 0);
  }

  test::FakeHost host_;
  ControllerLink link_{host_, RealClock()};
  std::unique_ptr<Simulator> sim_;
  std::string path_;
};

TEST_F(SimLinkTest, ReadsWritesAndRefusalsThroughTheLink) {
  Connect({}, 9600);
  ASSERT_TRUE(Read(0, 0, 18)) << link_.result_code;
  EXPECT_EQ(link_.answer[8 + 1], 64);
  EXPECT_EQ(link_.answer[8 + 3], 4);

  // Nobody logged on: the harmless command write is refused.
  EXPECT_FALSE(Write(15, 0, 1, {0}));
  EXPECT_EQ(link_.result_code, 8u);
  EXPECT_EQ(link_.answer[4], 34);

  link_.SetCredentials("", "4444");
  EXPECT_TRUE(Write(15, 0, 1, {0})) << link_.result_code;
  EXPECT_FALSE(Write(20, 4, 1, {25, 0}));
  EXPECT_EQ(link_.answer[4], 26);
  EXPECT_TRUE(SendRequest(link_, 32, nullptr, 0, 0)) << link_.result_code;
  sim_->WithController([](Controller& c) { EXPECT_EQ(c.RestartCount(), 1); });
}

TEST_F(SimLinkTest, AddressChangeIsFollowedByTheLink) {
  Connect({}, 9600);
  link_.SetCredentials("222222", "2222");
  ASSERT_TRUE(Write(3, 0, 1, {9})) << link_.result_code;
  EXPECT_EQ(link_.address, 9);
  EXPECT_TRUE(Read(3, 0, 1)) << link_.result_code;
}

TEST_F(SimLinkTest, BroadcastFindsTheControllerOnlyAtItsRate) {
  SimulatorOptions options;
  options.address = 17;
  options.listen_baud = 9600;
  Connect(options, 19200);
  link_.address = kBroadcastAddress;
  link_.answer_timeout_ms = 300;
  EXPECT_FALSE(Read(0, 0, 1));
  EXPECT_EQ(link_.result_code, 10u);

  ASSERT_TRUE(link_.port->SetBaudRate(9600));
  EXPECT_TRUE(Read(0, 0, 1)) << link_.result_code;
  EXPECT_EQ(link_.address, 17);
}

}  // namespace
}  // namespace kvarta::sim
