// A lone CR inside an INI file ends its line: the value before it reads
// without it, so a save and load gives the same value (found by the
// phone book fuzz target: the CR became a blank inside the phone number).
#include <gtest/gtest.h>

#include <fstream>

#include "connection/ini_file.h"
#include "connection/phone_book.h"
#include "support/temp_dir.h"

namespace kvarta {
namespace {

TEST(IniLoneCr, EndsTheLineAndSurvivesASave) {
  test::TempDir dir;
  const std::string path = dir.File("abonents.ini");
  const std::string bytes =
      "[FON_CONN_PAR]\r\nusers_num=1\r\n\r\n[FON_ABONENT_1]\r\nuser_name=a\r\n"
      "phone_code=12-63\r-45\r\ncontr_adr=3\r\n";
  std::ofstream(path, std::ios::binary) << bytes;

  IniFile ini(path);
  EXPECT_EQ(ini.Bytes(), bytes);  // untouched lines stay byte for byte
  EXPECT_EQ(ini.ReadString("FON_ABONENT_1", "phone_code", ""), "12-63");
  EXPECT_EQ(ini.ReadInteger("FON_ABONENT_1", "contr_adr", 0), 3);

  const PhoneBook book = LoadPhoneBook(path);
  ASSERT_TRUE(SavePhoneBook(path, book));
  EXPECT_EQ(LoadPhoneBook(path), book);
  EXPECT_EQ(book.slots[0].phone_code, "12-63");
}

}  // namespace
}  // namespace kvarta
