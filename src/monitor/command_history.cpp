#include "monitor/command_history.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/atomic_file.h"

namespace kvarta {
namespace {

constexpr size_t kEntriesOffset = 2;

size_t EntryOffset(int i) {
  return kEntriesOffset + static_cast<size_t>(i) * kCommandRecordSize;
}

}  // namespace

CommandRecord CommandHistory::Entry(int i) const {
  CommandRecord r;
  if (i < 0 || i >= Count()) return r;
  std::memcpy(r.bytes.data(), bytes_.data() + EntryOffset(i), kCommandRecordSize);
  return r;
}

void CommandHistory::Add(const CommandRecord& record) {
  int index = Count();
  if (index < kHistoryCapacity) {
    bytes_[0] = static_cast<uint8_t>(index + 1);
  } else {
    std::memmove(bytes_.data() + EntryOffset(0), bytes_.data() + EntryOffset(1),
                 (kHistoryCapacity - 1) * kCommandRecordSize);
    index = kHistoryCapacity - 1;
  }
  std::memcpy(bytes_.data() + EntryOffset(index), record.bytes.data(), kCommandRecordSize);
  bytes_[1] = static_cast<uint8_t>(index);
}

bool CommandHistory::SetCurrent(int i) {
  if (i < 0 || i >= Count()) return false;
  bytes_[1] = static_cast<uint8_t>(i);
  return true;
}

bool CommandHistory::Consistent(const Block& block) {
  const int count = block[0];
  if (count > kHistoryCapacity) return false;
  if (count > 0 && block[1] >= count) return false;
  // A stored entry is sent again unchanged: it must stay a command-table write.
  for (int i = 0; i < count; ++i) {
    CommandRecord r;
    std::memcpy(r.bytes.data(), block.data() + EntryOffset(i), kCommandRecordSize);
    if (!r.Sendable()) return false;
  }
  return true;
}

bool CommandHistory::Load(const std::string& path) {
  Clear();
  std::string bytes;
  if (!ReadWholeFile(path, bytes) || bytes.size() != kHistorySize) return false;
  Block block{};
  std::memcpy(block.data(), bytes.data(), kHistorySize);
  if (!Consistent(block)) return false;
  bytes_ = block;
  return true;
}

bool CommandHistory::Save(const std::string& path) const {
  return WriteFileAtomically(
      path, std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()));
}

}  // namespace kvarta
