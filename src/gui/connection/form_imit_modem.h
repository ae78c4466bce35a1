// The modem imitation window (TFormImit_Modem) over ImitModemModel: a start
// timer runs the wait for the controller's modem command, a progress timer
// moves the bar meanwhile, and Esc or closing stops the wait.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kvarta {
class ImitModemModel;
}

namespace kvarta::gui {

class QtHost;

class TFormImit_Modem : public QDialog {
  Q_OBJECT
 public:
  TFormImit_Modem(ImitModemModel& model, QtHost& host, QWidget* parent = nullptr);
  ~TFormImit_Modem() override;

  void Refresh();

 public Q_SLOTS:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnStartTimer();
  // The model's close query: false while the wait runs.
  bool CloseAllowed();

  ImitModemModel& model_;
  QtHost& host_;
  QLabel* text_;
  QLabel* hint_;
  QProgressBar* progress_;
  QPushButton* close_;
  QTimer* start_timer_;
  QTimer* progress_timer_;
};

}  // namespace kvarta::gui
