// Function codes of the requests the program sends.
#pragma once

#include <cstdint>

namespace kvarta {

inline constexpr uint8_t kReadFunction = 1;      // read a field range
inline constexpr uint8_t kWriteFunction = 2;     // write a field range
inline constexpr uint8_t kRestartFunction = 32;  // restart the controller

}  // namespace kvarta
