// The 22 line rates the program and the controller know, in the order the
// dialogs list them, the device search tries them and the speed masks number them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kvarta {

inline constexpr std::array<uint32_t, 22> BaudRateTable = {
    300,  600,   1200,  2400,  3200,  3600,  4800,  5760,  6400,  7200,   7680,
    9600, 11520, 12800, 14400, 19200, 23040, 28800, 38400, 57600, 115200, 230400};

// Index of rate in BaudRateTable, or -1.
int RateIndexOf(uint32_t rate);
// Rate at index 0..21, 0 for any other index.
uint32_t RateAt(int index);

}  // namespace kvarta
