#include "gui/config/qt_config_dialogs.h"

#include <QApplication>
#include <QFileDialog>

#include "config/access_model.h"
#include "config/avt_key_model.h"
#include "config/change_access_model.h"
#include "config/ident_model.h"
#include "config/table_info_model.h"
#include "config/wait_model.h"
#include "gui/config/form_access.h"
#include "gui/config/form_avt_key.h"
#include "gui/config/form_change_access.h"
#include "gui/config/form_config_diff.h"
#include "gui/config/form_ident.h"
#include "gui/config/form_table_info.h"
#include "gui/config/form_us_pass.h"
#include "gui/config/form_wait.h"

namespace kvarta::gui {
namespace {

QFileDialog* MakeDialog(QWidget* parent, const FileDialogRequest& request) {
  auto* dialog = new QFileDialog(parent, QString::fromStdString(request.title),
                                 QString::fromStdString(request.folder));
  dialog->setObjectName("FileDialog");
  // One look on every desktop, and no question of the dialog's own: the
  // program asks before it replaces a file.
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog->setNameFilters(
      QString::fromStdString(QtFileFilter(request.filter)).split(";;", Qt::SkipEmptyParts));
  return dialog;
}

}  // namespace

std::string QtFileFilter(const std::string& pairs) {
  std::string out;
  size_t start = 0;
  while (start < pairs.size()) {
    const size_t bar = pairs.find('|', start);
    const std::string description = pairs.substr(start, bar - start);
    std::string pattern;
    size_t next = std::string::npos;
    if (bar != std::string::npos) {
      const size_t end = pairs.find('|', bar + 1);
      pattern = pairs.substr(bar + 1, end == std::string::npos ? end : end - bar - 1);
      next = end == std::string::npos ? end : end + 1;
    }
    if (!out.empty()) out += ";;";
    out += description;
    // The dialog takes the patterns from the parentheses of the description.
    if (!pattern.empty() && description.find("(" + pattern + ")") == std::string::npos) {
      out += " (" + pattern + ")";
    }
    if (next == std::string::npos) break;
    start = next;
  }
  return out;
}

QtConfigDialogs::QtConfigDialogs(QWidget* main_window) : main_window_(main_window) {}

QtConfigDialogs::~QtConfigDialogs() = default;

QWidget* QtConfigDialogs::Parent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  // Under the progress window the main window is disabled, and so would be
  // a window opened over it.
  if (wait_) return wait_.get();
  return main_window_;
}

bool QtConfigDialogs::ChooseFileToOpen(const FileDialogRequest& request, std::string& path) {
  if (open_file_override) return open_file_override(request, path);
  std::unique_ptr<QFileDialog> dialog(MakeDialog(Parent(), request));
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFile);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return false;
  path = dialog->selectedFiles().front().toStdString();
  return true;
}

bool QtConfigDialogs::ChooseFileToSave(const FileDialogRequest& request, std::string& path) {
  if (save_file_override) return save_file_override(request, path);
  std::unique_ptr<QFileDialog> dialog(MakeDialog(Parent(), request));
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  if (!request.path.empty()) dialog->selectFile(QString::fromStdString(request.path));
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return false;
  path = dialog->selectedFiles().front().toStdString();
  return true;
}

void QtConfigDialogs::OpenTableInfo(TableInfoModel& model) {
  TFormTableInfo form(model, Parent());
  form.exec();
}

void QtConfigDialogs::OpenAccess(AccessModel& model) {
  TFormAccess form(model, Parent());
  form.exec();
}

void QtConfigDialogs::OpenUsPass(UsPassModel& model) {
  TFormUsPass form(model, Parent());
  form.exec();
}

void QtConfigDialogs::OpenChangeAccess(ChangeAccessModel& model) {
  TFormChangeAccess form(model, Parent());
  form.exec();
}

void QtConfigDialogs::OpenAvtKey(AvtKeyModel& model) {
  TFormAvt_Key form(model, Parent());
  form.exec();
}

void QtConfigDialogs::OpenIdent(IdentModel& model) {
  TFormIdent form(model, Parent());
  form.exec();
}

void QtConfigDialogs::ShowWait(const WaitModel& model) {
  wait_ = std::make_unique<TFormWait>(model, main_window_);
  wait_->Open();
}

void QtConfigDialogs::RepaintWait(const WaitModel& model) {
  if (wait_) wait_->Refresh(model);
}

void QtConfigDialogs::CloseWait() {
  if (!wait_) return;
  wait_->Finish();
  wait_.reset();
}

void QtConfigDialogs::ShowConfigDifferences(const ConfigDiffModel& model) {
  TFormConfigDiff form(model, Parent());
  form.exec();
}

}  // namespace kvarta::gui
