#include "gui/config/form_vrg_par.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include "config/vrg_par_model.h"
#include "connection/number_input.h"
#include "gui/config/param_form_parts.h"
#include "gui/connection/key_filter.h"

namespace kvarta::gui {
namespace {

constexpr int kGridLeft = 396;
constexpr int kGridTop = 42;
constexpr int kGridWidth = 408;
constexpr int kColumns = 7;
constexpr int kColumnWidths[kColumns] = {36, 68, 52, 44, 72, 66, 66};
const char* const kHeadings[kColumns] = {
    "№\nВРГ", "Группа\nадресов", "Адрес", "Кол.\nниток", "Канал\nсвязи", "Серв. №1", "Серв. №2"};

QTableWidgetItem* Cell(const std::string& text) {
  auto* item = new QTableWidgetItem(Q(text));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

}  // namespace

TFormVRG_Par::TFormVRG_Par(VrgParModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName("TFormVRG_Par");
  setModal(true);
  setWindowTitle(Q(VrgParModel::kTitle));
  setFixedSize(VrgParModel::kWidth, VrgParModel::kHeight);

  PlaceLabel(this, "Количество ВРГ", 10, 16, 250);
  vrg_count_ = PlaceCombo(this, "CBVrgCount", 262, 14, 60);
  PlaceLabel(this, "Количество преамбул в запросе\n(0...255)", 10, 46, 250, 36);
  preambles_ = PlaceNumberEdit(this, "EdPreambles", 262, 52, 60);
  PlaceLabel(this, "Длительность ожидания ответа\n(1...255) ", 10, 86, 250, 36);
  answer_wait_ = PlaceNumberEdit(this, "EdAnswerWait", 262, 92, 60);
  PlaceLabel(this, "дс", 328, 94, 40);
  PlaceLabel(
      this,
      "Количество неудачных обменов\nподряд, после которого создается\nдиагностическое сообщение",
      10, 124, 250, 52);
  failed_exchanges_ = PlaceCombo(this, "CBFailed", 262, 138, 60);
  speed_label_ =
      PlaceLabel(this, "Скорость обмена с ВРГ по каналу св.\nс физическим интерфейсом 0 (RS232)",
                 10, 182, 250, 36);
  speed_ = PlaceCombo(this, "CBSpeed", 262, 188, 80);
  speed_unit_ = PlaceLabel(this, "бит/с", 346, 190, 46);
  PlaceLabel(this, "Задержка от начала часа \nотправки данных ВРГ на сервер", 10, 224, 250, 36);
  send_delay_ = PlaceCombo(this, "CBDelay", 262, 230, 60);
  PlaceLabel(this, "мин", 328, 232, 40);

  // The two server columns share one heading above the grid's own.
  auto* over = PlaceLabel(this, "Необх. сообщений", kGridLeft + kGridWidth - 136, 20, 134, 22);
  over->setAlignment(Qt::AlignCenter);
  over->setFrameStyle(QFrame::Box | QFrame::Plain);
  grid_ = new QTableWidget(0, kColumns, this);
  grid_->setObjectName("StringGrid1");
  grid_->setGeometry(kGridLeft, kGridTop, kGridWidth, 196);
  grid_->verticalHeader()->setVisible(false);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->horizontalHeader()->setMinimumHeight(40);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  for (int c = 0; c < kColumns; ++c) {
    grid_->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(kHeadings[c])));
    grid_->setColumnWidth(c, kColumnWidths[c]);
  }

  edit_ = PlaceButton(this, "BtEdit", "Изменить", kGridLeft, 246, 120);
  write_ = PlaceButton(this, "BitBtn1", "Записать в устройство", 240, 296, 170);
  accept_ = PlaceButton(this, "BitBtn3", "Принять", 240, 296, 170);
  cancel_ = PlaceButton(this, "BitBtn2", "Отменить", 430, 296, 140);

  VrgParModel& m = model_;
  auto on_choose = [this](QComboBox* combo, auto handler) {
    connect(combo, &QComboBox::activated, this, [this, handler](int i) {
      handler(i);
      AfterAction();
    });
  };
  on_choose(vrg_count_, [&m](int i) { m.OnVrgCountChange(i); });
  on_choose(speed_, [&m](int i) { m.OnSpeedChange(i); });
  on_choose(failed_exchanges_, [&m](int i) { m.failed_exchanges.Select(i); });
  on_choose(send_delay_, [&m](int i) { m.send_delay.Select(i); });
  connect(preambles_, &QLineEdit::textEdited, this,
          [&m](const QString& t) { m.preambles.SetText(t.toStdString()); });
  connect(answer_wait_, &QLineEdit::textEdited, this,
          [&m](const QString& t) { m.answer_wait.SetText(t.toStdString()); });
  connect(grid_, &QTableWidget::cellClicked, this, [&m](int row, int) { m.current_row = row; });
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this, &m](int row, int) {
    m.OnEdit(row);
    AfterAction();
  });
  connect(edit_, &QPushButton::clicked, this, [this, &m] {
    m.OnEdit(m.current_row);
    AfterAction();
  });
  for (QPushButton* b : {write_, accept_}) {
    connect(b, &QPushButton::clicked, this, [this, &m] {
      m.OnAccept();
      AfterAction();
    });
  }
  connect(cancel_, &QPushButton::clicked, this, [this, &m] {
    m.OnCancel();
    AfterAction();
  });
  Refresh();
}

