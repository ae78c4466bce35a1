#include "platform/file_names.h"

#include <algorithm>
#include <string_view>

namespace kvarta {

std::string CleanFileNamePart(std::string_view utf8) {
  constexpr std::string_view kRefused = "/\\:*?\"<>|";
  std::string out(utf8);
  for (char& c : out) {
    const unsigned char u = static_cast<unsigned char>(c);
    // Bytes of multi-byte UTF-8 sequences are all >= 0x80 and stay as they are.
    if (u < 0x20 || u == 0x7F || kRefused.find(c) != std::string_view::npos) c = '_';
  }
  if (!out.empty() && std::all_of(out.begin(), out.end(), [](char c) { return c == '.'; })) {
    std::fill(out.begin(), out.end(), '_');
  }
  return out;
}

}  // namespace kvarta
