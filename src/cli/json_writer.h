// A small writer of one JSON document for the tool's --json output: objects,
// arrays, strings (UTF-8, escaped), integers and booleans.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvarta::cli {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  // The key of the next value inside an object.
  JsonWriter& Key(std::string_view key);
  JsonWriter& String(std::string_view text);
  JsonWriter& Number(int64_t value);
  JsonWriter& Bool(bool value);

  const std::string& Text() const { return out_; }

 private:
  void BeforeValue();
  void WriteString(std::string_view text);

  std::string out_;
  // One entry per open object or array: whether it has a member yet.
  std::vector<bool> has_member_;
  bool after_key_ = false;
};

}  // namespace kvarta::cli
