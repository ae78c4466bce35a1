#include "gui/connection/form_abonents_list.h"

#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include "connection/abonents_list_model.h"

namespace kvarta::gui {
namespace {

constexpr int kNameColumn = 1;
constexpr int kPhoneColumn = 3;

}  // namespace

TFormAbonents_List::TFormAbonents_List(AbonentsListModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormAbonents_List");
  setWindowTitle(QString::fromUtf8(AbonentsListModel::kTitle));
  setModal(true);
  setFixedSize(AbonentsListModel::kWidth, AbonentsListModel::kHeight);

  grid_ = new QTableWidget(0, 4, this);
  grid_->setObjectName("StringGrid1");
  grid_->setGeometry(8, 8, AbonentsListModel::kWidth - 16, AbonentsListModel::kHeight - 70);
  QStringList headers;
  for (const char* h : AbonentsListModel::kHeaders) headers << QString::fromUtf8(h);
  grid_->setHorizontalHeaderLabels(headers);
  grid_->verticalHeader()->setVisible(false);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setColumnWidth(0, 50);
  grid_->setColumnWidth(1, 290);
  grid_->setColumnWidth(2, 70);
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->horizontalHeader()->setSectionsClickable(true);
  grid_->horizontalHeader()->setHighlightSections(false);

  const int top = AbonentsListModel::kHeight - 48;
  auto button = [this, top](const char* text, const char* name, int left) {
    auto* b = new QPushButton(QString::fromUtf8(text), this);
    b->setObjectName(name);
    b->setGeometry(left, top, 100, 27);
    b->setAutoDefault(false);
    return b;
  };
  edit_ = button("Изменить", "EditButton", 20);
  add_ = button("Добавить", "AddButton", 130);
  delete_ = button("Удалить", "DeleteButton", 240);
  accept_ = button("Принять", "BitBtn1", 450);
  cancel_ = button("Отменить", "BitBtn2", 560);

  connect(grid_, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { model_.OnRowClick(row); });
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    model_.OnRowDoubleClick(row);
    AfterAction();
  });
  connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int column) { OnHeader(column); });
  connect(edit_, &QPushButton::clicked, this, [this] {
    model_.OnEdit();
    AfterAction();
  });
  connect(add_, &QPushButton::clicked, this, [this] {
    model_.OnAdd();
    AfterAction();
  });
  connect(delete_, &QPushButton::clicked, this, [this] {
    model_.OnDelete();
    AfterAction();
  });
  connect(accept_, &QPushButton::clicked, this, [this] {
    model_.OnAccept();
    AfterAction();
  });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    model_.OnCancel();
    AfterAction();
  });
  Refresh();
}

bool TFormAbonents_List::HeaderEnabled(int column) const {
  if (column == kNameColumn) return model_.name_header_enabled;
  if (column == kPhoneColumn) return model_.phone_header_enabled;
  return false;
}

void TFormAbonents_List::OnHeader(int column) {
  if (!HeaderEnabled(column)) return;
  if (column == kNameColumn) model_.OnNameHeader();
  if (column == kPhoneColumn) model_.OnPhoneHeader();
  AfterAction();
}

void TFormAbonents_List::Refresh() {
  const QSignalBlocker block(grid_);
  const int rows = static_cast<int>(model_.cells.size());
  grid_->setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < 4; ++c) {
      const QString text =
          QString::fromStdString(model_.cells[static_cast<size_t>(r)][static_cast<size_t>(c)]);
      QTableWidgetItem* item = grid_->item(r, c);
      if (!item) {
        item = new QTableWidgetItem;
        grid_->setItem(r, c, item);
      }
      if (item->text() != text) item->setText(text);
    }
  }
  if (model_.row >= 0 && model_.row < rows) {
    grid_->setCurrentCell(model_.row, 0);
    grid_->selectRow(model_.row);
  } else {
    grid_->setCurrentCell(-1, -1);
    grid_->clearSelection();
  }
  // The active sort key's header is shown greyed, like a disabled button.
  for (int column : {kNameColumn, kPhoneColumn}) {
    QTableWidgetItem* header = grid_->horizontalHeaderItem(column);
    if (header) {
      header->setForeground(HeaderEnabled(column)
                                ? palette().color(QPalette::ButtonText)
                                : palette().color(QPalette::Disabled, QPalette::ButtonText));
    }
  }
  edit_->setEnabled(model_.edit_enabled);
  add_->setEnabled(model_.add_enabled);
  delete_->setEnabled(model_.delete_enabled);
}

void TFormAbonents_List::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Refresh();
  grid_->setFocus();
}

void TFormAbonents_List::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.accepted() ? Accepted : Rejected);
}

void TFormAbonents_List::reject() {
  // Any close but "Принять" offers to keep the changes.
  if (!model_.closed()) model_.OnClose();
  QDialog::reject();
}

}  // namespace kvarta::gui
