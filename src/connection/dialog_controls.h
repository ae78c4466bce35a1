// The state of the controls the dialog models hold; the desktop program
// draws them, the tests read them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kvarta {

// A drop-down or list box: its entries and the chosen one (-1 = none).
struct ChoiceList {
  std::vector<std::string> items;
  int index = -1;
  bool enabled = true;

  bool HasSelection() const { return index >= 0 && index < static_cast<int>(items.size()); }
  // Chooses index, or nothing when it is outside the entries.
  void Select(int i) { index = i >= 0 && i < static_cast<int>(items.size()) ? i : -1; }
  std::string Text() const { return HasSelection() ? items[static_cast<size_t>(index)] : ""; }
};

// A one-line edit. max_chars 0 means no limit; longer input is cut.
struct EditBox {
  EditBox() = default;
  explicit EditBox(size_t max) : max_chars(max) {}

  std::string text;  // UTF-8
  size_t max_chars = 0;
  bool enabled = true;

  void SetText(const std::string& utf8);
};

}  // namespace kvarta
