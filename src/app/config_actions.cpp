#include "app/config_actions.h"

#include "config/config_menus.h"
#include "config/table_info_model.h"
#include "link/message_window.h"
#include "link/table_service.h"
#include "platform/text_format.h"

namespace kvarta {

std::string ConfigDiffModel::Summary() const {
  if (differences.empty()) return "Конфигурация контроллера совпадает с файлом";
  return Format("Различий: %zu", differences.size());
}

ConfigActions::ConfigActions(MainSession& session, Host& host, Clock& clock, StatusBar& status,
                             ConfigDialogOpener& dialogs, ConfigCompareView& compare)
    : ctx_{host,    clock,   session.link(),    session.image(),
           &status, dialogs, session.effects(), session.store().folders().config},
      compare_(compare) {}

void ConfigActions::SaveConfiguration() {
  SaveConfigurationFromController(ctx_);
}

void ConfigActions::ShowIdentification() {
  ShowIdentificationFromController(ctx_);
}

void ConfigActions::ShowTableState() {
  kvarta::ShowTableState(ctx_);
}

void ConfigActions::ChangeUsersAccess() {
  kvarta::ChangeUsersAccess(ctx_);
}

void ConfigActions::CompareWithFile() {
  ConfigFileRecord file;
  // The file first: nothing is read from the controller for a cancelled choice.
  std::string chosen;
  {
    struct Remember : ConfigFileDialogs {
      explicit Remember(ConfigFileDialogs& d, std::string& p) : dialogs(d), path(p) {}
      bool ChooseFileToOpen(const FileDialogRequest& r, std::string& p) override {
        const bool ok = dialogs.ChooseFileToOpen(r, p);
        if (ok) path = p;
        return ok;
      }
      bool ChooseFileToSave(const FileDialogRequest& r, std::string& p) override {
        return dialogs.ChooseFileToSave(r, p);
      }
      ConfigFileDialogs& dialogs;
      std::string& path;
    } remember(ctx_.dialogs, chosen);
    if (!LoadConfigFile({ctx_.host, remember, ctx_.clock, ctx_.config_folder}, file)) return;
  }

  WaitModel progress(WaitModel::Mode::kReading);
  bool read = false;
  ctx_.host.SetCursor(CursorShape::kBusy);
  // The identification says how table 22 travels.
  if (ReadTableFields(ctx_.link, ctx_.image, FieldRange{0, 0, 18}, ctx_.status, true)) {
    ctx_.dialogs.ShowWait(progress);
    read = ReadConfiguration(ctx_, progress);
    ctx_.dialogs.CloseWait();
  }
  ctx_.host.SetCursor(CursorShape::kNormal);
  if (!read) {
    ShowMessageWindow(ctx_.host, kMessageExchange, "Параметры конфигурации не прочитаны", "");
    return;
  }
  ConfigFileRecord controller;
  NewConfigFileRecord(controller);
  FillConfigFileRecord(controller, ctx_.image);
  ConfigDiffModel model;
  const size_t slash = chosen.find_last_of('/');
  model.file_name = slash == std::string::npos ? chosen : chosen.substr(slash + 1);
  model.differences = CompareConfigurations(controller, file);
  compare_.ShowConfigDifferences(model);
  ctx_.session.StartMessageTimer();
}

int ConfigActions::RunTableState(TableWritePlan& plan) {
  TableInfoModel window(ctx_.host, plan);
  window.OnShow();
  ctx_.dialogs.OpenTableInfo(window);
  return window.closed() ? window.result() : kTableStateLeave;
}

bool ConfigActions::RestoreFromFile(TableWritePlan& plan) {
  kvarta::RestoreFromFile(ctx_, plan);
  return plan.written[22] != 0;
}

}  // namespace kvarta
