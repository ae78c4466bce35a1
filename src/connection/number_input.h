// The numeric edits of the parameter dialogs: which typed keys they take and
// how their text becomes a number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kvarta {

// The key-press filter of the numeric edits: digits, backspace (8) and the
// codes 37 and 39 pass; every other character is dropped.
bool NumberKeyAllowed(int code);

// A whole decimal number with an optional sign, blanks around it allowed;
// nothing for any other text. Values beyond the 64-bit range saturate (they
// are out of every dialog's range anyway).
std::optional<int64_t> ParseWholeNumber(std::string_view text);

}  // namespace kvarta
