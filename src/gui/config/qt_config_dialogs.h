// The configuration flows' windows as real windows: the opener the models
// call, the open and save dialogs of the configuration files and the
// progress window.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/config_actions.h"
#include "config/config_dialogs.h"

class QWidget;

namespace kvarta::gui {

class TFormWait;

// The dialog's filter from the "Описание|шаблон|..." pairs.
std::string QtFileFilter(const std::string& pairs);

class QtConfigDialogs : public ConfigDialogOpener, public ConfigCompareView {
 public:
  // main_window: the window the dialogs open over, disabled under the
  // progress window.
  explicit QtConfigDialogs(QWidget* main_window);
  ~QtConfigDialogs() override;

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
  void ShowConfigDifferences(const ConfigDiffModel& model) override;

  // The progress window while it is up.
  TFormWait* Wait() const { return wait_.get(); }

  // Test hooks: when set, they choose the file instead of the dialog.
  std::function<bool(const FileDialogRequest&, std::string&)> open_file_override;
  std::function<bool(const FileDialogRequest&, std::string&)> save_file_override;

 private:
  // The modal window in front (a sub-dialog sits over its opener), else the
  // main window.
  QWidget* Parent() const;

  QWidget* main_window_;
  std::unique_ptr<TFormWait> wait_;
};

}  // namespace kvarta::gui
