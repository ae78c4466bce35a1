#include "gui/app/form_frame_monitor.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace kvarta::gui {
namespace {

// Fast enough to follow an exchange, rare enough to cost nothing idle.
constexpr int kPollMs = 200;
constexpr int kColumns = static_cast<int>(FrameColumn::kCount_);

int Col(FrameColumn c) {
  return static_cast<int>(c);
}

QFont FixedFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(9);
  return font;
}

}  // namespace

TFormFrameMonitor::TFormFrameMonitor(FrameLog& log,
                                     std::function<void(const FrameMonitorModel&)> save_as,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(std::make_unique<FrameMonitorModel>(log)),
      save_as_(std::move(save_as)) {
  setObjectName("TFormFrameMonitor");
  setWindowTitle(QString::fromUtf8(kFrameMonitorTitle));
  resize(1040, 560);

  table_ = new QTableWidget(0, kColumns, this);
  table_->setObjectName("FrameTable");
  QStringList titles;
  for (int c = 0; c < kColumns; ++c) {
    titles << QString::fromUtf8(FrameColumnTitle(static_cast<FrameColumn>(c)));
  }
  table_->setHorizontalHeaderLabels(titles);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setWordWrap(false);
  table_->setFont(FixedFont());
  table_->verticalHeader()->setVisible(false);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
  QHeaderView* header = table_->horizontalHeader();
  const QFontMetrics fm(table_->font());
  auto width = [&fm](const char* sample) { return fm.horizontalAdvance(sample) + 16; };
  header->resizeSection(Col(FrameColumn::kTime), width("000000.000"));
  header->resizeSection(Col(FrameColumn::kDirection), width("→"));
  header->resizeSection(Col(FrameColumn::kStart), width("Старт"));
  header->resizeSection(Col(FrameColumn::kAddress), width("Адрес"));
  header->resizeSection(Col(FrameColumn::kLength), width("Длина"));
  header->resizeSection(Col(FrameColumn::kFunction), width("130 (ответ: запись)"));
  header->resizeSection(Col(FrameColumn::kTable), width("Табл."));
  header->resizeSection(Col(FrameColumn::kFirst), width("Поле"));
  header->resizeSection(Col(FrameColumn::kCount), width("Кол."));
  header->resizeSection(Col(FrameColumn::kCrc), width("кадр неполный"));
  header->resizeSection(Col(FrameColumn::kLatency), width("Задержка, мс"));
  header->setSectionResizeMode(Col(FrameColumn::kValues), QHeaderView::Stretch);

  details_ = new QPlainTextEdit(this);
  details_->setObjectName("Details");
  details_->setReadOnly(true);
  details_->setFont(FixedFont());
  details_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  details_->setFixedHeight(details_->fontMetrics().height() * 5 + 12);
  details_->setPlaceholderText("Выберите строку, чтобы увидеть кадр целиком");

  pause_ = new QPushButton("Пауза", this);
  pause_->setObjectName("BtPause");
  pause_->setCheckable(true);
  clear_ = new QPushButton("Очистить", this);
  clear_->setObjectName("BtClear");
  save_ = new QPushButton("Сохранить в файле...", this);
  save_->setObjectName("BtSave");
  close_ = new QPushButton("Закрыть", this);
  close_->setObjectName("BtClose");
  status_ = new QLabel(this);
  status_->setObjectName("Status");

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(pause_);
  buttons->addWidget(clear_);
  buttons->addWidget(save_);
  buttons->addSpacing(12);
  buttons->addWidget(status_, 1);
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  layout->addWidget(details_);
  layout->addLayout(buttons);

  connect(pause_, &QPushButton::toggled, this, [this](bool paused) {
    model_->SetPaused(paused);
    pause_->setText(paused ? "Продолжить" : "Пауза");
    Poll();
  });
  connect(clear_, &QPushButton::clicked, this, [this] {
    model_->Clear();
    table_->setRowCount(0);
    details_->clear();
    Poll();
  });
  connect(save_, &QPushButton::clicked, this, [this] {
    if (save_as_) save_as_(*model_);
  });
  connect(close_, &QPushButton::clicked, this, &QWidget::close);
  connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { ShowDetails(); });

  timer_ = new QTimer(this);
  timer_->setInterval(kPollMs);
  connect(timer_, &QTimer::timeout, this, [this] { Poll(); });
  Poll();
}

TFormFrameMonitor::~TFormFrameMonitor() = default;

void TFormFrameMonitor::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Poll();
  timer_->start();
}

void TFormFrameMonitor::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  timer_->stop();
}

void TFormFrameMonitor::Poll() {
  model_->Update();
  const auto& rows = model_->rows();
  // Rows the model has let go of leave the top; new ones join at the bottom.
  const uint64_t last_shown =
      table_->rowCount() > 0
          ? table_->item(table_->rowCount() - 1, 0)->data(Qt::UserRole).toULongLong()
          : 0;
  size_t first_new = rows.size();
  while (first_new > 0 && rows[first_new - 1].number > last_shown) --first_new;
  const size_t keep_old = first_new;
  QScrollBar* bar = table_->verticalScrollBar();
  const bool at_bottom = bar->value() >= bar->maximum();
  if (first_new < rows.size()) {
    table_->setUpdatesEnabled(false);
    const int drop = table_->rowCount() - static_cast<int>(keep_old);
    for (int i = 0; i < drop; ++i) table_->removeRow(0);
    const QColor sent(0xEE, 0xF4, 0xFF);
    const QColor fault(0xB0, 0x00, 0x00);
    for (size_t i = first_new; i < rows.size(); ++i) {
      const FrameMonitorRow& r = rows[i];
      const int at = table_->rowCount();
      table_->insertRow(at);
      for (int c = 0; c < kColumns; ++c) {
        auto* item = new QTableWidgetItem(QString::fromStdString(r.cells[static_cast<size_t>(c)]));
        if (c == 0) {
          item->setData(Qt::UserRole, static_cast<qulonglong>(r.number));
        }
        if (c == Col(FrameColumn::kValues)) item->setToolTip(QString::fromStdString(r.hex));
        if (r.sent) item->setBackground(sent);
        if (r.fault) item->setForeground(fault);
        if (c != Col(FrameColumn::kValues)) item->setTextAlignment(Qt::AlignCenter);
        table_->setItem(at, c, item);
      }
    }
    table_->setUpdatesEnabled(true);
    if (at_bottom) table_->scrollToBottom();
  }
  status_->setText(QString::fromStdString(model_->StatusText()));
}

void TFormFrameMonitor::ShowDetails() {
  const QList<QTableWidgetItem*> selected = table_->selectedItems();
  if (selected.isEmpty()) {
    details_->clear();
    return;
  }
  const uint64_t number =
      table_->item(selected.front()->row(), 0)->data(Qt::UserRole).toULongLong();
  for (const FrameMonitorRow& r : model_->rows()) {
    if (r.number != number) continue;
    details_->setPlainText(QString::fromStdString(r.cells[Col(FrameColumn::kTime)] + " мс  " +
                                                  (r.sent ? "передано" : "принято") + "\n" + r.hex +
                                                  "\n" + r.decoded));
    return;
  }
}

}  // namespace kvarta::gui
