#include "monitor/command_text.h"

#include <charconv>
#include <vector>

#include "link/short_date_time.h"
#include "monitor/command_texts.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

bool Number(std::string_view text, int min, int max, int& value) {
  if (text.empty()) return false;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && ptr == text.data() + text.size() && value >= min && value <= max;
}

// "YYYY-MM-DD" or, with an hour, "YYYY-MM-DDTHH".
bool Bound(std::string_view text, bool with_hour, uint8_t* out) {
  const size_t length = with_hour ? 13 : 10;
  if (text.size() != length || text[4] != '-' || text[7] != '-') return false;
  if (with_hour && text[10] != 'T') return false;
  int year = 0, month = 0, day = 0, hour = 0;
  if (!Number(text.substr(0, 4), 2014, 2255, year) || !Number(text.substr(5, 2), 1, 12, month) ||
      !Number(text.substr(8, 2), 1, DaysInMonth(month, year - 2000), day)) {
    return false;
  }
  if (with_hour && !Number(text.substr(11, 2), 0, 23, hour)) return false;
  out[0] = static_cast<uint8_t>(year - 2000);
  out[1] = static_cast<uint8_t>(month);
  out[2] = static_cast<uint8_t>(day);
  out[3] = static_cast<uint8_t>(hour);
  return true;
}

struct Parser {
  std::vector<std::string_view> words;
  size_t at = 0;
  std::string& error;

  bool More() const { return at < words.size(); }
  std::string_view Next() { return More() ? words[at++] : std::string_view(); }
  bool Fail(const std::string& why) {
    error = why;
    return false;
  }
};

}  // namespace

bool ParseCommandText(std::string_view text, const CommandTargets& targets, CommandFields& fields,
                      std::string& error) {
  Parser p{Words(text), 0, error};
  CommandFields f{};
  int code = 0;
  const std::string_view code_word = p.Next();
  if (!Number(code_word, 0, 255, code) || !KnownCommandCode(code)) {
    return p.Fail(
        Format("Нет такой команды: %.*s", static_cast<int>(code_word.size()), code_word.data()));
  }
  f[0] = static_cast<uint8_t>(code);
  const CommandChoices choices = ChoicesOf(code);
  bool have_server = false, have_vrg = false, have_run = false, have_period = false;

  while (p.More()) {
    const std::string_view word = p.Next();
    const std::string_view value = p.Next();
    const std::string shown(word);
    if (word == "all") {
      if (value == "servers" && choices.server && !have_server) {
        f[1] = kAllTargets, have_server = true;
      } else if (value == "vrgs" && choices.vrg && !have_vrg) {
        f[2] = kAllTargets, have_vrg = true;
      } else if (value == "runs" && choices.run && !have_run) {
        f[3] = kAllTargets, have_run = true;
      } else {
        return p.Fail(Format("Лишнее или неизвестное слово: all %.*s",
                             static_cast<int>(value.size()), value.data()));
      }
    } else if (word == "server" && choices.server && !have_server) {
      int n = 0;
      if (!Number(value, 1, targets.server_count, n))
        return p.Fail(
            Format("Нет такого сервера: %.*s", static_cast<int>(value.size()), value.data()));
      f[1] = static_cast<uint8_t>(n - 1), have_server = true;
    } else if (word == "vrg" && choices.vrg && !have_vrg) {
      int n = 0;
      if (!Number(value, 1, static_cast<int>(targets.vrgs.size()), n))
        return p.Fail(Format("Нет такого ВРГ: %.*s", static_cast<int>(value.size()), value.data()));
      f[2] = static_cast<uint8_t>(n - 1), have_vrg = true;
    } else if (word == "run" && choices.run && !have_run) {
      int n = 0;
      if (!Number(value, 1, kMaxRuns, n))
        return p.Fail(
            Format("Нет такой нитки: %.*s", static_cast<int>(value.size()), value.data()));
      f[3] = static_cast<uint8_t>(n - 1), have_run = true;
    } else if ((word == "hours" && choices.period == CommandPeriod::kHours) ||
               (word == "days" && choices.period == CommandPeriod::kDays)) {
      if (have_period) return p.Fail("Период задан дважды");
      have_period = true;
      if (value == "last") continue;
      const size_t dots = value.find("..");
      const bool hours = word == "hours";
      if (dots == std::string_view::npos || !Bound(value.substr(0, dots), hours, &f[4]) ||
          !Bound(value.substr(dots + 2), hours, &f[8])) {
        return p.Fail(
            Format("Неверно задан период: %.*s", static_cast<int>(value.size()), value.data()));
      }
    } else {
      return p.Fail("Лишнее или неизвестное слово: " + shown);
    }
  }
  if (choices.server && !have_server) return p.Fail("Не задан сервер (server N или all servers)");
  if (choices.vrg && !have_vrg) return p.Fail("Не задан ВРГ (vrg N или all vrgs)");
  if (choices.run && !have_run) return p.Fail("Не задана нитка (run N или all runs)");
  // A run beyond what the chosen VRG (or the VRG with most runs) has.
  if (choices.run && f[3] != kAllTargets && f[3] >= targets.RunsOf(f[2])) {
    return p.Fail(Format("Нет такой нитки: %d", f[3] + 1));
  }
  fields = f;
  return true;
}

}  // namespace kvarta
