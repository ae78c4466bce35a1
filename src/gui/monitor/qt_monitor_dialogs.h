// The commands and monitoring windows as real windows: the opener the
// monitor models call, the file dialogs of the session record, and the
// closing of an open monitoring window when the connection ends.
#pragma once

#include <QPointer>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

#include "monitor/monitor_session.h"

class QDialog;
class QWidget;

namespace kvarta::gui {

class QtHost;

class QtMonitorDialogs : public MonitorDialogs {
 public:
  QtMonitorDialogs(QtHost& host, QWidget* parent) : host_(host), parent_(parent) {}

  bool OpenCommData(CommDataModel& model) override;
  int OpenStoredComm(StoredCommModel& model) override;
  void OpenOutoControl(OutoControlModel& model) override;
  void OpenDt(DtModel& model) override;
  void OpenSumDatePar(SumDateParModel& model) override;
  void OpenSeansAudit(SeansAuditModel& model) override;
  bool OpenNeedSeansWr(NeedSeansWrModel& model) override;
  std::optional<std::string> ChooseFileToOpen(const FileDialogSpec& spec) override;
  std::optional<std::string> ChooseFileToSave(const FileDialogSpec& spec) override;

  // Disconnect: the diagnostics or clock window that is open closes.
  void CloseMonitoringWindows();
  // The diagnostics or clock window being shown, if any.
  QDialog* MonitoringWindow() const { return monitoring_; }

  // Test hooks. on_shown runs once a window is up (inside its modal loop);
  // choose_file, when set, answers the file dialogs (save = true for the
  // save dialog) instead of showing them.
  std::function<void(QDialog&)> on_shown;
  std::function<std::optional<std::string>(const FileDialogSpec&, bool save)> choose_file;

 private:
  // Runs the window modally over the window in front.
  int Run(QDialog& dialog);
  // The same for the refreshing windows, which stay closable by Disconnect
  // and let the main window's call timers work while they wait.
  void RunMonitoring(QDialog& dialog);
  QWidget* Parent() const;

  QtHost& host_;
  QWidget* parent_;
  QPointer<QDialog> monitoring_;
};

// A filter of the file dialogs ("Data Files (*.txt)|*.txt|DataFiles(*.*)|*.*")
// as the toolkit's list of filters, each naming its patterns.
QStringList FileDialogFilters(const std::string& filter);

}  // namespace kvarta::gui
