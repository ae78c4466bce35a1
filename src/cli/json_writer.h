// A small JSON writer for the tool's --json output: one object, keys in
// snake case, texts in UTF-8 with every character JSON needs escaped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvarta::cli {

// The text as a JSON string literal (with the quotes). Control characters
// are escaped; bytes that are not UTF-8 become U+FFFD, so the output is
// always valid JSON whatever a device or a file held.
std::string JsonString(std::string_view utf8);

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  // The key of the next value inside an object.
  JsonWriter& Key(std::string_view key);
  JsonWriter& String(std::string_view utf8);
  JsonWriter& Number(int64_t value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  // Key and value at once.
  JsonWriter& Field(std::string_view key, std::string_view utf8) { return Key(key).String(utf8); }
  JsonWriter& Field(std::string_view key, const char* utf8) { return Key(key).String(utf8); }
  JsonWriter& Field(std::string_view key, int64_t value) { return Key(key).Number(value); }
  JsonWriter& Field(std::string_view key, int value) { return Key(key).Number(value); }
  JsonWriter& Field(std::string_view key, bool value) { return Key(key).Bool(value); }

  // The document so far; complete once every object and array is closed.
  const std::string& Text() const { return out_; }

 private:
  void BeforeValue();

  std::string out_;
  // One entry per open object or array: true until its first member.
  std::vector<bool> first_;
  bool after_key_ = false;
};

}  // namespace kvarta::cli
