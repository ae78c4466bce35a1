// The last 50 commands written to the controller, kept in one 22102-byte
// block that goes to the file comm_history.ini byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "monitor/command_record.h"

namespace kvarta {

inline constexpr int kHistoryCapacity = 50;
inline constexpr size_t kHistorySize = 2 + kHistoryCapacity * kCommandRecordSize;  // 22102
inline constexpr char kHistoryFileName[] = "comm_history.ini";  // in the folder INI

class CommandHistory {
 public:
  using Block = std::array<uint8_t, kHistorySize>;

  int Count() const { return bytes_[0]; }
  int CurrentIndex() const { return bytes_[1]; }
  bool Empty() const { return Count() == 0; }
  // Entry i (0 = oldest); an empty record outside 0..Count()-1.
  CommandRecord Entry(int i) const;
  CommandRecord Current() const { return Entry(CurrentIndex()); }

  // Appends the record and makes it current; with 50 entries the oldest goes.
  void Add(const CommandRecord& record);
  // Makes entry i current; false (nothing changed) outside 0..Count()-1.
  bool SetCurrent(int i);
  // Zeroes the whole block.
  void Clear() { bytes_.fill(0); }

  // Takes the file when it is exactly 22102 bytes and its contents hold
  // together (count, current index, every entry a command-table write);
  // otherwise the history is empty. True when the file was taken.
  bool Load(const std::string& path);
  // Replaces the file with the block; false on failure (callers stay silent).
  bool Save(const std::string& path) const;

  const Block& Bytes() const { return bytes_; }
  // The checks Load makes, on a block in memory.
  static bool Consistent(const Block& block);

 private:
  Block bytes_{};
};

}  // namespace kvarta
