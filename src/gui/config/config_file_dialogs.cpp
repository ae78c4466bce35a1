#include "gui/config/config_file_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

namespace kvarta::gui {

QString QtFilter(const std::string& pairs) {
  const QStringList parts = QString::fromStdString(pairs).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    // The description already names its patterns.
    filters << parts[i];
  }
  return filters.join(";;");
}

QWidget* ConfigFileDialogsQt::Parent() const {
  QWidget* modal = QApplication::activeModalWidget();
  return modal ? modal : main_window_;
}

bool ConfigFileDialogsQt::ChooseFileToOpen(const FileDialogRequest& request, std::string& path) {
  const QString chosen = QFileDialog::getOpenFileName(
      Parent(), QString::fromStdString(request.title), QString::fromStdString(request.folder),
      QtFilter(request.filter), nullptr, QFileDialog::DontUseNativeDialog);
  if (chosen.isEmpty()) return false;
  path = chosen.toStdString();
  return true;
}

bool ConfigFileDialogsQt::ChooseFileToSave(const FileDialogRequest& request, std::string& path) {
  // The program asks about replacing a file itself.
  const QString chosen = QFileDialog::getSaveFileName(
      Parent(), QString::fromStdString(request.title), QString::fromStdString(request.path),
      QtFilter(request.filter), nullptr,
      QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
  if (chosen.isEmpty()) return false;
  path = chosen.toStdString();
  return true;
}

void ConfigFileDialogsQt::OpenTableInfo(TableInfoModel& model) {
  if (windows_) windows_->OpenTableInfo(model);
}
void ConfigFileDialogsQt::OpenAccess(AccessModel& model) {
  if (windows_) windows_->OpenAccess(model);
}
void ConfigFileDialogsQt::OpenUsPass(UsPassModel& model) {
  if (windows_) windows_->OpenUsPass(model);
}
void ConfigFileDialogsQt::OpenChangeAccess(ChangeAccessModel& model) {
  if (windows_) windows_->OpenChangeAccess(model);
}
void ConfigFileDialogsQt::OpenAvtKey(AvtKeyModel& model) {
  if (windows_) windows_->OpenAvtKey(model);
}
void ConfigFileDialogsQt::OpenIdent(IdentModel& model) {
  if (windows_) windows_->OpenIdent(model);
}
void ConfigFileDialogsQt::ShowWait(const WaitModel& model) {
  if (windows_) windows_->ShowWait(model);
}
void ConfigFileDialogsQt::RepaintWait(const WaitModel& model) {
  if (windows_) windows_->RepaintWait(model);
}
void ConfigFileDialogsQt::CloseWait() {
  if (windows_) windows_->CloseWait();
}

}  // namespace kvarta::gui
