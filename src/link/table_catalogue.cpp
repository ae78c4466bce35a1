#include "link/table_catalogue.h"

namespace kvarta {
namespace {

constexpr std::array<TableDescriptor, kTableCount> kCatalogue = {{
    {18, 1, 0, 0},      // 0 identification
    {3, 4, 0, 18},      // 1 exchange speed masks
    {6, 1, 0, 30},      // 2 controller clock
    {122, 1, 1, 36},    // 3 upper-level link
    {16, 22, 1, 158},   // 4 users
    {0, 0, 0, 0},       // 5
    {0, 0, 0, 0},       // 6
    {23, 1, 0, 510},    // 7 table states
    {0, 0, 0, 0},       // 8
    {104, 1, 1, 533},   // 9 VRG parameters
    {5, 6, 0, 637},     // 10 VRG clocks
    {0, 0, 0, 0},       // 11
    {1, 66, 1, 667},    // 12 report parameters
    {0, 0, 0, 0},       // 13
    {0, 0, 0, 0},       // 14
    {12, 1, 0, 733},    // 15 command
    {0, 0, 0, 0},       // 16
    {10, 14, 0, 745},   // 17 diagnostics
    {0, 0, 0, 0},       // 18 named only
    {40, 200, 0, 885},  // 19 session record
    {7, 2, 1, 8885},    // 20 timeouts
    {5, 50, 1, 8899},   // 21 modem
    {11, 50, 1, 9149},  // 22 GPRS
}};

const std::array<std::string, kTableCount> kNames = {
    "Общие параметры идентификации",
    "Наличие значения скорости обмена с верхним уровнем",
    "Текущие дата и время контроллера",
    "Параметры связи с верхним уровнем",
    "Зарегистрированные пользователи",
    "",
    "",
    "Состояние таблиц параметров конфигурации",
    "",
    "Параметры ВРГ",
    "Текущие дата и время ВРГ",
    "",
    "Параметры отчета",
    "",
    "",
    "Команда контроллеру",
    "",
    "Признаки самодиагностики",
    "Текущие IP адреса",
    "Содержание сеанса связи по инициативе контроллера",
    "Таймауты",
    "Параметры работы с модемом",
    "Параметры работы в Интернете с использованием GPRS",
};

const TableDescriptor kNone{};
const std::string kNoName;

}  // namespace

const TableDescriptor& TableCatalogue(int t) {
  if (t < 0 || t >= kTableCount) return kNone;
  return kCatalogue[static_cast<size_t>(t)];
}

const std::string& TableName(int t) {
  if (t < 0 || t >= kTableCount) return kNoName;
  return kNames[static_cast<size_t>(t)];
}

bool TableWritten(int t) {
  constexpr int kCommandTable = 15;
  return TableCatalogue(t).config_flag == 1 || t == kCommandTable;
}

}  // namespace kvarta
