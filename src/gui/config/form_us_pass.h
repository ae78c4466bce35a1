// The password-and-code window of one user (TFormUsPass): the code and the
// password, each typed twice.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kvarta {
class UsPassModel;
}

namespace kvarta::gui {

class TFormUsPass : public QDialog {
  Q_OBJECT
 public:
  explicit TFormUsPass(UsPassModel& model, QWidget* parent = nullptr);

  // The edits in the model's field order: code, its confirmation, password,
  // its confirmation.
  QLineEdit* Edit(int field) const { return edits_[field]; }
  QPushButton* AcceptButton() const { return accept_; }
  QPushButton* CancelButton() const { return cancel_; }
  void Refresh();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnAccept();

  UsPassModel& model_;
  QLineEdit* edits_[4] = {};
  QPushButton* accept_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
