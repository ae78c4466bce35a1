// The controller's command codes (field 0 of table 15) and their texts: menu
// captions, titles, short names with their second lines, and what each code
// lets the user choose.
#pragma once

#include <cstdint>
#include <string>

namespace kvarta {

inline constexpr int kCommandCodeCount = 14;  // codes 0..13 go into table 15
inline constexpr uint8_t kNoCommandCode = 0;  // "Команда отсутствует"
inline constexpr uint8_t kPayTrafficCode = 13;
inline constexpr uint8_t kRestartCode = 255;  // function code 32, not table 15

// Second lines of the period commands (the "c" is a Latin letter).
inline constexpr char kHourPeriodFormat[] =
    "за период c %02d.%02d.%02d %02dч по %02d.%02d.%02d %02dч";
inline constexpr char kDayPeriodFormat[] = "за период c %02d.%02d.%02d по %02d.%02d.%02d";
inline constexpr char kLastHourText[] = "за последний окончившийся час";
inline constexpr char kLastDayText[] = "за последние окончившиеся контр. сутки";

enum class CommandPeriod { kNone, kHours, kDays };

// What the operator picks for a code before it is written.
struct CommandChoices {
  bool server = false;
  bool vrg = false;
  bool run = false;
  CommandPeriod period = CommandPeriod::kNone;
};

// Choices of a code; none for codes outside 0..13.
CommandChoices ChoicesOf(int code);
// Codes 0..13 and the restart.
bool KnownCommandCode(int code);

// Long name ("Опросить часовые данные ВРГ за период в часах"); empty for
// codes outside 0..13.
const std::string& CommandTitle(int code);
// Short name and fixed second line; for the period commands the second line
// is the period format. Empty for codes outside 0..13.
const std::string& CommandShortName(int code);
const std::string& CommandSecondLine(int code);
// Caption of the menu item no1..no14 (the markers "ЧАС", "СУТКИ", "ВСЕ" in
// one column); empty for code 0 and unknown codes.
const std::string& CommandMenuCaption(int code);
// The marker of a period command's caption ("ЧАС", "СУТКИ", "ВСЕ"), which
// the caption holds at its end; empty for the other codes.
const std::string& CommandMenuMarker(int code);
// Codes 3 and 7 have menu items that are never shown.
bool CommandMenuHidden(int code);

}  // namespace kvarta
