#include "gui/monitor/form_dt.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app/qt_timer.h"
#include "gui/link/qt_host.h"
#include "gui/monitor/monitor_widgets.h"
#include "monitor/clock_windows.h"

namespace kvarta::gui {
namespace {

constexpr int kRowLabelWidth = 110;
constexpr int kCellWidth = 96;
constexpr int kCellHeight = 26;

}  // namespace

TFormDt::TFormDt(DtModel& model, QtHost& host, QWidget* parent)
    : QDialog(parent),
      model_(model),
      host_(host),
      timer_(std::make_unique<QtTimer>(this, DtModel::kTimerMs, "Timer1")) {
  setObjectName("TFormDt");
  setWindowTitle(QString::fromUtf8(DtModel::kCaption));
  setModal(true);
  setFixedSize(DtModel::kWidth, DtModel::kHeight);

  const int x_date = 16 + kRowLabelWidth;
  const int x_time = x_date + kCellWidth + 6;
  MakeHeading(this, "Дата", x_date, 10, kCellWidth, 18);
  MakeHeading(this, "( дд.мм.гг )", x_date, 28, kCellWidth, 18);
  MakeHeading(this, "Время", x_time, 10, kCellWidth, 18);
  MakeHeading(this, "( чч:мм:сс )", x_time, 28, kCellWidth, 18);
  auto* ctl = new QLabel("В контроллере", this);
  ctl->setGeometry(12, 54, kRowLabelWidth, kCellHeight);
  auto* pc = new QLabel("В ЭВМ", this);
  pc->setGeometry(12, 54 + kCellHeight + 8, kRowLabelWidth, kCellHeight);
  ctl_date_ = MakeCell(this, "Label_ctl_date", x_date, 54, kCellWidth, kCellHeight);
  ctl_time_ = MakeCell(this, "Label_ctl_time", x_time, 54, kCellWidth, kCellHeight);
  pc_date_ = MakeCell(this, "Label_pc_date", x_date, 54 + kCellHeight + 8, kCellWidth, kCellHeight);
  pc_time_ = MakeCell(this, "Label_pc_time", x_time, 54 + kCellHeight + 8, kCellWidth, kCellHeight);
  QFont bold = ctl_date_->font();
  bold.setBold(true);
  for (QLabel* cell : {ctl_date_, ctl_time_, pc_date_, pc_time_}) cell->setFont(bold);

  refresh_ = new QPushButton(this);
  refresh_->setObjectName("BitBtn2");
  refresh_->setGeometry(12, DtModel::kHeight - 46, 180, 30);
  exit_ = new QPushButton("Выход", this);
  exit_->setObjectName("BitBtn1");
  exit_->setGeometry(DtModel::kWidth - 12 - 120, DtModel::kHeight - 46, 120, 30);

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
  model_.OnShow();
  Refresh();
}

TFormDt::~TFormDt() {
  model_.on_change = nullptr;
  model_.OnClose();
  model_.SetTimer(nullptr);
}

void TFormDt::Refresh() {
  const DtModel& m = model_;
  if (m.closed()) {
    if (isVisible()) QDialog::reject();
    return;
  }
  refresh_->setText(QString::fromStdString(m.refresh_caption));
  SetCell(ctl_date_, m.controller_date, m.controller_date_color, kColorWindow);
  SetCell(ctl_time_, m.controller_time, m.controller_time_color, kColorWindow);
  SetCell(pc_date_, m.pc_date, kColorBlack, kColorWindow);
  SetCell(pc_time_, m.pc_time, kColorBlack, kColorWindow);
}

void TFormDt::OnTimer() {
  if (host_.Busy()) return;  // the line is in use: the timer fires again
  const QtHost::Operation operation(host_);
  model_.OnTimer();
}

void TFormDt::reject() {
  model_.OnClose();
  QDialog::reject();
}

}  // namespace kvarta::gui
