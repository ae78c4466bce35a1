// The program's own link against the simulated controller: the two must agree
// on every byte for the demos and the end-to-end tests to work.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "link/controller_link.h"
#include "support/sim_line.h"

namespace kvarta {
namespace {

class SimLinkTest : public ::testing::Test, public test::SimLinked {
 protected:
  SimLinkTest() { link.attempts = 1; }
  bool Write(uint8_t t, uint8_t first, const std::vector<uint8_t>& values) {
    std::vector<uint8_t> data = {t, first, 1};
    data.insert(data.end(), values.begin(), values.end());
    return SendRequest(link, 2, data.data(), static_cast<uint32_t>(data.size()), 0);
  }
};

TEST_F(SimLinkTest, CredentialsRestartAndAnAddressChange) {
  // Nobody logged on: even the harmless command write is refused.
  EXPECT_FALSE(Write(15, 0, {0}));
  EXPECT_EQ(link.result_code, kResultErrorAnswer);
  EXPECT_EQ(link.answer[4], 34);
  link.SetCredentials("", "4444");
  EXPECT_TRUE(Write(15, 0, {0})) << link.result_code;
  EXPECT_TRUE(SendRequest(link, 32, nullptr, 0, 0)) << link.result_code;
  EXPECT_EQ(port->controller.RestartCount(), 1);

  link.SetCredentials("222222", "2222");
  ASSERT_TRUE(Write(3, 0, {9})) << link.result_code;
  EXPECT_EQ(link.address, 9);
  const uint8_t range[3] = {3, 0, 1};
  EXPECT_TRUE(SendRequest(link, 1, range, 3, 0)) << link.result_code;
  EXPECT_EQ(link.answer[8], 9);
}

}  // namespace
}  // namespace kvarta
