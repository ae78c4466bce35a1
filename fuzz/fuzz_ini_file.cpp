// The INI file: what is loaded is saved back byte for byte; a written value
// reads back as written, after a save and load too, and the other keys keep
// their values. Input: file bytes, then NUL-separated section, key, value and
// another section and key to watch.
#include "connection/ini_file.h"
#include "fuzz_support.h"
#include "platform/cp1251.h"

using namespace kvarta;

namespace {

bool Blank(char c) {
  return c == ' ' || c == '\t';
}

std::string Trimmed(std::string s) {
  while (!s.empty() && Blank(s.front())) s.erase(s.begin());
  while (!s.empty() && Blank(s.back())) s.pop_back();
  return s;
}

// The name as the file compares it: code page 1251, trimmed, upper case.
std::string Name(const std::string& utf8) {
  std::string s = Trimmed(Utf8ToCp1251(utf8));
  for (char& c : s) c = static_cast<char>(Cp1251ToUpper(static_cast<unsigned char>(c)));
  return s;
}

// Text that survives code page 1251 and stays on one line.
bool Holdable(const std::string& s) {
  return Cp1251ToUtf8(Utf8ToCp1251(s)) == s && s.find_first_of("\r\n") == std::string::npos;
}

bool KeyName(const std::string& key) {
  const std::string t = Trimmed(key);
  return Holdable(key) && !t.empty() && t.find('=') == std::string::npos && t.front() != ';' &&
         t.front() != '#' && t.front() != '[';
}

bool SectionName(const std::string& section) {
  return Holdable(section) && section.find(']') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> parts = fuzz::Split(fuzz::AsText(data, size), '\0');
  const std::string path = fuzz::ScratchPath("a.ini");
  fuzz::WriteFile(path, parts[0]);
  IniFile ini;
  FUZZ_CHECK(ini.Load(path));
  FUZZ_CHECK(ini.Bytes() == parts[0]);
  if (parts.size() < 4) return 0;
  const std::string &section = parts[1], &key = parts[2], &value = parts[3];
  if (!SectionName(section) || !KeyName(key) || !Holdable(value)) return 0;

  const bool watch = parts.size() >= 6 && ini.KeyExists(parts[4], parts[5]) &&
                     !(Name(parts[4]) == Name(section) && Name(parts[5]) == Name(key));
  const std::string watched = watch ? ini.ReadString(parts[4], parts[5], "") : "";

  ini.WriteString(section, key, value);
  FUZZ_CHECK(ini.ReadString(section, key, "\x01") == value);
  const std::string saved = fuzz::ScratchPath("b.ini");
  FUZZ_CHECK(ini.SaveAs(saved));
  IniFile again(saved);
  FUZZ_CHECK(again.Bytes() == ini.Bytes());
  FUZZ_CHECK(again.ReadString(section, key, "\x01") == value);
  if (watch) FUZZ_CHECK(again.ReadString(parts[4], parts[5], "\x01") == watched);
  return 0;
}
