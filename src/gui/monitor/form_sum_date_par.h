// The clocks of the PC, the controller and every VRG with their deviations
// from the controller (TFormSum_Date_Par) over SumDateParModel; while
// refreshing, a re-read 1000 ms after the previous one ended. A lost modem
// link closes it.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

class QLabel;
class QPushButton;

namespace kvarta {
class SumDateParModel;
struct ClockRowView;
}  // namespace kvarta

namespace kvarta::gui {

class QtHost;
class QtTimer;

class TFormSum_Date_Par : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kRows = 6;  // PC, controller, four VRGs

  TFormSum_Date_Par(SumDateParModel& model, QtHost& host, QWidget* parent = nullptr);
  ~TFormSum_Date_Par() override;

  void Refresh();
  // Row r: 0 the PC, 1 the controller, 2..5 the VRGs in display order;
  // column c: 0 device, 1 address, 2 date and time, 3 deviation.
  QLabel* Cell(int r, int c) const {
    return cells_[static_cast<size_t>(r)][static_cast<size_t>(c)];
  }
  QPushButton* RefreshButton() const { return refresh_; }

 public Q_SLOTS:
  void reject() override;

 private:
  void OnTimer();
  void ShowRow(int r, const ClockRowView& row);

  SumDateParModel& model_;
  QtHost& host_;
  std::unique_ptr<QtTimer> timer_;
  std::array<std::array<QLabel*, 4>, kRows> cells_{};
  QPushButton* refresh_;
  QPushButton* exit_;
};

}  // namespace kvarta::gui
