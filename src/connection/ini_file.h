// INI text files read and written with the semantics of the platform's
// profile calls: names matched without regard to letter case, a written key
// replaces its own line and every other line stays as it was. The file holds
// code page 1251; the interface speaks UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kvarta {

class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(const std::string& path) { Load(path); }

  // Reads the file. A file that cannot be read leaves the contents empty
  // (every read gives its default) and returns false.
  bool Load(const std::string& path);
  // Writes the contents back to the path it was loaded from, atomically.
  // False when the file could not be written (it is then unchanged), and
  // when it exists but could not be read: writing would lose its contents.
  bool Save() const;
  bool SaveAs(const std::string& path) const;

  const std::string& path() const { return path_; }
  bool modified() const { return modified_; }

  bool SectionExists(std::string_view section) const;
  bool KeyExists(std::string_view section, std::string_view key) const;

  // The value with surrounding blanks removed and one pair of matching
  // quotes taken off; def when the key is missing.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // Signed 32-bit decimal (optional sign) or hex ("0x..", "$.."); def when
  // the key is missing or its value is not such a number.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;

  // Line breaks in value are written as blanks: a value never spans lines.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);

  // The file's bytes as Save would write them.
  std::string Bytes() const;

 private:
  enum class LineType { kOther, kSection, kKey };
  struct Line {
    std::string text;  // code page 1251, without its line end
    std::string eol;   // "\r\n", "\n" or "" (last line without one)
    LineType type = LineType::kOther;
    std::string name;  // upper-cased section or key name
  };

  static Line Parse(std::string text, std::string eol);
  // Index of the section's header line, or -1.
  int FindSection(const std::string& upper_section) const;
  // Index of the key's line within the section starting at header, or -1.
  int FindKey(int header, const std::string& upper_key) const;
  int FindKeyLine(std::string_view section, std::string_view key) const;
  void AppendLine(std::string text);
  void EndLine(Line& line) const;

  std::string path_;
  std::vector<Line> lines_;
  std::string eol_ = "\r\n";  // the file's own line end style
  bool modified_ = false;
  bool unreadable_ = false;  // exists, but Load could not read it
  // The first header line of each section name, built at the first lookup:
  // a phone book's hundreds of sections would otherwise make every read and
  // write a scan of the whole file.
  mutable std::unordered_map<std::string, int> sections_;
  mutable bool indexed_ = false;
};

// Whole-number parsing shared by the profile reads.
bool ParseIniInteger(std::string_view text, int32_t& value);

}  // namespace kvarta
