#include "gui/config/form_table_info.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include "config/table_info_model.h"

namespace kvarta::gui {
namespace {

constexpr int kListLeft = 8;
constexpr int kListTop = 46;
constexpr int kNameWidth = 452;
constexpr int kStateWidth = 60;
constexpr int kCheckWidth = 64;
constexpr int kRowsWidth = kNameWidth + kStateWidth + kCheckWidth;  // 576
constexpr int kScrollBarWidth = 18;
constexpr int kButtonBarHeight = 44;
// The design's heights count the title bar and the frame; a Qt window's
// count only what lies inside them.
constexpr int kFrameAllowance = 30;
constexpr const char* kCell = "border: 1px solid #9a9a9a; background: white;";

QLabel* Cell(QWidget* parent, const QString& text, int x, int y, int w, Qt::Alignment align) {
  auto* cell = new QLabel(text, parent);
  cell->setGeometry(x, y, w, TFormTableInfo::kRowHeight);
  cell->setAlignment(align | Qt::AlignVCenter);
  cell->setStyleSheet(kCell);
  return cell;
}

QLabel* Heading(QWidget* parent, const QString& text, int x, int w) {
  auto* heading = new QLabel(text, parent);
  heading->setGeometry(x, 6, w, kListTop - 8);
  heading->setAlignment(Qt::AlignCenter);
  return heading;
}

}  // namespace

TFormTableInfo::TFormTableInfo(TableInfoModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormTableInfo");
  setWindowTitle(TableInfoModel::kTitle);
  setModal(true);

  Heading(this, TableInfoModel::kNameHeading, kListLeft, kNameWidth);
  Heading(this,
          QString("%1\n%2").arg(TableInfoModel::kDestroyedHeading[0],
                                TableInfoModel::kDestroyedHeading[1]),
          kListLeft + kNameWidth, kStateWidth);
  Heading(this,
          QString("%1\n%2").arg(TableInfoModel::kWriteHeading[0], TableInfoModel::kWriteHeading[1]),
          kListLeft + kNameWidth + kStateWidth, kCheckWidth);

  list_ = new QScrollArea(this);
  list_->setObjectName("ScrollBox1");
  list_->setFrameStyle(QFrame::NoFrame);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* rows = new QWidget;
  // Neighbouring rows share their border line.
  const int step = kRowHeight - 1;
  const int k = static_cast<int>(model.rows.size());
  rows->setFixedSize(kRowsWidth, step * k + 1);
  for (int i = 0; i < k; ++i) {
    const TableInfoModel::Row& row = model.rows[i];
    const int y = step * i;
    captions_.push_back(
        Cell(rows, QString::fromStdString(row.caption), 0, y, kNameWidth + 1, Qt::AlignLeft));
    QLabel* state = Cell(rows, QString::fromStdString(row.destroyed_text), kNameWidth, y,
                         kStateWidth + 1, Qt::AlignHCenter);
    if (row.destroyed_red) state->setStyleSheet(QString(kCell) + "color: #d00000;");
    destroyed_.push_back(state);
    Cell(rows, "", kNameWidth + kStateWidth, y, kCheckWidth, Qt::AlignHCenter);
    auto* check = new QCheckBox(rows);
    check->setObjectName(QString("CheckBox%1").arg(row.table));
    check->setGeometry(kNameWidth + kStateWidth + (kCheckWidth - 16) / 2, y + 2, 18,
                       kRowHeight - 4);
    check->setChecked(row.checked);
    check->setEnabled(row.check_enabled);
    connect(check, &QCheckBox::toggled, this, [this, i](bool on) {
      model_.OnCheck(i, on);
      checks_[i]->setChecked(model_.rows[i].checked);
    });
    checks_.push_back(check);
  }
  list_->setWidget(rows);

  // The rule of the sizes lives in the model.
  const TableInfoSizing sizing = model.Sizing(kRowHeight, kListTop, kButtonBarHeight);
  int list_height = 0;
  int bar_top = 0;
  int height = 0;
  if (sizing.shrunk) {
    list_height = sizing.list_height;
    bar_top = sizing.button_bar_top;
    height = sizing.window_height - kFrameAllowance;
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  } else {
    height = sizing.window_height - kFrameAllowance;
    bar_top = height - kButtonBarHeight - (TableInfoModel::kButtonBarMargin - kFrameAllowance);
    list_height = bar_top - kListTop;
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll_position_ = sizing.scroll_position;
  }
  list_->setGeometry(kListLeft, kListTop, kRowsWidth + kScrollBarWidth, list_height);
  setFixedSize(TableInfoModel::kWidth, height);

  auto* bar = new QFrame(this);
  bar->setObjectName("Panel1");
  bar->setGeometry(0, bar_top, TableInfoModel::kWidth, kButtonBarHeight);
  write_all_ = new QPushButton("Записать все таблицы", bar);
  write_all_->setObjectName("BitBtn1");
  write_all_->setGeometry(14, 12, 186, 30);
  write_selected_ = new QPushButton("Записать избранные таблицы", bar);
  write_selected_->setObjectName("BitBtn2");
  write_selected_->setGeometry(210, 12, 220, 30);
  exit_ = new QPushButton("Выход", bar);
  exit_->setObjectName("BitBtn3");
  exit_->setGeometry(TableInfoModel::kWidth - 14 - 150, 12, 150, 30);
  for (QPushButton* b : {write_all_, write_selected_, exit_}) b->setAutoDefault(false);

  connect(write_all_, &QPushButton::clicked, this, [this] {
    model_.OnWriteAll();
    CloseIfDone();
  });
  connect(write_selected_, &QPushButton::clicked, this, [this] {
    model_.OnWriteSelected();
    CloseIfDone();
  });
  connect(exit_, &QPushButton::clicked, this, [this] {
    model_.OnExit();
    CloseIfDone();
  });
}

void TFormTableInfo::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Top, or down to the first destroyed row when it lies below the rows in sight.
  list_->verticalScrollBar()->setValue(scroll_position_);
}

void TFormTableInfo::CloseIfDone() {
  if (!model_.closed()) return;
  if (model_.result() == kTableStateLeave) {
    reject();
  } else {
    accept();
  }
}

}  // namespace kvarta::gui
