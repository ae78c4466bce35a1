// The controller's clock beside the PC's (TFormDt) over DtModel: a cell
// drawn red where the controller differs; while refreshing, a re-read 500 ms
// after the previous one ended. A lost modem link closes it.
#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;

namespace kvarta {
class DtModel;
}

namespace kvarta::gui {

class QtHost;
class QtTimer;

class TFormDt : public QDialog {
  Q_OBJECT
 public:
  TFormDt(DtModel& model, QtHost& host, QWidget* parent = nullptr);
  ~TFormDt() override;

  void Refresh();
  QLabel* ControllerDate() const { return ctl_date_; }
  QLabel* ControllerTime() const { return ctl_time_; }
  QPushButton* RefreshButton() const { return refresh_; }

 public Q_SLOTS:
  void reject() override;

 private:
  void OnTimer();

  DtModel& model_;
  QtHost& host_;
  std::unique_ptr<QtTimer> timer_;
  QLabel* ctl_date_;
  QLabel* ctl_time_;
  QLabel* pc_date_;
  QLabel* pc_time_;
  QPushButton* refresh_;
  QPushButton* exit_;
};

}  // namespace kvarta::gui
