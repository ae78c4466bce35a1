// The controller's tables described down to the field: for every parameter
// its table, field, byte offset and size, type, valid range, unit and a
// stable English name. The windows, the tool's show/set and the simulator's
// contents build on this description instead of on offsets of their own.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kvarta {

enum class ParamType : uint8_t {
  kUnsigned,       // little-endian unsigned integer of size bytes
  kSigned,         // little-endian two's complement integer of size bytes
  kText,           // code page 1251 text, zero-terminated and zero-filled inside size bytes
  kPaddedText,     // code page 1251 text padded with blanks, not terminated
  kBit,            // bit `bit` of one byte (0 or 1)
  kShortDateTime,  // six bytes: year - 2000, month, day, hour, minute, second
  kRateIndex,      // one byte: an index into BaudRateTable, shown in bit/s
  kBytes,          // raw bytes, shown in hex
};

struct ParamSpec {
  std::string name;  // "address", "vrg1.address", "schedule.5.modem"
  uint8_t table = 0;
  uint8_t field = 0;    // field holding the first byte
  uint16_t offset = 0;  // byte offset inside the table
  uint8_t size = 1;     // bytes taken (a bit takes its byte)
  ParamType type = ParamType::kUnsigned;
  uint8_t bit = 0;  // kBit only
  // Valid values; for texts the number of characters (min is 0 or 1).
  int64_t min = 0;
  int64_t max = 0;
  std::string unit;   // "s", "ms", "min", "ds", "bit/s", or empty
  std::string title;  // the Russian label the windows give it, or empty
};

// Every parameter of table t in offset order; empty for numbers without fields.
std::span<const ParamSpec> TableParams(int t);
// The parameter of table t called name; nullptr when there is none.
const ParamSpec* FindParam(int t, std::string_view name);

// Values inside a table's bytes (ConfigImage::Table(t), or the same table's
// copy in a configuration file record). Nothing is read or written outside
// the parameter's size bytes.

// Unsigned, signed, bit and rate-index parameters (a rate index as stored).
int64_t GetNumber(const uint8_t* table, const ParamSpec& p);
// Stores value (cut to the parameter's size; a bit keeps the other bits of its byte).
void SetNumber(uint8_t* table, const ParamSpec& p, int64_t value);
// Text parameters as UTF-8, up to the terminator (or the padding).
std::string GetText(const uint8_t* table, const ParamSpec& p);
// Stores a text: the parameter's bytes are cleared (zeros, or blanks for a
// padded text) and the code page 1251 form is copied in, cut to what fits
// (a zero-terminated text keeps room for its terminator).
void SetText(uint8_t* table, const ParamSpec& p, std::string_view utf8);

// The value as the tool prints it: numbers in decimal, a rate index in
// bit/s, texts as they are, a date and time as DD.MM.YY HH:MM:SS, bytes in hex.
std::string FormatParam(const uint8_t* table, const ParamSpec& p);
// True when the stored value lies within the parameter's range.
bool ParamInRange(const uint8_t* table, const ParamSpec& p);

}  // namespace kvarta
