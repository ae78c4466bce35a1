#include "link/crc16.h"

#include <array>

namespace kvarta {
namespace {

constexpr std::array<uint16_t, 256> MakeTable() {
  std::array<uint16_t, 256> t{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t r = static_cast<uint16_t>(i);
    for (int b = 0; b < 8; ++b) r = (r & 1) ? static_cast<uint16_t>((r >> 1) ^ 0xA001) : r >> 1;
    t[i] = r;
  }
  return t;
}

constexpr auto kTable = MakeTable();

}  // namespace

uint16_t Crc16(const uint8_t* bytes, size_t count) {
  uint16_t crc = 0xFFFF;
  for (size_t i = 0; i < count; ++i)
    crc = static_cast<uint16_t>((crc >> 8) ^ kTable[(crc ^ bytes[i]) & 0xFF]);
  return crc;
}

}  // namespace kvarta
