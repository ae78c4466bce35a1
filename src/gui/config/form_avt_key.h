// The authorisation key window (TFormAvt_Key): the key of table 12 typed
// twice, hidden unless "Показывать введенные символы" is checked.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace kvarta {
class AvtKeyModel;
}

namespace kvarta::gui {

class TFormAvt_Key : public QDialog {
  Q_OBJECT
 public:
  explicit TFormAvt_Key(AvtKeyModel& model, QWidget* parent = nullptr);

  QLineEdit* KeyEdit() const { return edits_[0]; }
  QLineEdit* ConfirmEdit() const { return edits_[1]; }
  QCheckBox* ShowChars() const { return show_; }
  QPushButton* AcceptButton() const { return accept_; }
  QPushButton* CancelButton() const { return cancel_; }
  void Refresh();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  AvtKeyModel& model_;
  QLineEdit* edits_[2] = {};
  QCheckBox* show_;
  QPushButton* accept_;
  QPushButton* cancel_;
};

}  // namespace kvarta::gui
