#include "gui/monitor/qt_monitor_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QTimer>

#include "gui/link/qt_host.h"
#include "gui/monitor/form_comm_data.h"
#include "gui/monitor/form_dt.h"
#include "gui/monitor/form_need_seans_wr.h"
#include "gui/monitor/form_outo_control.h"
#include "gui/monitor/form_seans_audit.h"
#include "gui/monitor/form_stored_comm.h"
#include "gui/monitor/form_sum_date_par.h"
#include "monitor/clock_windows.h"
#include "monitor/comm_data_model.h"
#include "monitor/diagnostics.h"
#include "monitor/session_record.h"
#include "monitor/stored_comm_model.h"

namespace kvarta::gui {

QStringList FileDialogFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i].trimmed();
    // The toolkit reads the patterns from the parentheses that end a filter.
    const int paren = name.indexOf('(');
    if (paren >= 0) name = name.left(paren).trimmed();
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << QString("%1 (%2)").arg(name, patterns.simplified());
  }
  return out;
}

QWidget* QtMonitorDialogs::Parent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return parent_;
}

int QtMonitorDialogs::Run(QDialog& dialog) {
  if (on_shown) {
    QTimer::singleShot(0, &dialog, [this, &dialog] {
      // A copy: the hook may replace itself while it runs.
      const std::function<void(QDialog&)> hook = on_shown;
      if (hook) hook(dialog);
    });
  }
  return dialog.exec();
}

void QtMonitorDialogs::RunMonitoring(QDialog& dialog) {
  monitoring_ = &dialog;
  const QtHost::Idle idle(host_);
  Run(dialog);
  monitoring_ = nullptr;
}

void QtMonitorDialogs::CloseMonitoringWindows() {
  if (!monitoring_) return;
  // The window's own close handling stops its timer and tells its model.
  monitoring_->close();
  if (monitoring_ && monitoring_->isVisible()) monitoring_->done(QDialog::Rejected);
}

bool QtMonitorDialogs::OpenCommData(CommDataModel& model) {
  TFormComm_Data form(model, Parent());
  Run(form);
  return model.applied();
}

int QtMonitorDialogs::OpenStoredComm(StoredCommModel& model) {
  TFormStoredComm form(model, Parent());
  Run(form);
  return model.result();
}

void QtMonitorDialogs::OpenOutoControl(OutoControlModel& model) {
  TFormOutoControl form(model, host_, Parent());
  RunMonitoring(form);
}

void QtMonitorDialogs::OpenDt(DtModel& model) {
  TFormDt form(model, host_, Parent());
  RunMonitoring(form);
}

void QtMonitorDialogs::OpenSumDatePar(SumDateParModel& model) {
  TFormSum_Date_Par form(model, host_, Parent());
  // Its first read, made on opening, may have lost the modem link.
  if (model.closed()) return;
  RunMonitoring(form);
}

void QtMonitorDialogs::OpenSeansAudit(SeansAuditModel& model) {
  TFormSeans_Audit form(model, Parent());
  // The viewer sends nothing: a call may be kept alive while it is read.
  const QtHost::Idle idle(host_);
  Run(form);
}

bool QtMonitorDialogs::OpenNeedSeansWr(NeedSeansWrModel& model) {
  TFormNeed_Seans_Wr form(model, Parent());
  Run(form);
  return model.accepted();
}

namespace {

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogSpec& spec, bool save) {
  QFileDialog dialog(parent, QString::fromStdString(spec.title),
                     QString::fromStdString(spec.initial_folder));
  const QStringList filters = FileDialogFilters(spec.filter);
  dialog.setNameFilters(filters);
  if (spec.filter_index >= 1 && spec.filter_index <= filters.size()) {
    dialog.selectNameFilter(filters[spec.filter_index - 1]);
  }
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The caller asks about a file that is there ("Файл %s уже есть.").
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!spec.file_name.empty()) dialog.selectFile(QString::fromStdString(spec.file_name));
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(spec.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace

std::optional<std::string> QtMonitorDialogs::ChooseFileToOpen(const FileDialogSpec& spec) {
  if (choose_file) return choose_file(spec, false);
  return RunFileDialog(Parent(), spec, false);
}

std::optional<std::string> QtMonitorDialogs::ChooseFileToSave(const FileDialogSpec& spec) {
  if (choose_file) return choose_file(spec, true);
  return RunFileDialog(Parent(), spec, true);
}

}  // namespace kvarta::gui
