#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "link/config_image.h"
#include "link/gprs_transform.h"

namespace kvarta {
namespace {

TEST(GprsTransform, TablesAreMutuallyInversePermutations) {
  std::vector<bool> seen(256);
  int fixed_points = 0;
  for (int b = 0; b < 256; ++b) {
    const uint8_t s = kGprsSubstitution[b];
    EXPECT_FALSE(seen[s]) << "S repeats " << int(s);
    seen[s] = true;
    EXPECT_EQ(kGprsSubstitutionInverse[s], b);
    EXPECT_EQ(kGprsSubstitution[kGprsSubstitutionInverse[b]], b);
    fixed_points += s == b;
  }
  EXPECT_LT(fixed_points, 8);
}

class GprsImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (size_t i = 0; i < kConfigImageSize; ++i) image.Data()[i] = static_cast<uint8_t>(i * 13);
    image.Field(0, 12)[0] = 0;
    before.assign(image.Data(), image.Data() + kConfigImageSize);
  }
  std::vector<uint8_t> Now() const { return {image.Data(), image.Data() + kConfigImageSize}; }

  ConfigImage image;
  std::vector<uint8_t> before;
};

TEST_F(GprsImageTest, EncodesAllOfTableTwentyTwoOnlyAndDecodesBackUnlessSwitchedOff) {
  ASSERT_TRUE(GprsTransformActive(image));
  EncodeGprsFields(image);
  const auto encoded = Now();
  const size_t start = TableCatalogue(22).offset;
  for (size_t i = 0; i < kConfigImageSize; ++i) {
    if (i >= start && i < start + 550) {
      EXPECT_EQ(encoded[i], kGprsSubstitution[before[i]]) << i;
    } else {
      EXPECT_EQ(encoded[i], before[i]) << i;
    }
  }
  DecodeGprsFields(image);
  EXPECT_EQ(Now(), before);

  // A non-zero selector leaves the table as it is.
  image.Field(0, 12)[0] = 1;
  before = Now();
  EXPECT_FALSE(GprsTransformActive(image));
  EncodeGprsFields(image);
  EXPECT_EQ(Now(), before);
  DecodeGprsFields(image);
  EXPECT_EQ(Now(), before);
}

}  // namespace
}  // namespace kvarta
