#include <gtest/gtest.h>

#include <cstring>

#include "link/crc16.h"
#include "platform/baud_rates.h"
#include "platform/cp1251.h"

namespace kvarta {
namespace {

TEST(Crc16, CatalogueCheckValueAndFrameExample) {
  const char* digits = "123456789";
  EXPECT_EQ(Crc16(reinterpret_cast<const uint8_t*>(digits), 9), 0x4B37);
  const uint8_t read_request[] = {0xCC, 0x01, 0x0A, 0x01, 0x00, 0x00, 0x00, 0x01, 0xA0, 0x64};
  EXPECT_EQ(Crc16(read_request, 8), 0x64A0);
  EXPECT_EQ(Crc16(read_request, 10), 0);
}

TEST(Cp1251, RoundTripsCyrillicAndUpperCases) {
  const std::string utf8 = "Коммуникационный порт СОМ1 ёЁ №";
  const std::string cp = Utf8ToCp1251(utf8);
  EXPECT_EQ(cp.size(), Utf8Length(utf8));
  EXPECT_EQ(Cp1251ToUtf8(cp), utf8);
  // Cyrillic С, О, М of "СОМ" are 0xD1 0xCE 0xCC.
  EXPECT_NE(cp.find("\xD1\xCE\xCC"), std::string::npos);
  EXPECT_EQ(Cp1251ToUpper(0xE0), 0xC0);  // а -> А
  EXPECT_EQ(Cp1251ToUpper(0xB8), 0xA8);  // ё -> Ё
  EXPECT_EQ(Cp1251ToUpper('q'), 'Q');
  EXPECT_EQ(Utf8ToCp1251("日"), "?");
  // Every byte comes back unchanged, the unassigned 0x98 too (a modem
  // command or a name holding it must not turn into '?' on the next save).
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
  EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xC2\x98");
}

TEST(BaudRates, IndexAndRate) {
  EXPECT_EQ(RateIndexOf(9600), 11);
  EXPECT_EQ(RateIndexOf(1000), -1);
  EXPECT_EQ(RateAt(21), 230400u);
  EXPECT_EQ(RateAt(22), 0u);
  EXPECT_EQ(RateAt(-1), 0u);
}

}  // namespace
}  // namespace kvarta
