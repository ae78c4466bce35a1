// The dial-up subscribers ("Абонент"): 200 slots of which the first
// users_num are entries, kept in abonents.ini.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kvarta {

inline constexpr int kMaxSubscribers = 200;
inline constexpr size_t kSubscriberNameMax = 49;   // characters
inline constexpr size_t kSubscriberPhoneMax = 29;  // characters

struct Subscriber {
  std::string name;  // UTF-8, at most kSubscriberNameMax characters
  uint8_t contr_adr = 1;
  uint8_t adr_modbus = 1;
  std::string phone_code;  // UTF-8, at most kSubscriberPhoneMax characters

  bool operator==(const Subscriber&) const = default;
};

struct PhoneBook {
  uint8_t users_num = 0;   // entries in slots[0 .. users_num-1]
  uint8_t user_index = 0;  // the selected entry
  uint8_t sort_prz = 0;    // 0 by name, 1 by phone number
  std::array<Subscriber, kMaxSubscribers> slots{};

  bool operator==(const PhoneBook&) const = default;
  // The selected entry, or null when the book is empty.
  const Subscriber* Selected() const;
};

// The first max_chars characters of a UTF-8 text (each character is one
// byte in code page 1251, where the limits are counted).
std::string CutChars(std::string_view utf8, size_t max_chars);

// Missing file or keys give the defaults; texts are cut to their limits.
PhoneBook LoadPhoneBook(const std::string& path);
// Writes the three counters and all 200 slot sections; false when the file
// could not be written.
bool SavePhoneBook(const std::string& path, const PhoneBook& book);

// Sorts the entries by name (mode 0) or phone number (mode 1), letter case
// ignored under code page 1251, equal keys keeping their order; the
// selection follows the selected entry's name. Other modes only re-find the
// selection.
void SortPhoneBook(PhoneBook& book, int mode);

// The case-insensitive order of SortPhoneBook: true when a sorts before b.
bool SubscriberKeyLess(std::string_view a_utf8, std::string_view b_utf8);

}  // namespace kvarta
