// Giving the controller a command: the handler of every command menu leaf
// (NDoCommandClick), the repeat of the current history entry and the history
// window, with the state of the panel pn_repeat (the two buttons and Label2).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "monitor/comm_data_model.h"
#include "monitor/command_history.h"
#include "monitor/command_record.h"

namespace kvarta {

struct ControllerLink;
class StatusBar;
class MonitorSession;
class MonitorDialogs;

enum class CommandOutcome {
  kDelivered,  // written (or the controller restarted)
  kFailed,     // the write or the restart failed, the user gave up
  kCancelled,  // period dialog cancelled, payment refused or nothing to send
};

class CommandPanel {
 public:
  // status: StatusBar1 (progress in panel 2); may be null.
  CommandPanel(ControllerLink& link, StatusBar* status, CommandHistory& history,
               RememberedPeriods& periods, MonitorSession& session, MonitorDialogs& dialogs);

  // A menu leaf was clicked: its tag's code and targets; period commands ask
  // for the period, payment asks for confirmation; then the command is
  // described, stored in the history and written.
  CommandOutcome NDoCommandClick(uint32_t tag);
  // Without a sender: writes the history's current entry again.
  CommandOutcome NDoCommandClick();
  // A command fully chosen elsewhere (a tool's command line): fields 0..11 as
  // the period dialog would have left them. Payment is still confirmed.
  CommandOutcome RunCommand(const CommandFields& fields);

  // "Повторить последнюю команду".
  CommandOutcome OnRepeatClick() { return NDoCommandClick(); }
  // "История команд": the history window at left, top (see StoredCommModel).
  CommandOutcome OnStoredClick(int left, int top);

  // RefreshMainMenu with write access: the buttons follow the history and
  // Label2 shows its current entry.
  void Refresh();
  // Disconnect: buttons disabled, Label2 empty.
  void Reset();

  // bt_repeat and bt_stored (always enabled or disabled together).
  bool buttons_enabled = false;
  std::string label;  // Label2
  // Called after each change of the state above, so that a window can follow
  // it while an exchange runs.
  std::function<void()> on_change;

 private:
  // Steps of sending the current entry, and the buttons afterwards.
  CommandOutcome SendCurrent();
  CommandOutcome Restart();
  void EnableAfter();
  void SetButtons(bool enabled);
  void ShowLabel(const CommandTexts& texts);
  void Status(const std::string& text);

  ControllerLink& link_;
  StatusBar* status_;
  CommandHistory& history_;
  RememberedPeriods& periods_;
  MonitorSession& session_;
  MonitorDialogs& dialogs_;
};

}  // namespace kvarta
