// The simulated controller paces both directions at the line rate: an
// exchange can never beat the line, whatever the pseudo-terminal allows.
#include <gtest/gtest.h>

#include "connection/connector.h"
#include "link/function_codes.h"
#include "sim/embedded_simulator.h"
#include "support/fakes.h"

namespace kvarta::test {
namespace {

TEST(SimulatorPacing, AnExchangeTakesAtLeastItsLineTimeBothWays) {
  constexpr uint32_t kRate = 9600;
  sim::SimulatorOptions options;
  options.pace_baud = kRate;
  sim::SimulatorPortFactory ports(options);
  ASSERT_TRUE(ports.Start());
  FakeHost host;
  ControllerLink link(host, RealClock());
  Connector connector(link, ports);
  ConnectionParams params;
  params.line.rate = kRate;
  params.preambles = 5;
  params.answer_timeout_ms = 2000;
  params.inter_byte_timeout_ms = 200;
  ASSERT_TRUE(connector.Open(params));

  const uint8_t range[] = {0, 0, 18};
  const int64_t start = RealClock().NowNs();
  ASSERT_TRUE(SendRequest(link, kReadFunction, range, sizeof range, 0));
  const int64_t took = RealClock().NowNs() - start;
  // 5 preambles + 10 request bytes out, 28 answer bytes back, 10 bits each,
  // and the 2 ms before the request.
  const int64_t line_ns = (5 + 10 + 28) * 10 * 1000000000LL / kRate + MsToNs(2);
  EXPECT_GE(took, line_ns);
}

}  // namespace
}  // namespace kvarta::test
