// Code page 1251 <-> UTF-8. The program keeps text in UTF-8; the wire, the
// controller's tables and the settings files carry code page 1251 bytes.
#pragma once

#include <string>
#include <string_view>

namespace kvarta {

// Converts code page 1251 bytes to UTF-8. Every byte has a mapping (the one
// unassigned byte 0x98 maps to U+0098), so the trip back gives the same bytes.
std::string Cp1251ToUtf8(std::string_view cp1251);

// Converts UTF-8 to code page 1251. Characters without a 1251 form, and
// malformed UTF-8 sequences, become '?'.
std::string Utf8ToCp1251(std::string_view utf8);

// Upper case of one code page 1251 byte (Latin and Cyrillic letters).
unsigned char Cp1251ToUpper(unsigned char c);

// Number of characters of a UTF-8 text (code points).
size_t Utf8Length(std::string_view utf8);

}  // namespace kvarta
