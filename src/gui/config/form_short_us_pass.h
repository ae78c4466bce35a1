// The log-on window (TFormShortUsPass, "Идентификация пользователя
// программы"): the identification code and the write password.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kvarta {
class LogOnModel;
}

namespace kvarta::gui {

class TFormShortUsPass : public QDialog {
  Q_OBJECT
 public:
  TFormShortUsPass(LogOnModel& model, QWidget* parent = nullptr);

  void Refresh();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnAccept();

  LogOnModel& model_;
  QLineEdit* code_;
  QLineEdit* password_;
  QPushButton* accept_;
  QPushButton* cancel_;
};

// Shows the log-on window modally on model (its fields emptied first); true
// when "Принять" was pressed, the credentials then in the model.
bool RunLogOnDialog(QWidget* parent, LogOnModel& model);

}  // namespace kvarta::gui
