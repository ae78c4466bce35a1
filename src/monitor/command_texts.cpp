#include "monitor/command_texts.h"

#include <array>

#include "platform/cp1251.h"

namespace kvarta {
namespace {

// Column of the menu markers, counted in characters.
constexpr size_t kMarkerColumn = 41;

struct CommandText {
  const char* title;
  const char* short_name;
  const char* second_line;
  const char* menu;    // caption without the marker
  const char* marker;  // "", "ЧАС", "СУТКИ", "ВСЕ"
};

constexpr std::array<CommandText, kCommandCodeCount> kTexts = {{
    {"Команда отсутствует", "Команда отсутствует", "", "", ""},
    {"Отправить блок программируемых параметров", "Отправить блок прогр. параметров", "",
     "Отправить блок программируемых параметров", ""},
    {"Установить время контроллера по часам ВРГ", "Установить время контр. по часам ВРГ", "",
     "Установить время контроллера по часам ВРГ", ""},
    {"Опросить признаки текущего состояния ВРГ", "Опросить признаки тек. состояния ВРГ", "",
     "Опросить признаки текущего состояния ВРГ", ""},
    {"Опросить часовые данные ВРГ за период в часах", "Опросить часовые данные ВРГ",
     kHourPeriodFormat, "Опросить часовые данные ВРГ", "ЧАС"},
    {"Опросить суточные данные ВРГ за период в контрактных сутках", "Опросить суточные данные ВРГ",
     kDayPeriodFormat, "Опросить суточные данные ВРГ", "СУТКИ"},
    {"Опросить все виды данных ВРГ за период в контрактных сутках", "Опросить все виды данных ВРГ",
     kDayPeriodFormat, "Опросить все виды данных ВРГ", "ВСЕ"},
    {"Опросить и отправить признаки текущего состояния ВРГ", "Опросить и отправить признаки",
     "текущего состояния ВРГ", "Отправить признаки текущего состояния ВРГ", ""},
    {"Опросить и отправить часовые данные ВРГ за период в часах",
     "Опросить и отправить часовые данные ВРГ", kHourPeriodFormat, "Отправить часовые данные ВРГ",
     "ЧАС"},
    {"Опросить и отправить суточные данные ВРГ за период в контрактных сутках",
     "Опросить и отправить суточные данные ВРГ", kDayPeriodFormat, "Отправить суточные данные",
     "СУТКИ"},
    {"Опросить и отправить все виды данных ВРГ за период в контрактных сутках",
     "Опросить и отправить все виды данных ВРГ", kDayPeriodFormat, "Отправить все виды данных ВРГ",
     "ВСЕ"},
    {"Запросить состояние счета SIM-карты модема", "Запросить состояние счета", "SIM-карты модема",
     "Запросить состояние счета SIM-карты модема", ""},
    {"Запросить остаток оплаченного трафика", "Запросить остаток оплач. трафика", "",
     "Запросить остаток оплаченного трафика", ""},
    {"Оплатить трафик", "Оплатить трафик", "", "Оплатить трафик", ""},
}};

struct TextTables {
  std::array<std::string, kCommandCodeCount> title, short_name, second_line, menu, marker;
  std::string restart_menu = "Перезапустить контроллер";
  std::string none;
};

const TextTables& Tables() {
  static const TextTables tables = [] {
    TextTables t;
    for (size_t c = 0; c < kTexts.size(); ++c) {
      t.title[c] = kTexts[c].title;
      t.short_name[c] = kTexts[c].short_name;
      t.second_line[c] = kTexts[c].second_line;
      t.marker[c] = kTexts[c].marker;
      std::string menu = kTexts[c].menu;
      if (*kTexts[c].marker != '\0') {
        const size_t length = Utf8Length(menu);
        if (length < kMarkerColumn) menu.append(kMarkerColumn - length, ' ');
        menu += kTexts[c].marker;
      }
      t.menu[c] = menu;
    }
    return t;
  }();
  return tables;
}

bool InTable(int code) {
  return code >= 0 && code < kCommandCodeCount;
}

}  // namespace

CommandChoices ChoicesOf(int code) {
  switch (code) {
    case 1:
      return {true, true, true, CommandPeriod::kNone};
    case 4:
      return {false, true, true, CommandPeriod::kHours};
    case 5:
    case 6:
      return {false, true, true, CommandPeriod::kDays};
    case 8:
      return {true, true, true, CommandPeriod::kHours};
    case 9:
    case 10:
      return {true, true, true, CommandPeriod::kDays};
    default:
      return {};
  }
}

bool KnownCommandCode(int code) {
  return InTable(code) || code == kRestartCode;
}

const std::string& CommandTitle(int code) {
  return InTable(code) ? Tables().title[code] : Tables().none;
}

const std::string& CommandShortName(int code) {
  return InTable(code) ? Tables().short_name[code] : Tables().none;
}

const std::string& CommandSecondLine(int code) {
  return InTable(code) ? Tables().second_line[code] : Tables().none;
}

const std::string& CommandMenuCaption(int code) {
  if (code == kRestartCode) return Tables().restart_menu;
  return InTable(code) ? Tables().menu[code] : Tables().none;
}

const std::string& CommandMenuMarker(int code) {
  return InTable(code) ? Tables().marker[code] : Tables().none;
}

bool CommandMenuHidden(int code) {
  return code == 3 || code == 7;
}

}  // namespace kvarta
