// Code page 1251 both ways. Every 1251 byte survives a trip through UTF-8.
// From UTF-8, every well formed character gives one byte, and a malformed
// sequence becomes '?' without producing or swallowing any plain ASCII
// character.
#include "fuzz_support.h"
#include "platform/cp1251.h"

using namespace kvarta;

namespace {

// Strict UTF-8: the code points, or false on any malformed sequence
// (overlong, surrogate, beyond U+10FFFF, truncated, stray continuation).
bool Decode(std::string_view s, std::vector<uint32_t>& out) {
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    int n = 0;
    uint32_t cp = 0, min = 0;
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      n = 1, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      n = 2, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      n = 3, cp = b & 0x07, min = 0x10000;
    } else {
      return false;
    }
    if (i + n >= s.size()) return false;
    for (int k = 1; k <= n; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    out.push_back(cp);
    i += n + 1;
  }
  return true;
}

std::string PlainAscii(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (static_cast<unsigned char>(c) < 0x80 && c != '?') out += c;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in = fuzz::AsText(data, size);

  FUZZ_CHECK(Utf8ToCp1251(Cp1251ToUtf8(in)) == in);

  const std::string cp = Utf8ToCp1251(in);
  FUZZ_CHECK(PlainAscii(cp) == PlainAscii(in));
  std::vector<uint32_t> points;
  if (Decode(in, points)) {
    FUZZ_CHECK(cp.size() == points.size());
    FUZZ_CHECK(Utf8Length(in) == points.size());
    // Each character is itself or, without a 1251 form, '?'.
    const std::string back = Cp1251ToUtf8(cp);
    std::vector<uint32_t> back_points;
    FUZZ_CHECK(Decode(back, back_points) && back_points.size() == points.size());
    for (size_t i = 0; i < points.size(); ++i) {
      FUZZ_CHECK(back_points[i] == points[i] || cp[i] == '?');
    }
  } else {
    FUZZ_CHECK(cp.find('?') != std::string::npos);
  }
  return 0;
}
