#include "connection/device_search.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/baud_rates.h"
#include "support/fakes.h"
#include "support/frames.h"

namespace kvarta {
namespace {

using test::FakeClock;
using test::FakeHost;
using test::FakeSerialPort;

class DeviceSearchTest : public ::testing::Test {
 protected:
  DeviceSearchTest() {
    auto fake = std::make_unique<FakeSerialPort>(clock);
    port = fake.get();
    port->baud = 1200;
    link.port = std::move(fake);
    // The search dialog's defaults.
    link.answer_timeout_ms = 300;
    link.inter_byte_timeout_ms = 100;
    link.preamble_count = 5;
    link.attempts = 1;
    progress.on_address = [this](uint8_t a) { shown_addresses.push_back(a); };
    progress.on_rate = [this](uint32_t r) { shown_rates.push_back(r); };
  }

  // A controller with address 17 that hears only its own rate.
  void ControllerAt(uint32_t rate) {
    port->on_write = [this, rate](const std::vector<uint8_t>& bytes) {
      write_rates.push_back(port->baud);
      // Five preambles, then the request to the broadcast address.
      ASSERT_EQ(bytes.size(), 15u);
      EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 5, bytes.end()),
                test::MakeRequest(255, 1, {0, 0, 0, 1}));
      if (port->baud == rate) {
        port->DeliverAfterMs(test::MakeAnswer(17, 0x81, 0, {0, 0, 1, 64}), 20, 1);
      }
    };
  }

  FakeClock clock;
  FakeHost host;
  ControllerLink link{host, clock};
  FakeSerialPort* port = nullptr;
  SearchProgress progress;
  bool searching = false;
  std::vector<uint8_t> shown_addresses;
  std::vector<uint32_t> shown_rates;
  std::vector<uint32_t> write_rates;
};

TEST_F(DeviceSearchTest, FindsTheControllerAtItsRate) {
  ControllerAt(9600);
  const SearchResult r = SearchDevice(link, searching, progress);
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.address, 17);
  EXPECT_EQ(r.rate, 9600u);
  EXPECT_EQ(link.address, 17);
  EXPECT_EQ(link.baud_rate, 9600u);
  // The 12th rate tried, in table order from 300.
  const std::vector<uint32_t> expected(BaudRateTable.begin(), BaudRateTable.begin() + 12);
  EXPECT_EQ(write_rates, expected);
  EXPECT_EQ(shown_rates, expected);
  EXPECT_EQ(shown_addresses, std::vector<uint8_t>{255});
  EXPECT_EQ(host.cursors.front(), CursorShape::kBusy);
  EXPECT_EQ(host.cursors.back(), CursorShape::kNormal);
}

TEST_F(DeviceSearchTest, NothingAnswersAtAnyRate) {
  ControllerAt(0);
  const SearchResult r = SearchDevice(link, searching, progress);
  EXPECT_FALSE(r.found);
  EXPECT_EQ(write_rates.size(), BaudRateTable.size());
  EXPECT_EQ(write_rates.back(), 230400u);
  EXPECT_FALSE(link.abort_flag);
}

TEST_F(DeviceSearchTest, StopAbortsTheRunningExchange) {
  ControllerAt(9600);
  int64_t stop_at = 0;
  host.on_pump = [&] {
    // Pressed while the third rate's request waits for its answer.
    if (stop_at == 0 && write_rates.size() == 3) {
      stop_at = clock.now_ns;
      StopSearch(link, searching);
    }
  };
  const SearchResult r = SearchDevice(link, searching, progress);
  EXPECT_FALSE(r.found);
  EXPECT_EQ(write_rates, (std::vector<uint32_t>{300, 600, 1200}));
  EXPECT_EQ(link.result_code, kResultAborted);
  EXPECT_LT(clock.now_ns - stop_at, MsToNs(link.answer_timeout_ms));
  EXPECT_FALSE(link.abort_flag);
  EXPECT_FALSE(searching);
}

TEST_F(DeviceSearchTest, StopBetweenExchangesLeavesNoAbortBehind) {
  ControllerAt(0);
  host.on_pump = [&] {
    // After the first exchange has timed out.
    if (searching && write_rates.size() == 1 && link.result_code == kResultNoAnswer) {
      StopSearch(link, searching);
    }
  };
  EXPECT_FALSE(SearchDevice(link, searching, progress).found);
  EXPECT_EQ(write_rates.size(), 1u);
  EXPECT_FALSE(link.abort_flag);
}

}  // namespace
}  // namespace kvarta
