#include "app/main_menu.h"

#include <sys/stat.h>

#include <algorithm>

#include "connection/program_folders.h"
#include "monitor/command_texts.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

std::vector<MenuItemSpec> BuildTree() {
  std::vector<MenuItemSpec> t = {
      {"N4", "Файл", "", 0},
      {"N6", "Файлы  конфигурации      ", "N4", 0},
      {"NNewCnf", "Создание нового файла конфигурации", "N6", 0},
      {"NEditCnf", "Просмотр/Корректировка файла конфигурации", "N6", 1},
      {"Nrdcnf", "Сохранение параметров конфигурации в файле", "N6", 0},
      {"NCmpCnf", "Сравнить с файлом конфигурации", "N6", 0},
      {"N8", "Периодическое чтение содержания сеанса связи по инициативе контроллера       ", "N4",
       8},
      {"NProgr_Wr", "Запись программы контроллера     ", "N4", 0},
      {"Nexit", "Выход", "N4", 0},
      {"NWorkPar", "Параметры", "", 0},
      {"Nident", "Параметры идентификации", "NWorkPar", 0},
      {"N26", "Параметры связи с верхним уровнем", "NWorkPar", 0},
      {"N11", "Параметры вычислителей расхода газа", "NWorkPar", 0},
      {"N1", "Таймауты", "NWorkPar", 0},
      {"N2", "Параметры работы с модемом", "NWorkPar", 0},
      {"GPRS1", "Параметры работы в Интернете с использованием GPRS", "NWorkPar", 0},
      {"N33", "Доступ пользователей к таблицам параметров", "NWorkPar", 0},
      {"NData", "Данные", "", 0},
      {"N3", "Текущие дата и время контроллера", "NData", 0},
      {"N13", "Состояние таблиц параметров конфигурации", "NData", 0},
      {"N17", "Признаки диагностики", "NData", 0},
      {"Nsetting", "Наладка", "", 0},
      {"N12", "Текущие дата и время ВРГ", "Nsetting", 0},
      {"N16", "Необходимость записи содержимого сеанса связи по инициативе контроллера    ",
       "Nsetting", 0},
      {"NrSeans", "Содержание сеанса связи по инициативе контроллера     ", "Nsetting", 8},
      {"NrMess", "Чтение из контроллера", "NrSeans", 0},
      {"N14", "Просмотр из файла", "NrSeans", 0},
      {"N5", "Очистка буфера содержимого сеанса связи", "Nsetting", 0},
      {"N7", "Передача управления", "Nsetting", 0},
      {"NCommand", "Команда контроллеру", "Nsetting", 0},
      {"Nconnect", "Связь с другим устройством", "", 0},
      {"Nvers", "Общее", "", 0},
      {"NUser", "Идентификация пользователя программы", "Nvers", 0},
      {"Nabout", "О программе", "Nvers", 0},
      {"NReport", "Отчет для сервисной службы", "Nvers", 0},
      {"NFrames", "Монитор обмена", "Nvers", 0},
  };
  // The command items take their captions from the commands' own texts.
  const auto at =
      std::find_if(t.begin(), t.end(), [](const auto& i) { return i.name == "Nconnect"; });
  std::vector<MenuItemSpec> commands;
  for (int code = 1; code <= 13; ++code) {
    commands.push_back({Format("no%d", code), CommandMenuCaption(code), "NCommand", code});
  }
  commands.push_back({"no14", CommandMenuCaption(kRestartCode), "NCommand", kRestartCode});
  t.insert(at, commands.begin(), commands.end());
  return t;
}

}  // namespace

const std::vector<MenuItemSpec>& MainMenuTree() {
  static const std::vector<MenuItemSpec> tree = BuildTree();
  return tree;
}

bool MainMenuState::Visible(const std::string& name) const {
  const auto it = visible.find(name);
  return it != visible.end() && it->second;
}

std::vector<std::string> SiblingFolders(const std::string& program_folder) {
  std::vector<std::string> folders;
  const std::string exe = CurrentFolderSources("").exe_folder;
  if (!exe.empty()) folders.push_back(exe);
  if (!program_folder.empty() && program_folder != exe) folders.push_back(program_folder);
  return folders;
}

std::string LocateSiblingFile(const std::string& name, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    const std::string path = folder + "/" + name;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return path;
  }
  return {};
}

void FindSiblingFiles(MenuInputs& in, const std::vector<std::string>& folders) {
  in.fw_loader_present = !LocateSiblingFile(kFirmwareLoaderFile, folders).empty();
  in.session_reader_present = !LocateSiblingFile(kSessionReaderFile, folders).empty();
  in.admin_tools_present = !LocateSiblingFile(kAdminToolsFile, folders).empty();
}

MainMenuState RefreshMainMenu(const MenuInputs& in) {
  MainMenuState s;
  for (const MenuItemSpec& item : MainMenuTree()) s.visible[item.name] = true;
  // The commands of VRG state (codes 3 and 7) exist but are never offered.
  s.visible["no3"] = false;
  s.visible["no7"] = false;
  if (!in.connected) {
    for (const char* n :
         {"NWorkPar", "Nsetting", "NData", "Nrdcnf", "NCmpCnf", "NUser", "NReport"}) {
      s.visible[n] = false;
    }
    s.repeat_panel_visible = false;
    if (!in.fw_loader_present) s.visible["NProgr_Wr"] = false;
  } else {
    if (in.write_access) {
      if (!in.admin_tools_present) s.visible["N7"] = false;
      s.rebuild_command_menus = true;
      s.repeat_panel_visible = true;
      if (in.history_not_empty) {
        s.repeat_buttons_enabled = true;
        s.set_label = true;
        s.label = in.history_label;
      }
      s.repeat_panel_above_modem = in.modem_panel_visible;
    } else {
      s.visible["Nsetting"] = false;
      s.repeat_panel_visible = false;
    }
    s.visible["NProgr_Wr"] = false;
  }
  if (!in.session_reader_present) s.visible["N8"] = false;
  return s;
}

}  // namespace kvarta