void TFormVRG_Par::Refresh() {
  const VrgParModel& m = model_;
  Sync(vrg_count_, m.vrg_count);
  Sync(preambles_, m.preambles);
  Sync(answer_wait_, m.answer_wait);
  Sync(failed_exchanges_, m.failed_exchanges);
  Sync(speed_, m.speed);
  speed_label_->setEnabled(m.speed.enabled);
  speed_unit_->setEnabled(m.speed.enabled);
  Sync(send_delay_, m.send_delay);
  grid_->horizontalHeaderItem(kColumns - 1)
      ->setForeground(m.server2_heading_grey ? QColor(ColourName(VrgParModel::kGreyText))
                                             : palette().color(QPalette::WindowText));
  {
    const QSignalBlocker block(grid_);
    grid_->setRowCount(static_cast<int>(m.rows.size()));
    for (int r = 0; r < static_cast<int>(m.rows.size()); ++r) {
      const VrgParModel::Row& row = m.rows[static_cast<size_t>(r)];
      const std::string* cells[kColumns] = {&row.number, &row.group,   &row.address, &row.runs,
                                            &row.line,   &row.server1, &row.server2};
      for (int c = 0; c < kColumns; ++c) grid_->setItem(r, c, Cell(*cells[c]));
    }
    if (!m.rows.empty()) grid_->selectRow(m.current_row);
  }
  edit_->setEnabled(!m.rows.empty());
  const bool device = m.mode() == EditorMode::kDevice;
  write_->setVisible(device);
  accept_->setVisible(!device);
}

void TFormVRG_Par::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.changed() ? Accepted : Rejected);
}

void TFormVRG_Par::reject() {
  if (!model_.closed()) model_.OnCancel();
  QDialog::reject();
}

TFormVRG_Conf::TFormVRG_Conf(VrgConfModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormVRG_Conf");
  setModal(true);
  setWindowTitle(Q(model.title));
  setFixedSize(VrgConfModel::kWidth, VrgConfModel::kHeight);

  PlaceLabel(this, "Адрес", 16, 18, 200);
  address_ = PlaceCombo(this, "CBAdr", 216, 16, 90, true);
  KeyFilter::Install(address_->lineEdit(), NumberKeyAllowed);
  address_->lineEdit()->setMaxLength(3);
  PlaceLabel(this, "Номер группы адресов\n(0...16777215)", 16, 52, 200, 36);
  group_ = PlaceNumberEdit(this, "EdGroup", 216, 58, 90);
  PlaceLabel(this, "Тип физического интерфейса\nканала связи", 16, 98, 200, 36);
  line_ = PlaceCombo(this, "CBInterface", 216, 104, 100);

  PlaceLabel(this, "Количество ниток,\nкоторое обслуживает  ВРГ", 346, 10, 190, 36);
  runs_ = PlaceCombo(this, "CBRuns", 540, 18, 110);
  PlaceLabel(this, "Необходимость отправки\nданных ВРГ на сервер №1", 346, 52, 190, 36);
  server1_ = PlaceCombo(this, "CBServer1", 540, 58, 110);
  server2_label_ =
      PlaceLabel(this, "Необходимость отправки\nданных ВРГ на сервер №2", 346, 98, 190, 36);
  server2_ = PlaceCombo(this, "CBServer2", 540, 104, 110);

  accept_ = PlaceButton(this, "BitBtn1", "Принять", 190, 180, 130);
  cancel_ = PlaceButton(this, "BitBtn2", "Отменить", 350, 180, 130);

  VrgConfModel& m = model_;
  connect(address_->lineEdit(), &QLineEdit::textEdited, this,
          [&m](const QString& t) { m.OnAddressText(t.toStdString()); });
  connect(address_, &QComboBox::activated, this, [this, &m](int i) {
    m.OnAddressChoose(i);
    Refresh();
  });
  connect(group_, &QLineEdit::textEdited, this,
          [&m](const QString& t) { m.group.SetText(t.toStdString()); });
  auto on_choose = [this](QComboBox* combo, ComboControl& list) {
    connect(combo, &QComboBox::activated, this, [this, &list](int i) {
      list.Select(i);
      Refresh();
    });
  };
  on_choose(line_, m.line);
  on_choose(runs_, m.runs);
  on_choose(server1_, m.server1);
  on_choose(server2_, m.server2);
  connect(accept_, &QPushButton::clicked, this, [this, &m] {
    m.OnAccept();
    AfterAction();
  });
  connect(cancel_, &QPushButton::clicked, this, [this, &m] {
    m.OnCancel();
    AfterAction();
  });
  Refresh();
}

void TFormVRG_Conf::Refresh() {
  const VrgConfModel& m = model_;
  SyncEditable(address_, m.address, m.address_text.text);
  Sync(group_, m.group);
  Sync(line_, m.line);
  Sync(runs_, m.runs);
  Sync(server1_, m.server1);
  Sync(server2_, m.server2);
  server2_label_->setEnabled(m.server2_label_enabled);
}

void TFormVRG_Conf::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.accepted() ? Accepted : Rejected);
}

void TFormVRG_Conf::reject() {
  if (!model_.closed()) model_.OnCancel();
  QDialog::reject();
}

}  // namespace kvarta::gui
