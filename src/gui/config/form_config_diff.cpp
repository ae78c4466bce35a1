#include "gui/config/form_config_diff.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "app/config_actions.h"

namespace kvarta::gui {

TFormConfigDiff::TFormConfigDiff(const ConfigDiffModel& model, QWidget* parent) : QDialog(parent) {
  setObjectName("TFormConfigDiff");
  setWindowTitle(ConfigDiffModel::kTitle);
  setModal(true);
  setFixedSize(ConfigDiffModel::kWidth, ConfigDiffModel::kHeight);
  const int w = ConfigDiffModel::kWidth;
  const int h = ConfigDiffModel::kHeight;

  auto* file = new QLabel(QString::fromStdString(model.FileLine()), this);
  file->setObjectName("LabelFile");
  file->setGeometry(12, 8, w - 24, 22);

  table_ = new QTableWidget(static_cast<int>(model.differences.size()), 4, this);
  table_->setObjectName("GridDiff");
  table_->setGeometry(12, 34, w - 24, h - 34 - 62);
  QStringList headings;
  for (const char* heading : ConfigDiffModel::kHeadings) headings << heading;
  table_->setHorizontalHeaderLabels(headings);
  table_->verticalHeader()->setVisible(false);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  for (int r = 0; r < static_cast<int>(model.differences.size()); ++r) {
    const ConfigDifference& d = model.differences[r];
    const QString cells[4] = {QString::number(d.table), QString::fromStdString(d.name),
                              QString::fromStdString(d.left), QString::fromStdString(d.right)};
    for (int c = 0; c < 4; ++c) table_->setItem(r, c, new QTableWidgetItem(cells[c]));
  }
  QHeaderView* header = table_->horizontalHeader();
  table_->verticalHeader()->setDefaultSectionSize(24);
  header->setSectionResizeMode(0, QHeaderView::Fixed);
  header->resizeSection(0, 48);
  // Room for the longest names of the description ("schedule.23.server1").
  header->setSectionResizeMode(1, QHeaderView::Fixed);
  header->resizeSection(1, 230);
  header->setSectionResizeMode(2, QHeaderView::Stretch);
  header->setSectionResizeMode(3, QHeaderView::Stretch);

  summary_ = new QLabel(QString::fromStdString(model.Summary()), this);
  summary_->setObjectName("LabelSummary");
  summary_->setGeometry(12, h - 46, w - 180, 26);
  exit_ = new QPushButton("Выход", this);
  exit_->setObjectName("BitBtn1");
  exit_->setGeometry(w - 12 - 140, h - 48, 140, 30);
  exit_->setDefault(true);
  connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kvarta::gui
