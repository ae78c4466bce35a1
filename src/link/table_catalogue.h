// The 23 table numbers the program knows: field count and size, whether the
// table belongs to the configuration, and where it lies in the image.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kvarta {

inline constexpr int kTableCount = 23;
inline constexpr size_t kConfigImageSize = 9699;

struct TableDescriptor {
  uint8_t field_count = 0;  // 0 = number not used by this program
  uint8_t field_size = 0;
  uint8_t config_flag = 0;  // 1 = part of the configuration
  uint16_t offset = 0;      // start of the table in ConfigImage
  size_t Bytes() const { return static_cast<size_t>(field_count) * field_size; }
  bool Exists() const { return field_count != 0; }
};

// Descriptor of table t (0..22); a null descriptor for any other number.
const TableDescriptor& TableCatalogue(int t);
// Display name of table t (TableNames), UTF-8; empty for numbers without a name.
const std::string& TableName(int t);

// True for the tables the program writes: the configuration tables and the
// command table 15; all others are only read.
bool TableWritten(int t);

// Tables of the configuration, ascending: 3, 4, 9, 12, 20, 21, 22.
inline constexpr std::array<int, 7> kConfigurationTables = {3, 4, 9, 12, 20, 21, 22};

// Value byte limits of one request.
inline constexpr int kMaxReadBytes = 245;
inline constexpr int kMaxWriteBytes = 229;

}  // namespace kvarta
