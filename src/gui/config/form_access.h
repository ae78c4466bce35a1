// The users list editor (TFormAccess): sixteen rows of name, access level
// and the button of the user's password and code.
#pragma once

#include <QDialog>
#include <array>

#include "config/user_list.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kvarta {
class AccessModel;
}

namespace kvarta::gui {

class TFormAccess : public QDialog {
  Q_OBJECT
 public:
  explicit TFormAccess(AccessModel& model, QWidget* parent = nullptr);

  QLineEdit* NameEdit(int row) const { return names_[row]; }
  QComboBox* LevelList(int row) const { return levels_[row]; }
  QPushButton* CredentialsButton(int row) const { return buttons_[row]; }
  QPushButton* AcceptButton() const { return accept_; }
  QPushButton* CancelButton() const { return cancel_; }
  void Refresh();

 private:
  AccessModel& model_;
  std::array<QLineEdit*, kUserCount> names_{};
  std::array<QComboBox*, kUserCount> levels_{};
  std::array<QPushButton*, kUserCount> buttons_{};
  QPushButton* accept_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
