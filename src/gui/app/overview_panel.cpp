#include "gui/app/overview_panel.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvarta::gui {
namespace {

constexpr int kCardWidth = 620;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

OverviewPanel::OverviewPanel(QWidget* parent) : QWidget(parent) {
  setObjectName("Overview");
  auto* outer = new QHBoxLayout(this);
  outer->addStretch(1);
  auto* card = new QWidget(this);
  card->setMaximumWidth(kCardWidth);
  card->setMinimumWidth(kCardWidth / 2);
  card->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  outer->addWidget(card, 4);
  outer->addStretch(1);

  auto* column = new QVBoxLayout(card);
  column->setContentsMargins(16, 16, 16, 16);
  column->addStretch(1);
  headline_ = new QLabel(card);
  headline_->setObjectName("OverviewHeadline");
  headline_->setWordWrap(true);
  QFont big = headline_->font();
  big.setPointSize(big.pointSize() + 7);
  big.setBold(true);
  headline_->setFont(big);
  subline_ = new QLabel(card);
  subline_->setObjectName("OverviewSubline");
  subline_->setWordWrap(true);
  subline_->setStyleSheet("color: #55606b;");
  column->addWidget(headline_);
  column->addWidget(subline_);
  column->addSpacing(8);

  details_ = new QWidget(card);
  grid_ = new QGridLayout(details_);
  grid_->setContentsMargins(0, 0, 0, 0);
  grid_->setHorizontalSpacing(16);
  grid_->setVerticalSpacing(3);
  grid_->setColumnStretch(1, 1);
  column->addWidget(details_);

  auto* buttons = new QHBoxLayout;
  connect_ = new QPushButton(QString::fromUtf8(kOverviewConnectButton), card);
  connect_->setObjectName("OverviewConnect");
  table_state_ = new QPushButton(QString::fromUtf8(kOverviewTableStateButton), card);
  table_state_->setObjectName("OverviewTableState");
  buttons->addWidget(connect_);
  buttons->addWidget(table_state_);
  buttons->addStretch(1);
  column->addSpacing(8);
  column->addLayout(buttons);
  column->addStretch(2);
  QObject::connect(connect_, &QPushButton::clicked, this, [this] {
    if (on_connect) on_connect();
  });
  QObject::connect(table_state_, &QPushButton::clicked, this, [this] {
    if (on_table_state) on_table_state();
  });
  Show(OverviewModel{});
}

void OverviewPanel::Show(const OverviewModel& model) {
  headline_->setText(Q(model.headline));
  subline_->setText(Q(model.subline));
  subline_->setVisible(!model.subline.empty());
  while (QLayoutItem* item = grid_->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  int row = 0;
  for (const OverviewSection& section : model.sections) {
    auto* title = new QLabel(Q(section.title), details_);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    // Sections apart from each other, the title close to its lines.
    title->setContentsMargins(0, row == 0 ? 0 : 10, 0, 2);
    grid_->addWidget(title, row++, 0, 1, 2);
    for (const OverviewLine& line : section.lines) {
      auto* label = new QLabel(Q(line.label), details_);
      label->setStyleSheet("color: #55606b;");
      label->setContentsMargins(12, 0, 0, 0);
      auto* value = new QLabel(Q(line.value), details_);
      value->setObjectName("OverviewValue");
      value->setProperty("overview_label", Q(line.label));
      value->setWordWrap(true);
      value->setTextInteractionFlags(Qt::TextSelectableByMouse);
      if (line.alert) value->setStyleSheet("color: #c00000;");
      grid_->addWidget(label, row, 0, Qt::AlignTop);
      grid_->addWidget(value, row++, 1);
    }
  }
  details_->setVisible(row > 0);
  connect_->setVisible(model.offer_connect);
  table_state_->setVisible(model.offer_table_state);
}

QString OverviewPanel::Value(const QString& label) const {
  for (const QLabel* value : details_->findChildren<QLabel*>("OverviewValue")) {
    if (value->property("overview_label").toString() == label) return value->text();
  }
  return {};
}

}  // namespace kvarta::gui
