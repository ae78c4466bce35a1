#include "platform/port_map.h"

#include <fstream>

namespace kvarta {
namespace {

// COMPort is kept in one byte of the settings, so 1..255 are the ports there are.
constexpr int kMaxPort = 255;

std::string Trim(const std::string& s) {
  const char* blanks = " \t\r\n\v\f";
  const size_t first = s.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  const size_t last = s.find_last_not_of(blanks);
  return s.substr(first, last - first + 1);
}

std::string DefaultPath(int n) {
  return "/dev/ttyS" + std::to_string(n - 1);
}

}  // namespace

int ParseComName(const std::string& text) {
  if (text.size() < 4 || text.size() > 6) return 0;
  for (size_t i = 0; i < 3; ++i) {
    if ((text[i] | 0x20) != "com"[i]) return 0;
  }
  int n = 0;
  for (size_t i = 3; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    n = n * 10 + (text[i] - '0');
  }
  return n >= 1 && n <= kMaxPort ? n : 0;
}

std::string ComPortPath(int n, const std::string& ini_folder) {
  if (n < 1) return {};
  if (!ini_folder.empty()) {
    std::ifstream map(ini_folder + "/" + kPortMapFileName);
    std::string line;
    while (map && std::getline(map, line)) {
      const std::string entry = Trim(line);
      if (entry.empty() || entry[0] == '#' || entry[0] == ';') continue;
      const size_t eq = entry.find('=');
      if (eq == std::string::npos) continue;
      if (ParseComName(Trim(entry.substr(0, eq))) != n) continue;
      const std::string path = Trim(entry.substr(eq + 1));
      if (!path.empty()) return path;
    }
  }
  return DefaultPath(n);
}

}  // namespace kvarta
