// The single-user window (TFormChangeAccess): change, add or delete one
// user of a live controller.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kvarta {
class ChangeAccessModel;
}

namespace kvarta::gui {

class TFormChangeAccess : public QDialog {
  Q_OBJECT
 public:
  explicit TFormChangeAccess(ChangeAccessModel& model, QWidget* parent = nullptr);

  QComboBox* UserList() const { return users_; }
  QLineEdit* NameEdit() const { return name_; }
  QComboBox* LevelList() const { return level_; }
  QLineEdit* PasswordEdit() const { return password_; }
  QLineEdit* PasswordConfirmEdit() const { return password_confirm_; }
  QLineEdit* CodeEdit() const { return code_; }
  QLineEdit* CodeConfirmEdit() const { return code_confirm_; }
  QPushButton* WriteButton() const { return write_; }
  QPushButton* CancelButton() const { return cancel_; }
  void Refresh();

 private:
  ChangeAccessModel& model_;
  QComboBox* users_;
  QLineEdit* name_;
  QComboBox* level_;
  QLineEdit* password_;
  QLineEdit* password_confirm_;
  QLineEdit* code_;
  QLineEdit* code_confirm_;
  QPushButton* write_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
