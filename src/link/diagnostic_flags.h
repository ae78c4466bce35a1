// The named flags of table 17 with their texts. The table's description
// takes its titles from here and the diagnostics window its lines, so a flag
// reads the same wherever it is shown.
#pragma once

#include <cstdint>
#include <span>

namespace kvarta {

struct DiagnosticFlagText {
  uint8_t byte;  // inside a server field, a VRG field or a run's four bytes
  uint8_t bit;
  const char* name;
  const char* text;
};

// What goes before a text: a server's flags beyond byte 0, a VRG's and a
// run's flags ("ВРГ №2. Нитка №1. ...").
inline constexpr char kServerFlagPrefix[] = "Сервер %d. ";
inline constexpr char kVrgFlagPrefix[] = "ВРГ №%d. ";
inline constexpr char kRunFlagPrefix[] = "Нитка №%d. ";

// Flags of a server field (fields 0 and 1), by byte and bit; the controller's
// own flags of byte 0 are shown without the server.
std::span<const DiagnosticFlagText> ServerDiagnosticFlags();
// Byte 0 of a VRG field (fields 6 to 9).
std::span<const DiagnosticFlagText> VrgDiagnosticFlags();
// The four bytes of a metering run, byte counted from the run's first.
std::span<const DiagnosticFlagText> RunDiagnosticFlags();

}  // namespace kvarta
