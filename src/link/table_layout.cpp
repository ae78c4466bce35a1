#include "link/table_layout.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>

#include "link/table_layout_build.h"
#include "platform/baud_rates.h"
#include "platform/cp1251.h"
#include "platform/text_format.h"

namespace kvarta {
namespace layout_build {

TableBuilder::TableBuilder(int table, std::vector<ParamSpec>& out)
    : table_(table), field_size_(TableCatalogue(table).field_size), out_(out) {}

ParamSpec& TableBuilder::Add(std::string name, int offset, int size, ParamType type,
                             std::string title) {
  ParamSpec& p = out_.emplace_back();
  p.name = std::move(name);
  p.table = static_cast<uint8_t>(table_);
  p.field = static_cast<uint8_t>(field_size_ > 0 ? offset / field_size_ : 0);
  p.offset = static_cast<uint16_t>(offset);
  p.size = static_cast<uint16_t>(size);
  p.type = type;
  p.title = std::move(title);
  return p;
}

ParamSpec& TableBuilder::Number(std::string name, int offset, int size, int64_t min, int64_t max,
                                std::string unit, std::string title) {
  ParamSpec& p = Add(std::move(name), offset, size, ParamType::kUnsigned, std::move(title));
  p.min = min;
  p.max = max;
  p.unit = std::move(unit);
  return p;
}

ParamSpec& TableBuilder::Bit(std::string name, int offset, int bit, std::string title) {
  ParamSpec& p = Add(std::move(name), offset, 1, ParamType::kBit, std::move(title));
  p.bit = static_cast<uint8_t>(bit);
  p.max = 1;
  return p;
}

ParamSpec& TableBuilder::Text(std::string name, int offset, int size, int max, std::string title) {
  ParamSpec& p = Add(std::move(name), offset, size, ParamType::kText, std::move(title));
  p.max = max;
  return p;
}

ParamSpec& TableBuilder::PaddedText(std::string name, int offset, int size, std::string title) {
  ParamSpec& p = Add(std::move(name), offset, size, ParamType::kPaddedText, std::move(title));
  p.max = size;
  return p;
}

ParamSpec& TableBuilder::DateTime(std::string name, int offset, std::string title) {
  return Add(std::move(name), offset, 6, ParamType::kShortDateTime, std::move(title));
}

ParamSpec& TableBuilder::RateIndex(std::string name, int offset, std::string title) {
  ParamSpec& p = Add(std::move(name), offset, 1, ParamType::kRateIndex, std::move(title));
  p.max = static_cast<int64_t>(BaudRateTable.size()) - 1;
  p.unit = "bit/s";
  return p;
}

}  // namespace layout_build

namespace {

using layout_build::Description;

const Description& Registry() {
  static const Description description = [] {
    Description d;
    layout_build::DescribeSettingsAndData(d);
    layout_build::DescribeDiagnostics(d);
    for (std::vector<ParamSpec>& table : d) {
      std::stable_sort(table.begin(), table.end(), [](const ParamSpec& a, const ParamSpec& b) {
        return a.offset != b.offset ? a.offset < b.offset : a.bit < b.bit;
      });
    }
    return d;
  }();
  return description;
}

bool IsNumber(ParamType t) {
  return t == ParamType::kUnsigned || t == ParamType::kSigned || t == ParamType::kBit ||
         t == ParamType::kRateIndex;
}

// Bytes of a number: at most eight, however large the parameter claims to be.
size_t NumberBytes(const ParamSpec& p) {
  return std::min<size_t>(p.size, 8);
}

// The stored code page 1251 bytes of a text, without terminator or padding.
std::string_view StoredText(const uint8_t* table, const ParamSpec& p) {
  const char* begin = reinterpret_cast<const char*>(table + p.offset);
  size_t n = strnlen(begin, p.size);
  if (p.type == ParamType::kPaddedText) {
    while (n > 0 && begin[n - 1] == ' ') --n;
  }
  return {begin, n};
}

bool IsText(ParamType t) {
  return t == ParamType::kText || t == ParamType::kPaddedText;
}

std::string Hex(const uint8_t* bytes, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    if (i) out += ' ';
    out += Format("%02X", bytes[i]);
  }
  return out;
}

bool ValidMoment(const ShortDateTime& t) {
  if (!t.HasValue()) return true;
  return t.month <= 12 && t.day >= 1 && t.day <= DaysInMonth(t.month, t.year) && t.hour < 24 &&
         t.minute < 60 && t.second < 60;
}

constexpr std::array<TimeoutRange, layout::t20::kFieldCount> kSc3000Timeouts = {{
    {15, 180, "AT команда +CIICR"},
    {15, 360, "AT команда +CIPSTART"},
    {10, 60, "AT команда +CIPSERVER"},
    {10, 300, "AT команда +CIPCLOSE"},
    {10, 120, "Макс. допускаемая длительность ожидания запросов от ВУ по телефону"},
    {1, 40, "Максимальная допускаемая длительность занятия модема для передачи отчета"},
    {15, 90, "AT команда запроса состояния счета SIM-карты модема"},
}};

constexpr std::array<TimeoutRange, layout::t20::kFieldCount> kMc55itTimeouts = {{
    {10, 360, "AT команда ^SISO"},
    {10, 60, "AT команда ^SISC"},
    {10, 60, "AT команда ^SISW"},
    {10, 360, "AT команда ^SISR"},
    {10, 120, "Макс. допускаемая длительность ожидания запросов от ВУ по телефону"},
    {1, 40, "Максимальная допускаемая длительность занятия модема для передачи отчета"},
    {15, 90, "AT команда запроса состояния счета SIM-карты модема"},
}};

}  // namespace

