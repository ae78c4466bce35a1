#include "platform/file_names.h"

#include <algorithm>
#include <cstdint>

namespace kvarta {
namespace {

constexpr char kReplacement = '_';

bool Forbidden(char c) {
  switch (c) {
    case '/':
    case '\\':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
      return true;
    default:
      return false;
  }
}

// Length of the well-formed UTF-8 sequence at s[i] and its code point; 0 when
// the bytes there are not one.
size_t SequenceAt(std::string_view s, size_t i, uint32_t& cp) {
  const auto b = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
  const uint8_t lead = b(i);
  size_t len = 0;
  uint32_t min = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    len = 2, cp = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    len = 3, cp = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    len = 4, cp = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

std::string CleanFileNamePart(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += (c < 0x20 || c == 0x7F || Forbidden(static_cast<char>(c))) ? kReplacement
                                                                        : static_cast<char>(c);
      ++i;
      continue;
    }
    uint32_t cp = 0;
    const size_t len = SequenceAt(utf8, i, cp);
    if (len == 0) {
      out += kReplacement;
      ++i;
    } else {
      if (cp >= 0x80 && cp <= 0x9F) {
        out += kReplacement;
      } else {
        out.append(utf8.substr(i, len));
      }
      i += len;
    }
  }
  if (!out.empty() && std::all_of(out.begin(), out.end(), [](char c) { return c == '.'; })) {
    std::fill(out.begin(), out.end(), kReplacement);
  }
  return out;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kvarta
