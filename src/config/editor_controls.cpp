#include "config/editor_controls.h"

#include <limits>

#include "link/message_window.h"

namespace kvarta {

int ComboControl::Find(std::string_view text) const {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<int>(i);
  }
  return -1;
}

void EditControl::SetText(std::string_view utf8) {
  text = max_chars == 0 ? std::string(utf8) : CutUtf8(utf8, max_chars);
}

std::string CutUtf8(std::string_view utf8, size_t max_chars) {
  size_t chars = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
      if (chars == max_chars) return std::string(utf8.substr(0, i));
      ++chars;
    }
  }
  return std::string(utf8);
}

size_t Utf8Chars(std::string_view utf8) {
  size_t chars = 0;
  for (char c : utf8) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return chars;
}

std::optional<int64_t> BoxNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return value;
}

std::vector<std::string> NumberItems(int first, int last) {
  std::vector<std::string> items;
  for (int v = first; v <= last; ++v) items.push_back(std::to_string(v));
  return items;
}

void ShowInputError(Host& host, const std::string& line1, const std::string& line2) {
  ShowMessageWindow(host, kMessageInputError, line1, line2);
}

}  // namespace kvarta
