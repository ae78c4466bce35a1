// The tool's JSON output: nesting, separators and string escaping.
#include "cli/json_writer.h"

#include <gtest/gtest.h>

namespace kvarta::cli {
namespace {

TEST(JsonWriterTest, NestsObjectsAndArraysWithCommasOnlyBetweenMembers) {
  JsonWriter j;
  j.BeginObject().Field("a", 1).Key("list").BeginArray();
  j.Number(-5).String("x").BeginObject().Field("ok", true).EndObject().Null();
  j.EndArray().Key("empty").BeginObject().EndObject().Key("none").BeginArray().EndArray();
  j.EndObject();
  EXPECT_EQ(j.Text(), R"({"a":1,"list":[-5,"x",{"ok":true},null],"empty":{},"none":[]})");
}

TEST(JsonWriterTest, EscapesWhatJsonCannotCarryAndKeepsUtf8) {
  EXPECT_EQ(JsonString("Котельная №1"), "\"Котельная №1\"");
  EXPECT_EQ(JsonString("a\"b\\c/"), R"("a\"b\\c/")");
  EXPECT_EQ(JsonString("\n\r\t\b\f"), R"("\n\r\t\b\f")");
  EXPECT_EQ(JsonString(std::string("\x01\x1f\x7f", 3)), R"("\u0001\u001f\u007f")");
  EXPECT_EQ(JsonString(std::string("a\0b", 3)), R"("a\u0000b")");
  // Bytes that are no UTF-8 (a stray code page 1251 letter, a cut sequence,
  // an overlong form, a surrogate) become U+FFFD, one for each byte.
  EXPECT_EQ(JsonString("\xCF"), "\"\xEF\xBF\xBD\"");
  EXPECT_EQ(JsonString("\xD0"), "\"\xEF\xBF\xBD\"");
  EXPECT_EQ(JsonString("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
  EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
  EXPECT_EQ(JsonString("\xF0\x9F\x98\x80"), "\"\xF0\x9F\x98\x80\"");
  JsonWriter keys;
  keys.BeginObject().Field("ключ\"", "значение").EndObject();
  EXPECT_EQ(keys.Text(), "{\"ключ\\\"\":\"значение\"}");
}

}  // namespace
}  // namespace kvarta::cli
