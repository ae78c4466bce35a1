// What the simulated controller's monitoring tables can be set to from its
// command line: diagnostic flags (table 17), the length of the session
// record (table 19) and the VRG clocks (table 10).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace kvarta::sim {

// One bit of table 17: field 0..9, byte 0..13, bit 0..7. A blinking flag is
// set and cleared in turn every kBlinkSeconds of the controller's time, so a
// window that keeps re-reading the table sees it change.
struct DiagFlag {
  uint8_t field = 0;
  uint8_t byte = 0;
  uint8_t bit = 0;
  bool blinking = false;
  friend bool operator==(const DiagFlag&, const DiagFlag&) = default;
};
inline constexpr int kBlinkSeconds = 5;

// Seconds each VRG's clock runs ahead of (or behind) the controller's;
// nothing for a VRG whose clock the controller never obtained (month 0).
using VrgClockOffsets = std::array<std::optional<int64_t>, 4>;
inline constexpr VrgClockOffsets kDefaultVrgClockOffsets = {-3, 5, std::nullopt, std::nullopt};

}  // namespace kvarta::sim
