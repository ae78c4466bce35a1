// Input that used to be taken wrongly: malformed UTF-8, INI values that did
// not read back as written.
#include <gtest/gtest.h>

#include "connection/ini_file.h"
#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "support/temp_dir.h"

namespace kvarta::test {
namespace {

TEST(Utf8ToCp1251, MalformedSequencesBecomeOneQuestionMarkAndSwallowNothing) {
  EXPECT_EQ(Utf8ToCp1251("\xC0\x8A"), "?");      // an overlong line feed
  EXPECT_EQ(Utf8ToCp1251("a\xC0\x80z"), "a?z");  // an overlong NUL
  EXPECT_EQ(Utf8ToCp1251("\xE0\x80\xAF"), "?");  // overlong in three bytes
  EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "?");  // a surrogate
  EXPECT_EQ(Utf8ToCp1251("x\xE2"
                         "A"),
            "x?A");                            // cut short by an ASCII byte
  EXPECT_EQ(Utf8ToCp1251("x\xE2\x82"), "x?");  // cut short by the end
  EXPECT_EQ(Utf8ToCp1251("\xD0"
                         "A\xD0\xAF"),
            "?A\xDF");  // then a valid "Я"
  EXPECT_EQ(Utf8ToCp1251("Ёж"), "\xA8\xE6");
}

TEST(IniFile, TextValuesReadBackExactlyAsWritten) {
  TempDir dir;
  const std::string path = dir.File("t.ini");
  const std::string values[] = {"  leading", "trailing ", "\"quoted\"", "'single'",
                                "\"",        "plain",     "a \"b\" c",  ""};
  {
    IniFile ini(path);
    for (size_t i = 0; i < std::size(values); ++i) {
      ini.WriteString("S", "k" + std::to_string(i), values[i]);
    }
    ASSERT_TRUE(ini.Save());
  }
  const IniFile again(path);
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(again.ReadString("S", "k" + std::to_string(i), "?"), values[i]) << i;
  }
  // Values without anything to lose stay bare, as other programs write them.
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(path, bytes));
  EXPECT_NE(bytes.find("k5=plain\r\n"), std::string::npos) << bytes;
}

TEST(IniFile, ALoneCarriageReturnEndingTheFileEndsTheLine) {
  TempDir dir;
  const std::string path = dir.File("t.ini");
  ASSERT_TRUE(WriteFileAtomically(path, "[S]\r\nkey=value\r"));
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("S", "key", ""), "value");
  EXPECT_EQ(ini.Bytes(), "[S]\r\nkey=value\r");  // read and left byte for byte
  ini.WriteString("S", "other", "1");
  ASSERT_TRUE(ini.Save());
  const IniFile again(path);
  EXPECT_EQ(again.ReadString("S", "key", ""), "value");
  EXPECT_EQ(again.ReadString("S", "other", ""), "1");
}

}  // namespace
}  // namespace kvarta::test
