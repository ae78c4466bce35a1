#include "cli/cli_config_dialogs.h"

#include <cstdio>

#include "config/access_model.h"
#include "config/avt_key_model.h"
#include "config/change_access_model.h"
#include "config/table_info_model.h"
#include "config/wait_model.h"
#include "link/message_window.h"
#include "platform/text_format.h"

namespace kvarta::cli {

bool CliConfigDialogs::ChooseFileToOpen(const FileDialogRequest&, std::string& path) {
  if (open_used_ || open_path_.empty()) return false;
  open_used_ = true;
  path = open_path_;
  return true;
}

bool CliConfigDialogs::ChooseFileToSave(const FileDialogRequest&, std::string&) {
  return false;
}

void CliConfigDialogs::OpenTableInfo(TableInfoModel& model) {
  model.OnExit();
}

void CliConfigDialogs::OpenAccess(AccessModel& model) {
  ++users_editors;
  for (const auto& [number, credentials] : users) {
    pending_ = &credentials;
    model.OnCredentials(number - 1);
    pending_ = nullptr;
  }
  model.OnAccept();
  // A list the checks refuse stays open in the window; here it is left.
  if (!model.closed()) model.OnCancel();
}

void CliConfigDialogs::OpenUsPass(UsPassModel& model) {
  if (pending_ == nullptr) {
    model.OnCancel();
    return;
  }
  model.SetText(UsPassModel::kCode, pending_->code);
  model.SetText(UsPassModel::kCodeConfirm, pending_->code);
  model.SetText(UsPassModel::kPassword, pending_->password);
  model.SetText(UsPassModel::kPasswordConfirm, pending_->password);
  model.OnAccept();
  if (!model.closed()) model.OnCancel();
}

void CliConfigDialogs::OpenChangeAccess(ChangeAccessModel& model) {
  model.OnCancel();
}

void CliConfigDialogs::OpenAvtKey(AvtKeyModel& model) {
  ++key_windows;
  if (key) {
    model.SetText(AvtKeyModel::kKey, *key);
    model.SetText(AvtKeyModel::kConfirm, *key);
    model.OnAccept();
  }
  if (!model.closed()) model.OnCancel();
}

void CliConfigDialogs::OpenIdent(IdentModel&) {}

void CliConfigDialogs::ShowWait(const WaitModel& model) {
  last_position_ = -1;
  if (verbose_) {
    std::fprintf(stderr, "%s\n%s %s\n", model.Line1().c_str(), model.Line2().c_str(),
                 model.Line3().c_str());
  }
}

void CliConfigDialogs::RepaintWait(const WaitModel& model) {
  if (!verbose_ || model.position == last_position_ || model.maximum == 0) return;
  last_position_ = model.position;
  std::fprintf(stderr, "%d/%d\n", model.position, model.maximum);
}

bool ScriptedHost::ShowMessage(const MessageWindowModel& window) {
  std::optional<std::pair<bool, std::string>> answer;
  if (answer_) answer = answer_(window);
  if (!answer) return base_.ShowMessage(window);
  for (const std::string* line : {&window.caption, &window.line1, &window.line2}) {
    if (!line->empty()) std::fprintf(stderr, "%s\n", line->c_str());
  }
  std::fprintf(stderr, "%s (%s)\n", answer->first ? "Да" : "Нет", answer->second.c_str());
  return answer->first;
}

void CliConfigurationSession::ControllerAddressChanged(uint8_t address) {
  if (address_before != 0 && address != address_before) {
    std::fprintf(stderr, "%s\n", Format("Адрес контроллера изменен: %u", address).c_str());
  }
  address_before = address;
}

}  // namespace kvarta::cli
