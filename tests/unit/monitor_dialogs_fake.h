// Stand-ins for the monitoring windows: each "window" runs a script on its
// model (or just notes that it was opened) and returns what the model says.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "monitor/clock_windows.h"
#include "monitor/comm_data_model.h"
#include "monitor/diagnostics.h"
#include "monitor/monitor_session.h"
#include "monitor/session_record.h"
#include "monitor/stored_comm_model.h"

namespace kvarta::test {

class FakeMonitorDialogs : public MonitorDialogs {
 public:
  bool OpenCommData(CommDataModel& m) override {
    ++comm_data_opened;
    comm_data_caption = m.caption;
    if (on_comm_data) on_comm_data(m);
    return m.applied();
  }
  int OpenStoredComm(StoredCommModel& m) override { return Run(on_stored_comm, m).result(); }
  void OpenOutoControl(OutoControlModel& m) override { Run(on_outo_control, m); }
  void OpenDt(DtModel& m) override { Run(on_dt, m); }
  void OpenSumDatePar(SumDateParModel& m) override { Run(on_sum_date_par, m); }
  void OpenSeansAudit(SeansAuditModel& m) override {
    ++viewer_opened;
    if (on_seans_audit) on_seans_audit(m);
  }
  bool OpenNeedSeansWr(NeedSeansWrModel& m) override { return Run(on_need_seans_wr, m).accepted(); }
  std::optional<std::string> ChooseFileToOpen(const FileDialogSpec& spec) override {
    open_specs.push_back(spec);
    return Next();
  }
  std::optional<std::string> ChooseFileToSave(const FileDialogSpec& spec) override {
    save_specs.push_back(spec);
    return Next();
  }

  std::function<void(CommDataModel&)> on_comm_data;
  std::function<void(StoredCommModel&)> on_stored_comm;
  std::function<void(OutoControlModel&)> on_outo_control;
  std::function<void(DtModel&)> on_dt;
  std::function<void(SumDateParModel&)> on_sum_date_par;
  std::function<void(SeansAuditModel&)> on_seans_audit;
  std::function<void(NeedSeansWrModel&)> on_need_seans_wr;
  // Answers of the file dialogs in turn; nothing (cancel) when used up.
  std::vector<std::optional<std::string>> file_answers;
  std::vector<FileDialogSpec> open_specs, save_specs;
  std::string comm_data_caption;
  int comm_data_opened = 0;
  int viewer_opened = 0;

 private:
  template <typename M>
  static M& Run(const std::function<void(M&)>& script, M& m) {
    if (script) script(m);
    return m;
  }
  std::optional<std::string> Next() {
    if (file_answers.empty()) return std::nullopt;
    auto a = file_answers.front();
    file_answers.erase(file_answers.begin());
    return a;
  }
};

// A session with the demo controller's VRG list: two VRGs at addresses 5
// and 6 with 2 and 1 runs, two servers.
class FakeMonitorSession : public MonitorSession {
 public:
  FakeMonitorSession() {
    vrg_params[0] = 2;
    SetVrg(0, 5, 2);
    SetVrg(1, 6, 1);
  }
  void SetVrg(int k, uint8_t address, uint8_t runs) {
    vrg_params[8 + 24 * k] = address;
    vrg_params[8 + 24 * k + 5] = runs;
  }
  std::array<uint8_t, kVrgParamsSize> VrgParamsCopy() const override { return vrg_params; }
  int ServerCount() const override { return servers; }
  std::string ServerLabel(int s) const override { return labels[s]; }
  bool WriteAccessGranted() const override { return write_access; }
  ConnectionKind Kind() const override { return kind; }

  std::array<uint8_t, kVrgParamsSize> vrg_params{};
  int servers = 2;
  std::array<std::string, 2> labels = {"Сервер 1", "Сервер 2"};
  bool write_access = true;
  ConnectionKind kind = ConnectionKind::kDirect;
};

}  // namespace kvarta::test
