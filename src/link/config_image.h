// The one in-memory copy of all controller tables, 9699 bytes at fixed offsets.
#pragma once

#include <array>
#include <cstdint>

#include "link/table_catalogue.h"

namespace kvarta {

class ConfigImage {
 public:
  uint8_t* Data() { return bytes_.data(); }
  const uint8_t* Data() const { return bytes_.data(); }
  // Start of field f of table t; nullptr for tables without fields.
  uint8_t* Field(int t, int f);
  const uint8_t* Field(int t, int f) const;
  uint8_t* Table(int t) { return Field(t, 0); }
  const uint8_t* Table(int t) const { return Field(t, 0); }
  uint8_t Byte(int t, int f) const { return *Field(t, f); }

  // Destroyed-table queries: table 0 field 0 (number of a destroyed table,
  // 0 = none) and table 7 field t (state of table t, non-zero = destroyed).
  uint8_t DestroyedTableNumber() const { return bytes_[TableCatalogue(0).offset]; }
  bool TableDestroyed(int t) const;

 private:
  std::array<uint8_t, kConfigImageSize> bytes_{};
};

// TableWritePlan: four rows of 23 flags indexed by table number.
struct TableWritePlan {
  std::array<uint8_t, kTableCount> configuration{};
  std::array<uint8_t, kTableCount> destroyed{};
  std::array<uint8_t, kTableCount> selected{};
  std::array<uint8_t, kTableCount> written{};

  // The 92-byte layout (row k at bytes 23k..23k+22).
  std::array<uint8_t, 4 * kTableCount> Bytes() const;
  // Configuration row from the catalogue, destroyed row from table 7 of the
  // image, selected and written rows cleared.
  static TableWritePlan FromImage(const ConfigImage& image);
};

}  // namespace kvarta
