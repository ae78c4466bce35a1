#include "connection/ini_file.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/cp1251.h"

namespace kvarta {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Upper(std::string_view cp1251) {
  std::string out(cp1251);
  for (char& c : out) c = static_cast<char>(Cp1251ToUpper(static_cast<unsigned char>(c)));
  return out;
}

std::string UpperName(std::string_view utf8) {
  return Upper(Trim(Utf8ToCp1251(utf8)));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseIniInteger(std::string_view text, int32_t& value) {
  text = Trim(text);
  if (text.empty()) return false;
  std::string_view hex;
  if (text.front() == '$') {
    hex = text.substr(1);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hex = text.substr(2);
  }
  if (!hex.empty() || text.front() == '$') {
    if (hex.empty() || hex.size() > 8) return false;
    uint32_t v = 0;
    for (char c : hex) {
      const int d = HexDigit(c);
      if (d < 0) return false;
      v = v * 16 + static_cast<uint32_t>(d);
    }
    value = static_cast<int32_t>(v);
    return true;
  }
  bool negative = false;
  if (text.front() == '-' || text.front() == '+') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return false;
  value = static_cast<int32_t>(v);
  return true;
}

IniFile::Line IniFile::Parse(std::string text, std::string eol) {
  Line line{std::move(text), std::move(eol), LineType::kOther, {}};
  const std::string_view t = Trim(line.text);
  if (t.empty() || t.front() == ';' || t.front() == '#') return line;
  if (t.front() == '[') {
    const size_t close = t.find(']');
    if (close != std::string_view::npos) {
      line.type = LineType::kSection;
      line.name = Upper(Trim(t.substr(1, close - 1)));
    }
    return line;
  }
  const size_t eq = t.find('=');
  if (eq == std::string_view::npos) return line;
  const std::string_view key = Trim(t.substr(0, eq));
  if (key.empty()) return line;
  line.type = LineType::kKey;
  line.name = Upper(key);
  return line;
}

bool IniFile::Load(const std::string& path) {
  path_ = path;
  lines_.clear();
  indexed_ = false;
  eol_ = "\r\n";
  modified_ = false;
  unreadable_ = false;
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    struct stat st {};
    unreadable_ = ::stat(path.c_str(), &st) == 0;
    return false;
  }
  // A lone CR ends a line as LF and CR LF do: the profile readers take it
  // so, and a value holding one could not be written back.
  bool style_known = false;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t brk = bytes.find_first_of("\r\n", start);
    if (brk == std::string::npos) {
      lines_.push_back(Parse(bytes.substr(start), ""));
      break;
    }
    std::string eol = "\n";
    if (bytes[brk] == '\r') eol = brk + 1 < bytes.size() && bytes[brk + 1] == '\n' ? "\r\n" : "\r";
    if (!style_known && eol != "\r") {
      eol_ = eol;
      style_known = true;
    }
    lines_.push_back(Parse(bytes.substr(start, brk - start), eol));
    start = brk + eol.size();
  }
  return true;
}

std::string IniFile::Bytes() const {
  std::string out;
  for (const Line& line : lines_) {
    out += line.text;
    out += line.eol;
  }
  return out;
}

bool IniFile::Save() const {
  return SaveAs(path_);
}

bool IniFile::SaveAs(const std::string& path) const {
  if (path.empty() || (unreadable_ && path == path_)) return false;
  return WriteFileAtomically(path, Bytes());
}

int IniFile::FindSection(const std::string& upper_section) const {
  if (!indexed_) {
    sections_.clear();
    for (size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].type == LineType::kSection)
        sections_.emplace(lines_[i].name, static_cast<int>(i));
    }
    indexed_ = true;
  }
  const auto found = sections_.find(upper_section);
  return found == sections_.end() ? -1 : found->second;
}

int IniFile::FindKey(int header, const std::string& upper_key) const {
  for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size(); ++i) {
    if (lines_[i].type == LineType::kSection) break;
    if (lines_[i].type == LineType::kKey && lines_[i].name == upper_key) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

int IniFile::FindKeyLine(std::string_view section, std::string_view key) const {
  const int header = FindSection(UpperName(section));
  if (header < 0) return -1;
  return FindKey(header, UpperName(key));
}

bool IniFile::SectionExists(std::string_view section) const {
  return FindSection(UpperName(section)) >= 0;
}

bool IniFile::KeyExists(std::string_view section, std::string_view key) const {
  return FindKeyLine(section, key) >= 0;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
  const int index = FindKeyLine(section, key);
  if (index < 0) return std::string(def);
  const std::string& text = lines_[static_cast<size_t>(index)].text;
  std::string_view value = Trim(std::string_view(text).substr(text.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return Cp1251ToUtf8(value);
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  const int index = FindKeyLine(section, key);
  if (index < 0) return def;
  const std::string& text = lines_[static_cast<size_t>(index)].text;
  int32_t value = 0;
  if (!ParseIniInteger(std::string_view(text).substr(text.find('=') + 1), value)) return def;
  return value;
}

// A line that ends the file without a full line break gets one before
// another line follows it.
void IniFile::EndLine(Line& line) const {
  if (line.eol.empty() || line.eol == "\r") line.eol = eol_;
}

void IniFile::AppendLine(std::string text) {
  if (!lines_.empty()) EndLine(lines_.back());
  lines_.push_back(Parse(std::move(text), eol_));
  const Line& added = lines_.back();
  if (indexed_ && added.type == LineType::kSection) {
    sections_.emplace(added.name, static_cast<int>(lines_.size() - 1));
  }
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::string cp_value = Utf8ToCp1251(value);
  for (char& c : cp_value) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  // Readers trim blanks and take off one pair of quotes: a value that would
  // lose something that way is written inside one more pair.
  const bool blank_edge =
      !cp_value.empty() && (IsBlank(cp_value.front()) || IsBlank(cp_value.back()));
  const bool quoted = cp_value.size() >= 2 &&
                      (cp_value.front() == '"' || cp_value.front() == '\'') &&
                      cp_value.back() == cp_value.front();
  if (blank_edge || quoted) cp_value = '"' + cp_value + '"';
  const std::string cp_key(Trim(Utf8ToCp1251(key)));
  const std::string cp_section(Trim(Utf8ToCp1251(section)));
  modified_ = true;

  const int header = FindSection(Upper(cp_section));
  if (header < 0) {
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) AppendLine("");
    AppendLine("[" + cp_section + "]");
    AppendLine(cp_key + "=" + cp_value);
    return;
  }
  const std::string upper_key = Upper(cp_key);
  const int existing = FindKey(header, upper_key);
  if (existing >= 0) {
    Line& line = lines_[static_cast<size_t>(existing)];
    const std::string_view old = line.text;
    const std::string file_key(Trim(old.substr(0, old.find('='))));
    line = Parse(file_key + "=" + cp_value, line.eol);
    return;
  }
  // After the section's last key line, so that comments and blank lines
  // that close the section stay below it.
  size_t after = static_cast<size_t>(header);
  for (size_t i = after + 1; i < lines_.size() && lines_[i].type != LineType::kSection; ++i) {
    if (lines_[i].type == LineType::kKey) after = i;
  }
  EndLine(lines_[after]);
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after) + 1,
                Parse(cp_key + "=" + cp_value, eol_));
  // The headers below have moved (or the new line reads as one).
  if (after + 2 < lines_.size() || lines_[after + 1].type == LineType::kSection) indexed_ = false;
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", static_cast<int>(value));
  WriteString(section, key, buf);
}

}  // namespace kvarta
