#include "gui/monitor/form_comm_data.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "gui/monitor/monitor_widgets.h"
#include "monitor/comm_data_model.h"

namespace kvarta::gui {
namespace {

QDate ToDate(const PickerDate& d) {
  return QDate(d.year, d.month, d.day);
}

PickerDate FromDate(const QDate& d) {
  return {d.year(), d.month(), d.day()};
}

QDateEdit* MakePicker(QWidget* parent, const char* name) {
  auto* picker = new QDateEdit(parent);
  picker->setObjectName(name);
  picker->setCalendarPopup(true);
  picker->setDisplayFormat("dd.MM.yyyy");
  picker->setMinimumDate(ToDate(CommDataModel::kEarliestDate));
  picker->setMaximumDate(ToDate(CommDataModel::kLatestDate));
  return picker;
}

QComboBox* MakeHours(QWidget* parent, const char* name) {
  auto* hours = new QComboBox(parent);
  hours->setObjectName(name);
  for (int h = 0; h < 24; ++h) hours->addItem(QString("%1").arg(h, 2, 10, QChar('0')));
  return hours;
}

void Paint(QWidget* w, uint32_t color) {
  w->setStyleSheet(QString("background-color: %1;").arg(WindowColor(color).name()));
}

}  // namespace

TFormComm_Data::TFormComm_Data(CommDataModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormComm_Data");
  setWindowTitle(QString::fromStdString(model.caption));
  setModal(true);
  setFixedSize(CommDataModel::kWidth, CommDataModel::kHeight);

  group_ = new QGroupBox(QString::fromUtf8(CommDataModel::kGroupCaption), this);
  group_->setObjectName("GroupBox1");
  group_->setGeometry(12, 6, CommDataModel::kWidth - 24, 126);
  rb_last_ = new QRadioButton(group_);
  rb_last_->setObjectName("RadioButton1");
  rb_last_->setGeometry(20, 24, 600, 22);
  rb_period_ = new QRadioButton(QString::fromUtf8(CommDataModel::kPeriodCaption), group_);
  rb_period_->setObjectName("RadioButton2");
  rb_period_->setGeometry(20, 52, 200, 22);

  const int row = 86;
  from_ = new QLabel("с", group_);
  from_->setGeometry(44, row + 3, 16, 20);
  td_beg_ = MakePicker(group_, "td_beg");
  td_beg_->setGeometry(64, row, 128, 26);
  cb_beg_ = MakeHours(group_, "cb_beg");
  cb_beg_->setGeometry(200, row, 62, 26);
  hour_beg_ = new QLabel("ч", group_);
  hour_beg_->setGeometry(268, row + 3, 16, 20);
  to_ = new QLabel("по", group_);
  to_->setGeometry(320, row + 3, 24, 20);
  td_end_ = MakePicker(group_, "td_end");
  td_end_->setGeometry(348, row, 128, 26);
  cb_end_ = MakeHours(group_, "cb_end");
  cb_end_->setGeometry(484, row, 62, 26);
  hour_end_ = new QLabel("ч", group_);
  hour_end_->setGeometry(552, row + 3, 16, 20);
  group_->setFixedHeight(row + 26 + 12);

  // The caption names the command and its targets; a long one would be cut
  // in the title bar, so it is repeated here in full.
  title_ = new QLabel(QString::fromStdString(model.caption), this);
  title_->setObjectName("LabelTitle");
  title_->setWordWrap(true);
  title_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QFont small = title_->font();
  small.setPointSizeF(small.pointSizeF() * 0.9);
  title_->setFont(small);
  title_->setGeometry(16, 136, CommDataModel::kWidth - 32, 36);

  apply_ = new QPushButton("Применить", this);
  apply_->setObjectName("BitBtn1");
  apply_->setGeometry(CommDataModel::kWidth / 2 - 150, 178, 130, 30);
  apply_->setDefault(true);
  cancel_ = new QPushButton("Отменить", this);
  cancel_->setObjectName("BitBtn2");
  cancel_->setGeometry(CommDataModel::kWidth / 2 + 20, 178, 130, 30);

  connect(rb_last_, &QRadioButton::clicked, this, [this] {
    model_.OnChooseLast();
    Refresh();
  });
  connect(rb_period_, &QRadioButton::clicked, this, [this] {
    model_.OnChoosePeriod();
    Refresh();
  });
  connect(td_beg_, &QDateEdit::dateChanged, this, [this](const QDate& d) {
    model_.SetBeginDate(FromDate(d));
    Refresh();
  });
  connect(td_end_, &QDateEdit::dateChanged, this, [this](const QDate& d) {
    model_.SetEndDate(FromDate(d));
    Refresh();
  });
  connect(cb_beg_, &QComboBox::currentIndexChanged, this, [this](int h) {
    model_.SetBeginHour(h);
    Refresh();
  });
  connect(cb_end_, &QComboBox::currentIndexChanged, this, [this](int h) {
    model_.SetEndHour(h);
    Refresh();
  });
  connect(apply_, &QPushButton::clicked, this, [this] {
    model_.OnApply();
    if (model_.closed()) accept();
  });
  connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
  Refresh();
}

void TFormComm_Data::Refresh() {
  const CommDataModel& m = model_;
  rb_last_->setText(QString::fromStdString(m.last_caption));
  {
    const QSignalBlocker b1(rb_last_), b2(rb_period_);
    rb_last_->setChecked(m.last_selected);
    rb_period_->setChecked(!m.last_selected);
  }
  {
    const QSignalBlocker b1(td_beg_), b2(td_end_), b3(cb_beg_), b4(cb_end_);
    if (td_beg_->date() != ToDate(m.td_beg)) td_beg_->setDate(ToDate(m.td_beg));
    if (td_end_->date() != ToDate(m.td_end)) td_end_->setDate(ToDate(m.td_end));
    if (cb_beg_->currentIndex() != m.cb_beg) cb_beg_->setCurrentIndex(m.cb_beg);
    if (cb_end_->currentIndex() != m.cb_end) cb_end_->setCurrentIndex(m.cb_end);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{td_beg_, td_end_, cb_beg_, cb_end_, from_, to_,
                                                    hour_beg_, hour_end_}) {
    w->setEnabled(m.period_enabled);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{td_beg_, td_end_, cb_beg_, cb_end_}) {
    Paint(w, m.period_color);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{cb_beg_, cb_end_, hour_beg_, hour_end_}) {
    w->setVisible(m.hour_lists_visible);
  }
}

void TFormComm_Data::reject() {
  if (!model_.closed()) model_.OnCancel();
  QDialog::reject();
}

}  // namespace kvarta::gui
