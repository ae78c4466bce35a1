#include "link/whole_table.h"

#include <algorithm>

#include "link/table_catalogue.h"

namespace kvarta {

std::vector<FieldRange> ChunkFields(const FieldRange& range, bool for_write) {
  std::vector<FieldRange> chunks;
  const TableDescriptor& d = TableCatalogue(range.table);
  if (!d.Exists()) return chunks;
  const int limit = for_write ? kMaxWriteBytes : kMaxReadBytes;
  const int end = std::min<int>(d.field_count, range.first + range.count);
  // A field larger than the limit still goes one per request; the table
  // service then refuses it rather than this loop never ending.
  const int per_chunk = std::max(1, std::min<int>(d.field_count, limit / d.field_size));
  for (int first = range.first; first < end; first += per_chunk) {
    const int count = std::min(per_chunk, end - first);
    chunks.push_back({range.table, static_cast<uint8_t>(first), static_cast<uint8_t>(count)});
  }
  return chunks;
}

std::vector<FieldRange> ChunkTable(int t, bool for_write) {
  const TableDescriptor& d = TableCatalogue(t);
  return ChunkFields({static_cast<uint8_t>(t), 0, d.field_count}, for_write);
}

bool ReadWholeTable(ControllerLink& link, ConfigImage& image, int t, StatusBar* status) {
  const std::vector<FieldRange> chunks = ChunkTable(t, false);
  if (chunks.empty()) return false;
  for (const FieldRange& chunk : chunks) {
    if (!ReadTableFields(link, image, chunk, status, true)) return false;
  }
  return true;
}

bool WriteWholeTable(ControllerLink& link, ConfigImage& image, int t, StatusBar* status) {
  const std::vector<FieldRange> chunks = ChunkTable(t, true);
  if (chunks.empty()) return false;
  for (const FieldRange& chunk : chunks) {
    if (!WriteTableFields(link, image, chunk, status)) return false;
  }
  return true;
}

}  // namespace kvarta
