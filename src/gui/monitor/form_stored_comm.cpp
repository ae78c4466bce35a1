#include "gui/monitor/form_stored_comm.h"

#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>

#include "monitor/stored_comm_model.h"

namespace kvarta::gui {
namespace {

constexpr int kHeaderHeight = 22;
constexpr int kNumberWidth = 28;
constexpr int kNameWidth = 292;
constexpr int kButtonWidth = 150;

}  // namespace

TFormStoredComm::TFormStoredComm(StoredCommModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormStoredComm");
  setWindowTitle(QString::fromUtf8(StoredCommModel::kCaption));
  setModal(true);

  panel_ = new QFrame(this);
  panel_->setObjectName("Panel1");
  panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  grid_ = new QTableWidget(panel_);
  grid_->setObjectName("StringGrid1");
  grid_->setColumnCount(3);
  grid_->setHorizontalHeaderLabels({"№", "Наименование команды", "Объект"});
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(StoredCommModel::kRowHeight + 1);
  grid_->verticalHeader()->setMinimumSectionSize(StoredCommModel::kRowHeight);
  grid_->horizontalHeader()->setFixedHeight(kHeaderHeight);
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setColumnWidth(0, kNumberWidth);
  grid_->setColumnWidth(1, kNameWidth);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setWordWrap(false);

  // The model has filled its rows and sized the window for the grid's top.
  const StoredCommModel& m = model_;
  grid_->setRowCount(static_cast<int>(m.rows.size()));
  for (int r = 0; r < static_cast<int>(m.rows.size()); ++r) {
    const StoredCommRow& row = m.rows[static_cast<size_t>(r)];
    const std::string* cells[3] = {&row.number, &row.name, &row.target};
    for (int c = 0; c < 3; ++c) {
      auto* item = new QTableWidgetItem(QString::fromStdString(*cells[c]));
      item->setToolTip(item->text().trimmed());
      grid_->setItem(r, c, item);
    }
  }
  grid_->setVerticalScrollBarPolicy(m.grid_scroll_bar ? Qt::ScrollBarAlwaysOn
                                                      : Qt::ScrollBarAlwaysOff);
  const int width = StoredCommModel::kWidth;
  const int grid_height = kHeaderHeight + m.grid_height + 2;
  grid_->setGeometry(4, 4, width - 8 - 8, grid_height);
  const int panel_height = 4 + grid_height + 4;
  panel_->setGeometry(4, 4, width - 8, panel_height);
  const int buttons_top = panel_->y() + panel_height + 20;
  setFixedSize(width, buttons_top + 30 + 26);
  move(m.left, m.top);
  if (!m.rows.empty()) grid_->selectRow(m.selected_row);

  const int gap = (width - 3 * kButtonWidth) / 4;
  accept_ = new QPushButton("Принять", this);
  accept_->setObjectName("BitBtn4");
  accept_->setGeometry(gap, buttons_top, kButtonWidth, 30);
  accept_->setDefault(true);
  clear_ = new QPushButton("Очистить список", this);
  clear_->setObjectName("BitBtn1");
  clear_->setGeometry(2 * gap + kButtonWidth, buttons_top, kButtonWidth, 30);
  cancel_ = new QPushButton("Отменить", this);
  cancel_->setObjectName("BitBtn5");
  cancel_->setGeometry(3 * gap + 2 * kButtonWidth, buttons_top, kButtonWidth, 30);
  accept_->setEnabled(!m.rows.empty());

  connect(grid_, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { model_.OnSelectRow(row); });
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    model_.OnSelectRow(row);
    model_.OnAccept();
    Finish();
  });
  connect(accept_, &QPushButton::clicked, this, [this] {
    model_.OnAccept();
    Finish();
  });
  connect(clear_, &QPushButton::clicked, this, [this] {
    model_.OnClear();
    Finish();
  });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    model_.OnCancel();
    Finish();
  });
}

void TFormStoredComm::Finish() {
  if (model_.closed()) done(model_.result());
}

void TFormStoredComm::keyPressEvent(QKeyEvent* event) {
  // "Очистить список" is the window's cancel button: Esc asks the same.
  if (event->key() == Qt::Key_Escape) {
    model_.OnEscape();
    Finish();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TFormStoredComm::reject() {
  // Closing the window by its frame: nothing chosen.
  if (!model_.closed()) model_.OnCancel();
  QDialog::done(model_.result());
}

}  // namespace kvarta::gui
