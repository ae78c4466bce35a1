#include "connection/device_search.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "platform/baud_rates.h"
#include "support/sim_line.h"

namespace kvarta {
namespace {

// A controller with address 17 that hears only 9600 bit/s (or no rate at all).
class DeviceSearchTest : public ::testing::Test, public test::SimLinked {
 protected:
  DeviceSearchTest() {
    Use(ListeningAt(9600));
    // The search dialog's defaults.
    link.answer_timeout_ms = 300;
    link.inter_byte_timeout_ms = 100;
    link.preamble_count = 5;
    link.attempts = 1;
    progress.on_address = [this](uint8_t a) { shown_addresses.push_back(a); };
    progress.on_rate = [this](uint32_t r) { shown_rates.push_back(r); };
  }

  static sim::SimulatorOptions ListeningAt(uint32_t rate) {
    sim::SimulatorOptions options;
    options.address = 17;
    options.listen_baud = rate;
    return options;
  }

  SearchProgress progress;
  bool searching = false;
  std::vector<uint8_t> shown_addresses;
  std::vector<uint32_t> shown_rates;
};

TEST_F(DeviceSearchTest, FindsTheControllerAtItsRate) {
  const SearchResult r = SearchDevice(link, searching, progress);
  EXPECT_EQ(std::tie(r.found, r.address, r.rate, link.address, link.baud_rate),
            std::make_tuple(true, 17, 9600u, 17, 9600u));
  // The 12th rate tried, in table order from 300, each with one broadcast
  // request behind five preambles.
  EXPECT_EQ(shown_rates, std::vector<uint32_t>(BaudRateTable.begin(), BaudRateTable.begin() + 12));
  ASSERT_EQ(port->writes.size(), 12u);
  EXPECT_EQ(port->writes[0],
            test::Concat({0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, test::MakeRequest(255, 1, {0, 0, 0, 1})));
  EXPECT_EQ(shown_addresses, std::vector<uint8_t>{255});
  EXPECT_EQ(host.cursors.front(), CursorShape::kBusy);
  EXPECT_EQ(host.cursors.back(), CursorShape::kNormal);
}

TEST_F(DeviceSearchTest, NothingAnswersAtAnyRate) {
  Use(ListeningAt(1));
  EXPECT_FALSE(SearchDevice(link, searching, progress).found);
  EXPECT_EQ(port->writes.size(), BaudRateTable.size());
  EXPECT_EQ(shown_rates.back(), 230400u);
  EXPECT_FALSE(link.abort_flag);
}

TEST_F(DeviceSearchTest, StopAbortsTheRunningExchangeAndLeavesNoAbortBehind) {
  int64_t stop_at = 0;
  host.on_pump = [&] {
    // Pressed while the third rate's request waits for its answer.
    if (stop_at == 0 && port->writes.size() == 3) {
      stop_at = clock.now_ns;
      StopSearch(link, searching);
    }
  };
  EXPECT_FALSE(SearchDevice(link, searching, progress).found);
  EXPECT_EQ(shown_rates, (std::vector<uint32_t>{300, 600, 1200}));
  EXPECT_EQ(link.result_code, kResultAborted);
  EXPECT_LT(clock.now_ns - stop_at, MsToNs(link.answer_timeout_ms));
  EXPECT_FALSE(link.abort_flag);
  EXPECT_FALSE(searching);

  // Stopped between exchanges (after the first has timed out): no abort is left behind.
  Use(ListeningAt(9600));
  host.on_pump = [&] {
    if (searching && port->writes.size() == 1 && link.result_code == kResultNoAnswer) {
      StopSearch(link, searching);
    }
  };
  EXPECT_FALSE(SearchDevice(link, searching, progress).found);
  EXPECT_EQ(port->writes.size(), 1u);
  EXPECT_FALSE(link.abort_flag);
}

}  // namespace
}  // namespace kvarta
