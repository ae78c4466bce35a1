#include "config/config_compare.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "config/user_list.h"
#include "link/table_catalogue.h"
#include "platform/cp1251.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr int kUsersTable = 4;

std::string LevelText(uint8_t level) {
  if (level < kLevelCount) return Format("%u (%s)", level, AccessLevelNames()[level].c_str());
  return Format("%u", level);
}

void CompareUsers(const uint8_t* left, const uint8_t* right, std::vector<ConfigDifference>& out) {
  for (int i = 0; i < kUserCount; ++i) {
    const uint8_t* l = UserRecord(left, i);
    const uint8_t* r = UserRecord(right, i);
    const uint8_t ll = l[kUserLevelOffset];
    const uint8_t rl = r[kUserLevelOffset];
    if (ll == kLevelNone && rl == kLevelNone) continue;
    // A free slot has no name, whatever its bytes hold.
    const std::string ln = ll == kLevelNone ? "" : PaddedText(l, kUserNameSize);
    const std::string rn = rl == kLevelNone ? "" : PaddedText(r, kUserNameSize);
    if (ln != rn) out.push_back({kUsersTable, Format("user%d.name", i + 1), ln, rn});
    if (ll != rl) {
      out.push_back({kUsersTable, Format("user%d.level", i + 1), LevelText(ll), LevelText(rl)});
    }
  }
}

// A field without a description: a number, a text, or its bytes.
std::string FieldText(const uint8_t* p, size_t size) {
  if (size <= 4) {
    uint32_t v = 0;
    for (size_t i = 0; i < size; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return Format("%u", v);
  }
  const uint8_t* zero = std::find(p, p + size, 0);
  const bool printable = std::all_of(p, zero, [](uint8_t b) { return b >= 0x20 && b != 0x7F; });
  const bool zero_filled = std::all_of(zero, p + size, [](uint8_t b) { return b == 0; });
  if (zero != p + size && printable && zero_filled) {
    return Cp1251ToUtf8(std::string_view(reinterpret_cast<const char*>(p), zero - p));
  }
  std::string hex;
  for (size_t i = 0; i < size; ++i) hex += Format(i ? " %02X" : "%02X", p[i]);
  return hex;
}

bool ParamDiffers(const uint8_t* l, const uint8_t* r, const ParamSpec& p) {
  if (p.type == ParamType::kBit) return ((l[p.offset] ^ r[p.offset]) >> (p.bit & 7)) & 1;
  return std::memcmp(l + p.offset, r + p.offset, p.size) != 0;
}

void CompareTable(int t, const uint8_t* l, const uint8_t* r, const ParamDescription& description,
                  std::vector<ConfigDifference>& out) {
  const TableDescriptor& d = TableCatalogue(t);
  const size_t bytes = d.Bytes();
  struct Found {
    size_t offset;
    ConfigDifference difference;
  };
  std::vector<Found> found;
  // Bits of each byte a description covers.
  std::vector<uint8_t> covered(bytes, 0);
  if (description.params != nullptr && description.format != nullptr) {
    for (const ParamSpec& p : description.params(t)) {
      // An entry that does not fit the table is left to the field comparison.
      if (p.table != t || p.size == 0 || p.offset + static_cast<size_t>(p.size) > bytes) continue;
      if (p.type == ParamType::kBit) {
        covered[p.offset] |= static_cast<uint8_t>(1u << (p.bit & 7));
      } else {
        std::fill(covered.begin() + p.offset, covered.begin() + p.offset + p.size, 0xFF);
      }
      if (ParamDiffers(l, r, p)) {
        found.push_back(
            {p.offset, {t, p.name, description.format(l, p), description.format(r, p)}});
      }
    }
  }
  for (int f = 0; f < d.field_count; ++f) {
    const size_t start = static_cast<size_t>(f) * d.field_size;
    bool differs = false;
    for (size_t i = start; i < start + d.field_size && !differs; ++i) {
      differs = ((l[i] ^ r[i]) & ~covered[i]) != 0;
    }
    if (differs) {
      found.push_back({start,
                       {t, Format("field%d", f), FieldText(l + start, d.field_size),
                        FieldText(r + start, d.field_size)}});
    }
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Found& a, const Found& b) { return a.offset < b.offset; });
  for (Found& f : found) out.push_back(std::move(f.difference));
}

}  // namespace

std::vector<ConfigDifference> CompareConfigurations(const ConfigFileRecord& left,
                                                    const ConfigFileRecord& right,
                                                    const ParamDescription& description) {
  std::vector<ConfigDifference> out;
  for (int t : kComparedTables) {
    if (t == kUsersTable) {
      CompareUsers(left.Table(t), right.Table(t), out);
    } else {
      CompareTable(t, left.Table(t), right.Table(t), description, out);
    }
  }
  return out;
}

}  // namespace kvarta
