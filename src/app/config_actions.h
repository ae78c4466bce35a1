// The main menu's whole-configuration entries as the desktop program runs
// them over the main session: save to a file (Nrdcnf), identification
// (Nident), table state (N13), users access (N33), the comparison with a
// file, and the start-up's table-state window and restore from a file.
#pragma once

#include <string>
#include <vector>

#include "app/main_session.h"
#include "config/config_compare.h"
#include "config/whole_configuration.h"

namespace kvarta {

// What the comparison window shows.
struct ConfigDiffModel {
  static constexpr const char* kTitle = "Сравнение конфигурации контроллера с файлом";
  static constexpr int kWidth = 720;
  static constexpr int kHeight = 460;
  static constexpr const char* kHeadings[4] = {"Табл.", "Параметр", "В контроллере", "В файле"};

  std::string file_name;  // without its folder
  std::vector<ConfigDifference> differences;

  // "Файл: ..." over the list.
  std::string FileLine() const { return "Файл: " + file_name; }
  // Under the list: none, or how many.
  std::string Summary() const;
};

// Shows the comparison window, modal.
class ConfigCompareView {
 public:
  virtual ~ConfigCompareView() = default;
  virtual void ShowConfigDifferences(const ConfigDiffModel& model) = 0;
};

class ConfigActions {
 public:
  // status: StatusBar1 of the main window.
  ConfigActions(MainSession& session, Host& host, Clock& clock, StatusBar& status,
                ConfigDialogOpener& dialogs, ConfigCompareView& compare);

  void SaveConfiguration();   // Nrdcnf
  void ShowIdentification();  // Nident
  void ShowTableState();      // N13
  void ChangeUsersAccess();   // N33
  // "Сравнить с файлом конфигурации": a file is chosen, the controller's
  // configuration read and both shown side by side where they differ.
  void CompareWithFile();

  // Start-up with a destroyed table: the table-state window on plan (0
  // leave, 1 selected, 2 all) and the restore from a file; true when the
  // restore wrote table 22.
  int RunTableState(TableWritePlan& plan);
  bool RestoreFromFile(TableWritePlan& plan);

  ConfigContext& Context() { return ctx_; }

 private:
  ConfigContext ctx_;
  ConfigCompareView& compare_;
};

}  // namespace kvarta
