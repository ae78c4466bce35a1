#include "config/config_listing.h"

#include "config/user_list.h"
#include "link/frame_decoder.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr int kUsersTable = 4;
constexpr int kTimeoutsTable = 20;

std::string RangeText(const ParamSpec& p, int64_t min, int64_t max) {
  if (IsTextParam(p.type)) return Format("не более %lld символов", static_cast<long long>(max));
  if (!p.values.empty()) {
    std::string list;
    for (int64_t v : p.values) {
      list += Format(list.empty() ? "%lld" : ", %lld", static_cast<long long>(v));
    }
    return "допустимо: " + list;
  }
  return Format("%lld..%lld", static_cast<long long>(min), static_cast<long long>(max));
}

}  // namespace

bool IsNumericParam(ParamType type) {
  return type == ParamType::kUnsigned || type == ParamType::kSigned || type == ParamType::kBit;
}

bool IsTextParam(ParamType type) {
  return type == ParamType::kText || type == ParamType::kPaddedText;
}

std::vector<ListedParam> ListConfigParams(const ConfigFileRecord& record, int t) {
  const uint8_t* bytes = t == 0 ? record.Identification() : record.Table(t);
  const bool from_controller = record.bytes[ConfigFileRecord::kOriginOffset] == 1;
  const auto timeouts = TimeoutRanges(record.bytes[ConfigFileRecord::kModemOffset]);
  std::vector<ListedParam> listed;
  size_t timeout_index = 0;
  for (const ParamSpec& p : TableParams(t)) {
    if (t == 0 && !from_controller && p.field != layout::t0::kControllerType &&
        p.field != layout::t0::kSoftwareVersion && p.field != layout::t0::kModemType) {
      continue;  // a configuration made in the program knows only these
    }
    ListedParam lp{&p,    FormatParam(bytes, p),  ParamInRange(bytes, p), "", p.min,
                   p.max, IsCredentialParam(t, p)};
    if (t == kTimeoutsTable && timeout_index < timeouts.size()) {
      // The ranges of the modem the configuration is for.
      const TimeoutRange& r = timeouts[timeout_index++];
      const int64_t v = GetNumber(bytes, p);
      lp.min = r.min;
      lp.max = r.max;
      lp.in_range = v >= r.min && v <= r.max;
    }
    if (t == kUsersTable && p.name.ends_with(".level")) {
      const int64_t level = GetNumber(bytes, p);
      if (level >= 0 && level < kLevelCount) lp.value += " (" + AccessLevelNames()[level] + ")";
    }
    if (!lp.in_range) lp.range = RangeText(p, lp.min, lp.max);
    listed.push_back(std::move(lp));
  }
  return listed;
}

std::string ListedParamLine(const ListedParam& lp, bool mask_credentials) {
  const ParamSpec& p = *lp.spec;
  if (lp.credential && mask_credentials) return p.name + " = ***";
  std::string line = p.name + " = ";
  line += IsTextParam(p.type) ? "\"" + lp.value + "\"" : lp.value;
  if (!p.unit.empty()) line += " " + p.unit;
  if (!lp.in_range) line += "  ! вне диапазона: " + lp.range;
  return line;
}

}  // namespace kvarta
