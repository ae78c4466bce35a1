// The open and save dialogs of configuration files for the offline editor's
// menu entries, with the configuration windows it opens (identification,
// users) taken from the program's configuration dialogs when it has them.
#pragma once

#include <QString>
#include <string>

#include "config/config_dialogs.h"

class QWidget;

namespace kvarta::gui {

class ConfigFileDialogsQt : public ConfigDialogOpener {
 public:
  // windows: where the configuration windows open; nullptr leaves them out.
  ConfigFileDialogsQt(QWidget* main_window, ConfigDialogOpener* windows)
      : main_window_(main_window), windows_(windows) {}

  bool ChooseFileToOpen(const FileDialogRequest& request, std::string& path) override;
  bool ChooseFileToSave(const FileDialogRequest& request, std::string& path) override;
  void OpenTableInfo(TableInfoModel& model) override;
  void OpenAccess(AccessModel& model) override;
  void OpenUsPass(UsPassModel& model) override;
  void OpenChangeAccess(ChangeAccessModel& model) override;
  void OpenAvtKey(AvtKeyModel& model) override;
  void OpenIdent(IdentModel& model) override;
  void ShowWait(const WaitModel& model) override;
  void RepaintWait(const WaitModel& model) override;
  void CloseWait() override;

 private:
  QWidget* Parent() const;

  QWidget* main_window_;
  ConfigDialogOpener* windows_;
};

// The Qt filter of "Описание|шаблон|..." pairs.
QString QtFilter(const std::string& pairs);

}  // namespace kvarta::gui
