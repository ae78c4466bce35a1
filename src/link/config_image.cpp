#include "link/config_image.h"

namespace kvarta {

uint8_t* ConfigImage::Field(int t, int f) {
  return const_cast<uint8_t*>(static_cast<const ConfigImage*>(this)->Field(t, f));
}

const uint8_t* ConfigImage::Field(int t, int f) const {
  const TableDescriptor& d = TableCatalogue(t);
  if (!d.Exists() || f < 0 || f >= d.field_count) return nullptr;
  return bytes_.data() + d.offset + static_cast<size_t>(f) * d.field_size;
}

bool ConfigImage::TableDestroyed(int t) const {
  if (t < 0 || t >= kTableCount) return false;
  return bytes_[TableCatalogue(7).offset + static_cast<size_t>(t)] != 0;
}

std::array<uint8_t, 4 * kTableCount> TableWritePlan::Bytes() const {
  std::array<uint8_t, 4 * kTableCount> out{};
  for (int t = 0; t < kTableCount; ++t) {
    out[t] = configuration[t];
    out[kTableCount + t] = destroyed[t];
    out[2 * kTableCount + t] = selected[t];
    out[3 * kTableCount + t] = written[t];
  }
  return out;
}

TableWritePlan TableWritePlan::FromImage(const ConfigImage& image) {
  TableWritePlan plan;
  for (int t = 0; t < kTableCount; ++t) {
    plan.configuration[t] = TableCatalogue(t).config_flag;
    plan.destroyed[t] = *image.Field(7, t);
  }
  return plan;
}

}  // namespace kvarta
