// Frame checksum: CRC-16/MODBUS, stored low byte first.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kvarta {

uint16_t Crc16(const uint8_t* bytes, size_t count);

}  // namespace kvarta
