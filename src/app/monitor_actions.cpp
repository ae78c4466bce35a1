#include "app/monitor_actions.h"

#include "monitor/clock_windows.h"
#include "monitor/command_texts.h"
#include "monitor/diagnostics.h"
#include "monitor/session_record.h"
#include "monitor/stored_comm_model.h"

namespace kvarta {
namespace {

// The command items by name: "no1".."no13" are codes 1..13, "no14" the restart.
int CommandItemCode(const std::string& name) {
  if (name.size() < 3 || name.compare(0, 2, "no") != 0) return -1;
  int n = 0;
  for (size_t i = 2; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    n = n * 10 + (name[i] - '0');
    if (n > 14) return -1;
  }
  if (n == 14) return kRestartCode;
  return n >= 1 ? n : -1;
}

}  // namespace

MonitorActions::MonitorActions(SessionParts& parts)
    : parts_(parts),
      relay_(parts.view),
      periods_(RememberedPeriods::Today(parts.clock.LocalNow())),
      panel_(parts.link, &parts.status(), history_, periods_, *this, relay_) {
  history_.Load(HistoryPath());
  panel_.on_change = [this] { parts_.view.RepeatPanelChanged(); };
}

std::array<uint8_t, kVrgParamsSize> MonitorActions::VrgParamsCopy() const {
  static_assert(sizeof(parts_.facts.vrg_params_copy) == kVrgParamsSize);
  return parts_.facts.vrg_params_copy;
}

int MonitorActions::ServerCount() const {
  return parts_.facts.server_count;
}

std::string MonitorActions::ServerLabel(int server) const {
  return server == 0 ? parts_.facts.server_labels.server1 : parts_.facts.server_labels.server2;
}

bool MonitorActions::WriteAccessGranted() const {
  return parts_.facts.write_access;
}

ConnectionKind MonitorActions::Kind() const {
  return parts_.store.settings.Kind();
}

std::string MonitorActions::HistoryPath() const {
  return parts_.store.folders().ini + "/" + kHistoryFileName;
}

bool MonitorActions::SaveHistory() const {
  return history_.Save(HistoryPath());
}

void MonitorActions::FillMenuFacts(ControllerFacts& facts) const {
  facts.history_not_empty = !history_.Empty();
  facts.history_label = history_.Empty() ? "" : CommandLabel(history_.Current().Texts());
}

void MonitorActions::AfterMenuRefresh() {
  if (parts_.facts.connection_established && parts_.facts.write_access) panel_.Refresh();
}

std::vector<CommandMenuItem> MonitorActions::CommandMenus() const {
  return BuildCommandMenus(TargetsOf(*this));
}

bool MonitorActions::Handles(const std::string& name) {
  for (const char* entry : {"N3", "N17", "N12", "N16", "NrMess", "N14", "N5"}) {
    if (name == entry) return true;
  }
  return CommandItemCode(name) >= 0;
}

void MonitorActions::RunMenuEntry(const std::string& name) {
  ControllerLink& link = parts_.link;
  ConfigImage& image = parts_.image;
  StatusBar* status = &parts_.status();
  const std::string& folder = parts_.store.folders().session;
  if (name == "N3") {
    ShowControllerClock(link, image, status, relay_);
  } else if (name == "N17") {
    ShowDiagnostics(link, image, status, relay_);
  } else if (name == "N12") {
    ShowVrgClocks(link, image, status, VrgParamsCopy(), relay_);
  } else if (name == "N16") {
    SetSessionRecordingMode(link, image, status, relay_);
  } else if (name == "NrMess") {
    ShowSessionRecord(link, image, status, folder, relay_);
  } else if (name == "N14") {
    ShowSessionFile(parts_.host, folder, relay_);
  } else if (name == "N5") {
    ClearSessionRecord(link, image, status);
  } else if (CommandItemCode(name) >= 0) {
    // Items with a server, VRG or run level are sub-menus: only their leaves send.
    for (const CommandMenuItem& item : CommandMenus()) {
      if (item.name == name && item.visible && item.Leaf()) RunCommandTag(item.tag);
    }
  }
}

bool MonitorActions::Relay::OpenCommData(CommDataModel& model) {
  if (MonitorDialogs* target = view.MonitorWindows()) return target->OpenCommData(model);
  model.OnCancel();
  return false;
}

int MonitorActions::Relay::OpenStoredComm(StoredCommModel& model) {
  if (MonitorDialogs* target = view.MonitorWindows()) return target->OpenStoredComm(model);
  model.OnCancel();
  return model.result();
}

void MonitorActions::Relay::OpenOutoControl(OutoControlModel& model) {
  if (MonitorDialogs* target = view.MonitorWindows()) target->OpenOutoControl(model);
}

void MonitorActions::Relay::OpenDt(DtModel& model) {
  if (MonitorDialogs* target = view.MonitorWindows()) target->OpenDt(model);
}

void MonitorActions::Relay::OpenSumDatePar(SumDateParModel& model) {
  if (MonitorDialogs* target = view.MonitorWindows()) target->OpenSumDatePar(model);
}

void MonitorActions::Relay::OpenSeansAudit(SeansAuditModel& model) {
  if (MonitorDialogs* target = view.MonitorWindows()) target->OpenSeansAudit(model);
}

bool MonitorActions::Relay::OpenNeedSeansWr(NeedSeansWrModel& model) {
  if (MonitorDialogs* target = view.MonitorWindows()) return target->OpenNeedSeansWr(model);
  model.OnCancel();
  return false;
}

std::optional<std::string> MonitorActions::Relay::ChooseFileToOpen(const FileDialogSpec& spec) {
  if (MonitorDialogs* target = view.MonitorWindows()) return target->ChooseFileToOpen(spec);
  return std::nullopt;
}

std::optional<std::string> MonitorActions::Relay::ChooseFileToSave(const FileDialogSpec& spec) {
  if (MonitorDialogs* target = view.MonitorWindows()) return target->ChooseFileToSave(spec);
  return std::nullopt;
}

}  // namespace kvarta
