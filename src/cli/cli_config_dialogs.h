// The configuration flows' windows as the tool plays them: the file dialogs
// choose the files named on the command line, the users editor takes the
// codes and passwords of --user, the key window the key of --key, and the
// progress window prints only with --verbose.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "config/config_dialogs.h"
#include "config/configuration_session.h"
#include "link/host.h"

namespace kvarta::cli {

// What the users editor is given for one user.
struct UserCredentials {
  std::string code;
  std::string password;
};

class CliConfigDialogs : public ConfigDialogOpener {
 public:
  explicit CliConfigDialogs(bool verbose) : verbose_(verbose) {}

  // The file the open dialog chooses, once: a second opening (after a file
  // was refused) is a cancel, so a refused file ends the operation.
  void SetOpenPath(const std::string& path) {
    open_path_ = path;
    open_used_ = false;
  }
  // Codes and passwords by user number (1..16).
  std::map<int, UserCredentials> users;
  std::optional<std::string> key;

  bool ChooseFileToOpen(const FileDialogRequest& request, std::string& path) override;
  // The tool writes its files itself: a save dialog is always a cancel.
  bool ChooseFileToSave(const FileDialogRequest& request, std::string& path) override;
  void OpenTableInfo(TableInfoModel& model) override;
  void OpenAccess(AccessModel& model) override;
  void OpenUsPass(UsPassModel& model) override;
  void OpenChangeAccess(ChangeAccessModel& model) override;
  void OpenAvtKey(AvtKeyModel& model) override;
  void OpenIdent(IdentModel& model) override;
  void ShowWait(const WaitModel& model) override;
  void RepaintWait(const WaitModel& model) override;
  void CloseWait() override {}

  // How many times the key window and the users editor were opened.
  int key_windows = 0;
  int users_editors = 0;

 private:
  bool verbose_;
  std::string open_path_;
  bool open_used_ = true;
  const UserCredentials* pending_ = nullptr;
  int last_position_ = -1;
};

// The tool's host for the configuration flows: the questions the command
// line has answered get their answer, everything else goes to the tool's
// own host. An answered question is printed like any message, the answer on
// a line of its own after it.
class ScriptedHost : public Host {
 public:
  // Returns the answer and the option that gave it, or nothing to ask base.
  using Answer =
      std::function<std::optional<std::pair<bool, std::string>>(const MessageWindowModel& window)>;

  ScriptedHost(Host& base, Answer answer) : base_(base), answer_(std::move(answer)) {}

  void PumpMessages() override { base_.PumpMessages(); }
  bool TakeEscape() override { return base_.TakeEscape(); }
  bool ShowMessage(const MessageWindowModel& window) override;
  void SetCursor(CursorShape shape) override { base_.SetCursor(shape); }

 private:
  Host& base_;
  Answer answer_;
};

// The main session's side as the tool needs it: nothing to refresh but the
// address a rewritten table 3 gave the controller.
class CliConfigurationSession : public ConfigurationSession {
 public:
  void SetServerCount(uint8_t count) override { server_count = count; }
  void ControllerAddressChanged(uint8_t address) override;
  void SetVrgParamsCopy(const uint8_t*) override {}
  void BuildCommandMenus() override {}
  void SetKeepAliveInterval(int) override {}
  bool WriteAccessGranted() const override { return true; }
  void SetServerLabels(const ServerLabels&) override {}
  void RefreshMainMenu() override {}
  void StartMessageTimer() override {}

  uint8_t server_count = 1;
  // The address the controller answered from before the run (0 = unknown).
  uint8_t address_before = 0;
};

}  // namespace kvarta::cli
