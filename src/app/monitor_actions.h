// The commands and the monitoring windows on the main session: the command
// history kept in INI/comm_history.ini, the remembered command periods, the
// repeat panel pn_repeat, the "Команда контроллеру" menus, and the entries of
// "Данные" and "Наладка" that show the controller's clocks, diagnostic flags
// and session record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/session_parts.h"
#include "monitor/command_history.h"
#include "monitor/command_menus.h"
#include "monitor/command_panel.h"
#include "monitor/monitor_session.h"

namespace kvarta {

class MonitorActions : public MonitorSession {
 public:
  // Creation of the main window: the history is loaded from its file.
  explicit MonitorActions(SessionParts& parts);

  // MonitorSession, from what the session knows of the controller.
  std::array<uint8_t, kVrgParamsSize> VrgParamsCopy() const override;
  int ServerCount() const override;
  std::string ServerLabel(int server) const override;
  bool WriteAccessGranted() const override;
  ConnectionKind Kind() const override;

  CommandHistory& history() { return history_; }
  const CommandHistory& history() const { return history_; }
  RememberedPeriods& periods() { return periods_; }
  CommandPanel& panel() { return panel_; }
  std::string HistoryPath() const;
  // Saved with the connection settings; a failure is silent, as the
  // history is only a convenience.
  bool SaveHistory() const;

  // RefreshMainMenu: the history's label and whether it holds anything.
  void FillMenuFacts(ControllerFacts& facts) const;
  // After the menu state was applied: with write access the panel follows
  // the history.
  void AfterMenuRefresh();
  // Disconnect: buttons off, label empty.
  void AfterDisconnect() { panel_.Reset(); }

  // The sub-menu "Команда контроллеру" for the VRG list and servers as they stand.
  std::vector<CommandMenuItem> CommandMenus() const;

  // The main-menu entries handled here: N3, N17, N12, N16, NrMess, N14, N5
  // and the command items no1..no14.
  static bool Handles(const std::string& name);
  // Runs one of them; a command item with a sub-menu does nothing itself.
  void RunMenuEntry(const std::string& name);
  // A leaf of the command menus (NDoCommandClick with that sender).
  CommandOutcome RunCommandTag(uint32_t tag) { return panel_.NDoCommandClick(tag); }
  // bt_repeat and bt_stored; left, top: the corner of pn_repeat on the screen.
  CommandOutcome OnRepeat() { return panel_.OnRepeatClick(); }
  CommandOutcome OnStored(int left, int top) { return panel_.OnStoredClick(left, top); }

 private:
  // Forwards to the main window's windows; without them every window is
  // refused, so nothing is sent.
  struct Relay : MonitorDialogs {
    explicit Relay(MainWindowView& v) : view(v) {}
    MainWindowView& view;
    bool OpenCommData(CommDataModel& model) override;
    int OpenStoredComm(StoredCommModel& model) override;
    void OpenOutoControl(OutoControlModel& model) override;
    void OpenDt(DtModel& model) override;
    void OpenSumDatePar(SumDateParModel& model) override;
    void OpenSeansAudit(SeansAuditModel& model) override;
    bool OpenNeedSeansWr(NeedSeansWrModel& model) override;
    std::optional<std::string> ChooseFileToOpen(const FileDialogSpec& spec) override;
    std::optional<std::string> ChooseFileToSave(const FileDialogSpec& spec) override;
  };

  SessionParts& parts_;
  Relay relay_;
  CommandHistory history_;
  RememberedPeriods periods_;
  CommandPanel panel_;
};

}  // namespace kvarta
