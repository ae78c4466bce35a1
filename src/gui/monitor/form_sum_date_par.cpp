#include "gui/monitor/form_sum_date_par.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app/qt_timer.h"
#include "gui/link/qt_host.h"
#include "gui/monitor/monitor_widgets.h"
#include "monitor/clock_windows.h"

namespace kvarta::gui {
namespace {

constexpr int kColumnX[4] = {8, 100, 154, 298};
constexpr int kColumnWidth[4] = {88, 50, 140, 118};
constexpr int kFirstRowTop = 52;
constexpr int kRowHeight = 26;
constexpr int kRowPitch = 30;

}  // namespace

TFormSum_Date_Par::TFormSum_Date_Par(SumDateParModel& model, QtHost& host, QWidget* parent)
    : QDialog(parent),
      model_(model),
      host_(host),
      timer_(std::make_unique<QtTimer>(this, SumDateParModel::kTimerMs, "Timer1")) {
  setObjectName("TFormSum_Date_Par");
  setWindowTitle(QString::fromUtf8(SumDateParModel::kCaption));
  setModal(true);
  setFixedSize(SumDateParModel::kWidth, SumDateParModel::kHeight);

  MakeHeading(this, "Устройство", kColumnX[0], 8, kColumnWidth[0], 36);
  MakeHeading(this, "Адрес\nВРГ", kColumnX[1], 8, kColumnWidth[1], 36);
  MakeHeading(this, "Дата и  время", kColumnX[2], 8, kColumnWidth[2], 36);
  MakeHeading(this, "Отклонение\nот контроллера, с", kColumnX[3], 8, kColumnWidth[3], 36);
  static const char* const kNames[4] = {"Label_device", "Label_address", "Label_date_time",
                                        "Label_deviation"};
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < 4; ++c) {
      const int top = kFirstRowTop + r * kRowPitch;
      QLabel* cell;
      if (c == 0) {
        // The device is a label beside its row, not a cell.
        cell = new QLabel(this);
        cell->setObjectName(QString("%1%2").arg(kNames[c]).arg(r));
        cell->setGeometry(kColumnX[c], top, kColumnWidth[c], kRowHeight);
      } else {
        cell = MakeCell(this, kNames[c], kColumnX[c], top, kColumnWidth[c], kRowHeight);
        cell->setObjectName(QString("%1%2").arg(kNames[c]).arg(r));
      }
      cells_[static_cast<size_t>(r)][static_cast<size_t>(c)] = cell;
    }
  }

  const int buttons_top = kFirstRowTop + kRows * kRowPitch + 6;
  refresh_ = new QPushButton(this);
  refresh_->setObjectName("BitBtn1");
  refresh_->setGeometry(8, buttons_top, 190, 30);
  exit_ = new QPushButton("Выход", this);
  exit_->setObjectName("BitBtn2");
  exit_->setGeometry(SumDateParModel::kWidth - 8 - 120, buttons_top, 120, 30);

  connect(timer_->Get(), &QTimer::timeout, this, [this] { OnTimer(); });
  connect(refresh_, &QPushButton::clicked, this, [this] {
    model_.OnRefreshSwitch();
    Refresh();
  });
  connect(exit_, &QPushButton::clicked, this, [this] {
    model_.OnExit();
    QDialog::reject();
  });
  model_.on_change = [this] { Refresh(); };
  model_.SetTimer(timer_.get());
  // Showing reads the clocks at once.
  model_.OnShow();
  Refresh();
}

TFormSum_Date_Par::~TFormSum_Date_Par() {
  model_.on_change = nullptr;
  model_.OnClose();
  model_.SetTimer(nullptr);
}

void TFormSum_Date_Par::ShowRow(int r, const ClockRowView& row) {
  auto& cells = cells_[static_cast<size_t>(r)];
  SetCell(cells[0], row.device, kColorBlack, kColorWindow);
  cells[0]->setAutoFillBackground(false);
  SetCell(cells[1], row.address, kColorBlack, row.color);
  SetCell(cells[2], row.date_time, kColorBlack, row.color);
  SetCell(cells[3], row.deviation, kColorBlack, row.color);
}

void TFormSum_Date_Par::Refresh() {
  const SumDateParModel& m = model_;
  if (m.closed()) {
    if (isVisible()) QDialog::reject();
    return;
  }
  refresh_->setText(QString::fromStdString(m.refresh_caption));
  ShowRow(0, m.pc_row);
  ShowRow(1, m.controller_row);
  for (int k = 0; k < static_cast<int>(m.vrg_rows.size()); ++k) ShowRow(2 + k, m.vrg_rows[k]);
}

void TFormSum_Date_Par::OnTimer() {
  if (host_.Busy()) return;  // the line is in use: the timer fires again
  const QtHost::Operation operation(host_);
  model_.OnTimer();
}

void TFormSum_Date_Par::reject() {
  model_.OnClose();
  QDialog::reject();
}

}  // namespace kvarta::gui
