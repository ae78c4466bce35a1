#include "connection/phone_book.h"

#include <algorithm>
#include <vector>

#include "connection/ini_file.h"
#include "platform/cp1251.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr const char* kBookSection = "FON_CONN_PAR";

std::string UpperKey(std::string_view utf8) {
  std::string key = Utf8ToCp1251(utf8);
  for (char& c : key) c = static_cast<char>(Cp1251ToUpper(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace

const Subscriber* PhoneBook::Selected() const {
  if (users_num == 0 || user_index >= users_num || user_index >= kMaxSubscribers) return nullptr;
  return &slots[user_index];
}

std::string CutChars(std::string_view utf8, size_t max_chars) {
  size_t chars = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) {
      if (chars == max_chars) return std::string(utf8.substr(0, i));
      ++chars;
    }
  }
  return std::string(utf8);
}

PhoneBook LoadPhoneBook(const std::string& path) {
  const IniFile ini(path);
  PhoneBook book;
  book.users_num = static_cast<uint8_t>(ini.ReadInteger(kBookSection, "users_num", 0));
  book.user_index = static_cast<uint8_t>(ini.ReadInteger(kBookSection, "user_index", 0));
  book.sort_prz = static_cast<uint8_t>(ini.ReadInteger(kBookSection, "sort_prz", 0));
  for (int i = 0; i < kMaxSubscribers; ++i) {
    const std::string section = Format("FON_ABONENT_%d", i + 1);
    Subscriber& s = book.slots[static_cast<size_t>(i)];
    s.name = CutChars(ini.ReadString(section, "user_name", ""), kSubscriberNameMax);
    s.contr_adr = static_cast<uint8_t>(ini.ReadInteger(section, "contr_adr", 1));
    s.adr_modbus = static_cast<uint8_t>(ini.ReadInteger(section, "adr_modbus", 1));
    s.phone_code = CutChars(ini.ReadString(section, "phone_code", ""), kSubscriberPhoneMax);
  }
  // A count beyond the 200 slots, or a selection beyond the entries, would
  // make every user of the book index past its entries.
  if (book.users_num > kMaxSubscribers) book.users_num = kMaxSubscribers;
  if (book.user_index >= book.users_num) book.user_index = 0;
  return book;
}

bool SavePhoneBook(const std::string& path, const PhoneBook& book) {
  IniFile ini(path);
  ini.WriteInteger(kBookSection, "users_num", book.users_num);
  ini.WriteInteger(kBookSection, "user_index", book.user_index);
  ini.WriteInteger(kBookSection, "sort_prz", book.sort_prz);
  for (int i = 0; i < kMaxSubscribers; ++i) {
    const std::string section = Format("FON_ABONENT_%d", i + 1);
    const Subscriber& s = book.slots[static_cast<size_t>(i)];
    ini.WriteString(section, "user_name", s.name);
    ini.WriteInteger(section, "contr_adr", s.contr_adr);
    ini.WriteInteger(section, "adr_modbus", s.adr_modbus);
    ini.WriteString(section, "phone_code", s.phone_code);
  }
  return ini.Save();
}

bool SubscriberKeyLess(std::string_view a_utf8, std::string_view b_utf8) {
  const std::string a = UpperKey(a_utf8);
  const std::string b = UpperKey(b_utf8);
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

void SortPhoneBook(PhoneBook& book, int mode) {
  const int count = std::min<int>(book.users_num, kMaxSubscribers);
  const std::string remembered =
      book.user_index < kMaxSubscribers ? book.slots[book.user_index].name : std::string();

  if (mode == 0 || mode == 1) {
    struct Keyed {
      std::string key;  // upper-cased code page 1251
      Subscriber entry;
    };
    std::vector<Keyed> entries;
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      const Subscriber& s = book.slots[static_cast<size_t>(i)];
      entries.push_back({UpperKey(mode == 0 ? s.name : s.phone_code), s});
    }
    // A stable sort places every entry exactly where the first free
    // position of its key would: equal keys keep their relative order.
    std::stable_sort(entries.begin(), entries.end(), [](const Keyed& a, const Keyed& b) {
      return std::lexicographical_compare(
          a.key.begin(), a.key.end(), b.key.begin(), b.key.end(), [](char x, char y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
          });
    });
    for (int i = 0; i < count; ++i) {
      book.slots[static_cast<size_t>(i)] = std::move(entries[static_cast<size_t>(i)].entry);
    }
  }

  for (int i = 0; i < count; ++i) {
    if (book.slots[static_cast<size_t>(i)].name == remembered) {
      book.user_index = static_cast<uint8_t>(i);
    }
  }
}

}  // namespace kvarta
