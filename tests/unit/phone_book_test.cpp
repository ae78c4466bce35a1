#include "connection/phone_book.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "connection/ini_file.h"
#include "platform/cp1251.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

namespace fs = std::filesystem;

using test::TempDir;

PhoneBook BookOf(const std::vector<std::pair<std::string, std::string>>& entries) {
  PhoneBook book;
  for (const auto& [name, phone] : entries) {
    const uint8_t number = static_cast<uint8_t>(book.users_num + 1);
    book.slots[book.users_num] = {name, number, 1, phone};
    ++book.users_num;
  }
  return book;
}

std::vector<std::string> Names(const PhoneBook& book) {
  std::vector<std::string> names;
  for (int i = 0; i < book.users_num; ++i) names.push_back(book.slots[i].name);
  return names;
}

TEST(PhoneBook, LoadsCp1251AndCutsLongTexts) {
  TempDir dir;
  const std::string path = dir.File("abonents.ini");
  const std::string long_name(60, 'N');
  std::ofstream(path, std::ios::binary) << Utf8ToCp1251(
      "[fon_conn_par]\r\nUSERS_NUM=2\r\nuser_index=1\r\nsort_prz=1\r\n"
      "[FON_ABONENT_1]\r\nuser_name=ГРС «Северная»\r\ncontr_adr=300\r\n"
      "phone_code=8 (812) 555-12-34 доб. 1234567890\r\n"
      "[FON_ABONENT_2]\r\nuser_name=" +
      long_name + "\r\n");
  const PhoneBook book = LoadPhoneBook(path);
  EXPECT_EQ(book.users_num, 2);
  EXPECT_EQ(book.user_index, 1);
  EXPECT_EQ(book.sort_prz, 1);
  EXPECT_EQ(book.slots[0].name, "ГРС «Северная»");
  EXPECT_EQ(book.slots[0].contr_adr, 44);
  EXPECT_EQ(book.slots[0].adr_modbus, 1);
  EXPECT_EQ(book.slots[0].phone_code, "8 (812) 555-12-34 доб. 123456");  // 29 characters
  EXPECT_EQ(book.slots[1].name, std::string(49, 'N'));
  EXPECT_EQ(book.slots[199].contr_adr, 1);
  EXPECT_EQ(book.slots[199].name, "");
}

TEST(PhoneBook, ImpossibleCountsFromTheFileAreKeptInBounds) {
  TempDir dir;
  const std::string path = dir.File("abonents.ini");
  std::ofstream(path) << "[FON_CONN_PAR]\nusers_num=250\nuser_index=230\n";
  const PhoneBook book = LoadPhoneBook(path);
  EXPECT_EQ(book.users_num, kMaxSubscribers);
  EXPECT_EQ(book.user_index, 0);
}

TEST(PhoneBook, SavesAllSlotsAndReadsThemBack) {
  TempDir dir;
  const std::string path = dir.File("abonents.ini");
  PhoneBook book = BookOf({{"Узел 100%", "123"}, {"  пробелы", "%d%s"}});
  book.slots[150] = {"остаток", 3, 4, "9"};  // beyond the entries: kept as it is
  ASSERT_TRUE(SavePhoneBook(path, book));
  const IniFile ini(path);
  EXPECT_EQ(ini.ReadString("FON_ABONENT_200", "user_name", "x"), "");
  EXPECT_EQ(ini.ReadInteger("FON_ABONENT_151", "adr_modbus", 0), 4);
  const PhoneBook again = LoadPhoneBook(path);
  EXPECT_EQ(again.slots[0].name, "Узел 100%");
  EXPECT_EQ(again.slots[1].phone_code, "%d%s");
  EXPECT_EQ(again.slots[150], book.slots[150]);
  // Blanks around a value survive: it is written inside quotes.
  EXPECT_EQ(again.slots[1].name, "  пробелы");
}

TEST(SortPhoneBook, IgnoresCaseCyrillicIncludedAndPutsLatinFirst) {
  PhoneBook book = BookOf({{"Бета", "3"},
                           {"альфа", "2"},
                           {"Гамма", "1"},
                           {"АЛЬФА-2", "5"},
                           {"zeta", "4"},
                           {"Alpha", "6"},
                           {"ёж", "7"},
                           {"Ель", "8"}});
  book.user_index = 2;  // Гамма
  SortPhoneBook(book, 0);
  // Ё is byte 0xA8 in code page 1251, below А (0xC0).
  EXPECT_EQ(Names(book), (std::vector<std::string>{"Alpha", "zeta", "ёж", "альфа", "АЛЬФА-2",
                                                   "Бета", "Гамма", "Ель"}));
  EXPECT_EQ(book.user_index, 6);
  EXPECT_EQ(book.slots[6].contr_adr, 3);  // the whole entry moved with its name

  SortPhoneBook(book, 1);
  EXPECT_EQ(book.slots[0].phone_code, "1");
  EXPECT_EQ(book.slots[7].phone_code, "8");
  EXPECT_EQ(book.slots[book.user_index].name, "Гамма");
}

TEST(SortPhoneBook, EqualNamesKeepOrderAndSelectionMovesToTheLaterOne) {
  PhoneBook book = BookOf({{"Склад", "1"}, {"База", "2"}, {"склад", "3"}, {"Склад", "4"}});
  book.user_index = 0;  // the first "Склад"
  SortPhoneBook(book, 0);
  EXPECT_EQ(Names(book), (std::vector<std::string>{"База", "Склад", "склад", "Склад"}));
  EXPECT_EQ(book.slots[1].phone_code, "1");
  EXPECT_EQ(book.slots[3].phone_code, "4");
  EXPECT_EQ(book.user_index, 3);

  // An unknown mode leaves the order alone and only re-finds the selection.
  PhoneBook other = BookOf({{"Б", "1"}, {"А", "2"}, {"Б", "3"}});
  other.user_index = 0;
  SortPhoneBook(other, 7);
  EXPECT_EQ(Names(other), (std::vector<std::string>{"Б", "А", "Б"}));
  EXPECT_EQ(other.user_index, 2);
}

TEST(SubscriberKeyLess, ComparesUnsignedBytesAfterUpperCasing) {
  EXPECT_TRUE(SubscriberKeyLess("abc", "ABD"));
  EXPECT_FALSE(SubscriberKeyLess("ABC", "abc"));
  EXPECT_FALSE(SubscriberKeyLess("abc", "ABC"));
  EXPECT_TRUE(SubscriberKeyLess("z", "а"));  // Latin before Cyrillic
  EXPECT_TRUE(SubscriberKeyLess("", "a"));
  EXPECT_TRUE(SubscriberKeyLess("я", "яя"));
}

}  // namespace
}  // namespace kvarta
