#include "sim/sim_state_file.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"

namespace kvarta::sim {
namespace {

constexpr char kMagic[8] = {'K', 'V', 'S', 'I', 'M', 'S', 'T', 0};
constexpr uint32_t kVersion = 1;
constexpr size_t kFileSize = 8 + 4 + 1 + kConfigImageSize + kTableCount + 8;

void PutLe(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint64_t GetLe(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
  return v;
}

}  // namespace

bool SaveSimState(const std::string& path, const Controller& controller) {
  std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
  PutLe(out, kVersion, 4);
  out.push_back(controller.Address());
  out.insert(out.end(), controller.Block().begin(), controller.Block().end());
  for (int t = 0; t < kTableCount; ++t) out.push_back(controller.Destroyed(t) ? 1 : 0);
  PutLe(out, static_cast<uint64_t>(controller.ClockOffsetSeconds()), 8);

  return WriteFileAtomically(
      path, std::string_view(reinterpret_cast<const char*>(out.data()), out.size()));
}

bool LoadSimState(const std::string& path, Controller& controller) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return false;  // also a folder: it cannot be read as a file
  const std::vector<uint8_t> in(bytes.begin(), bytes.end());
  if (in.size() != kFileSize || std::memcmp(in.data(), kMagic, sizeof kMagic) != 0 ||
      GetLe(in.data() + 8, 4) != kVersion) {
    return false;
  }
  const uint8_t* p = in.data() + 12;
  const uint8_t address = *p++;
  std::array<uint8_t, kConfigImageSize> block;
  std::memcpy(block.data(), p, block.size());
  p += block.size();
  // The flags are authoritative for table 7.
  const size_t states = TableCatalogue(7).offset;
  for (int t = 0; t < kTableCount; ++t) block[states + t] = p[t];
  p += kTableCount;
  controller.LoadState(block, address);
  controller.SetClockOffsetSeconds(static_cast<int64_t>(GetLe(p, 8)));
  return true;
}

}  // namespace kvarta::sim