std::span<const ParamSpec> TableParams(int t) {
  if (t < 0 || t >= kTableCount) return {};
  return Registry()[static_cast<size_t>(t)];
}

const ParamSpec* FindParam(int t, std::string_view name) {
  for (const ParamSpec& p : TableParams(t)) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

const ParamSpec& Param(int t, std::string_view name) {
  static const ParamSpec kNoParam = [] {
    ParamSpec p;
    p.size = 0;
    return p;
  }();
  const ParamSpec* p = FindParam(t, name);
  assert(p != nullptr && "parameter missing from the table description");
  return p != nullptr ? *p : kNoParam;
}

int64_t GetNumber(const uint8_t* table, const ParamSpec& p) {
  if (!IsNumber(p.type) || p.size == 0) return 0;
  const uint8_t* b = table + p.offset;
  if (p.type == ParamType::kBit) return (b[0] >> p.bit) & 1;
  const size_t n = NumberBytes(p);
  uint64_t v = 0;
  for (size_t i = 0; i < n; ++i) v |= static_cast<uint64_t>(b[i]) << (8 * i);
  if (p.type == ParamType::kSigned && n < 8 && (v >> (8 * n - 1)) & 1) v |= ~uint64_t{0} << (8 * n);
  return static_cast<int64_t>(v);
}

void SetNumber(uint8_t* table, const ParamSpec& p, int64_t value) {
  if (!IsNumber(p.type) || p.size == 0) return;
  uint8_t* b = table + p.offset;
  if (p.type == ParamType::kBit) {
    const uint8_t mask = static_cast<uint8_t>(1u << p.bit);
    b[0] = static_cast<uint8_t>(value != 0 ? b[0] | mask : b[0] & ~mask);
    return;
  }
  const uint64_t v = static_cast<uint64_t>(value);
  for (size_t i = 0; i < NumberBytes(p); ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
}

std::string GetText(const uint8_t* table, const ParamSpec& p) {
  if (!IsText(p.type)) return {};
  return Cp1251ToUtf8(StoredText(table, p));
}

void SetText(uint8_t* table, const ParamSpec& p, std::string_view utf8) {
  if (!IsText(p.type) || p.size == 0) return;
  uint8_t* b = table + p.offset;
  const std::string cp = Utf8ToCp1251(utf8);
  const bool padded = p.type == ParamType::kPaddedText;
  const size_t room = padded ? p.size : p.size - 1u;
  std::memset(b, padded ? ' ' : 0, p.size);
  std::memcpy(b, cp.data(), std::min(room, cp.size()));
}

ShortDateTime GetDateTime(const uint8_t* table, const ParamSpec& p) {
  if (p.type != ParamType::kShortDateTime || p.size < 6) return {};
  return ShortDateTime::FromBytes(table + p.offset);
}

void SetDateTime(uint8_t* table, const ParamSpec& p, const ShortDateTime& value) {
  if (p.type != ParamType::kShortDateTime || p.size < 6) return;
  value.ToBytes(table + p.offset);
}

std::string FormatParam(const uint8_t* table, const ParamSpec& p) {
  switch (p.type) {
    case ParamType::kUnsigned:
    case ParamType::kSigned:
    case ParamType::kBit:
      return std::to_string(GetNumber(table, p));
    case ParamType::kRateIndex: {
      const int64_t index = GetNumber(table, p);
      const uint32_t rate = RateAt(static_cast<int>(index));
      return rate != 0 ? std::to_string(rate) : "? (" + std::to_string(index) + ")";
    }
    case ParamType::kText:
    case ParamType::kPaddedText:
      return GetText(table, p);
    case ParamType::kShortDateTime: {
      if (p.size < 6) return {};
      const ShortDateTime t = GetDateTime(table, p);
      return Format("%02u.%02u.%02u %02u:%02u:%02u", t.day, t.month, t.year, t.hour, t.minute,
                    t.second);
    }
    case ParamType::kBytes:
      return Hex(table + p.offset, p.size);
  }
  return {};
}

bool ParamInRange(const uint8_t* table, const ParamSpec& p) {
  if (IsNumber(p.type)) {
    const int64_t v = GetNumber(table, p);
    if (v < p.min || v > p.max) return false;
    return p.values.empty() || std::find(p.values.begin(), p.values.end(), v) != p.values.end();
  }
  if (IsText(p.type)) {
    // Code page 1251 holds one character per byte.
    const auto n = static_cast<int64_t>(StoredText(table, p).size());
    return n >= p.min && n <= p.max;
  }
  if (p.type == ParamType::kShortDateTime) return p.size >= 6 && ValidMoment(GetDateTime(table, p));
  return true;
}

std::span<const TimeoutRange> TimeoutRanges(uint8_t modem_code) {
  switch (modem_code) {
    case layout::t0::kModemSc3000:
      return kSc3000Timeouts;
    case layout::t0::kModemMc55it:
      return kMc55itTimeouts;
    default:
      return {};
  }
}

}  // namespace kvarta
