// The control state the parameter editors hold (drop-downs, edits) and what
// they share: the two modes of every editor and how a number box is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvarta {

// Device mode edits the image and is followed by a write ("Записать в
// устройство"); file mode edits a configuration file record ("Принять").
enum class EditorMode { kDevice, kFile };

inline const char* ConfirmCaption(EditorMode mode) {
  return mode == EditorMode::kDevice ? "Записать в устройство" : "Принять";
}

// A drop-down: its items and the chosen one (-1 = none).
struct ComboControl {
  std::vector<std::string> items;
  int index = -1;
  bool enabled = true;

  bool HasSelection() const { return index >= 0 && index < static_cast<int>(items.size()); }
  void Select(int i) { index = i >= 0 && i < static_cast<int>(items.size()) ? i : -1; }
  std::string Text() const { return HasSelection() ? items[static_cast<size_t>(index)] : ""; }
  // The index of the item reading text, or -1.
  int Find(std::string_view text) const;
};

// A one-line edit; longer input is cut to max_chars characters (0 = no limit).
struct EditControl {
  EditControl() = default;
  explicit EditControl(size_t max) : max_chars(max) {}

  std::string text;  // UTF-8
  size_t max_chars = 0;
  bool enabled = true;

  void SetText(std::string_view utf8);
  bool Empty() const { return text.empty(); }
};

// At most max_chars characters of a UTF-8 text.
std::string CutUtf8(std::string_view utf8, size_t max_chars);
// Number of characters of a UTF-8 text.
size_t Utf8Chars(std::string_view utf8);

// The value of a number box: decimal digits, blanks around them allowed;
// nothing for any other text (which no range admits).
std::optional<int64_t> BoxNumber(std::string_view text);

// Items "first".."last" in steps of one.
std::vector<std::string> NumberItems(int first, int last);

// Input errors of the editors: the input-error caption; the window stays open.
class Host;
void ShowInputError(Host& host, const std::string& line1, const std::string& line2 = "");

inline constexpr const char* kNotAllParameters = "Введены не все параметры";
inline constexpr const char* kEnterValues = "Вводите значения";
inline constexpr const char* kWithinRange = "согласно допустимому диапазону";

}  // namespace kvarta
