#include "gui/config/form_con_vu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

#include "config/con_vu_model.h"
#include "connection/number_input.h"
#include "gui/config/param_form_parts.h"
#include "gui/connection/key_filter.h"

namespace kvarta::gui {
namespace {

constexpr int kCellWidth = 25;
constexpr int kRowHeadWidth = 52;

}  // namespace

TFormConVU::TFormConVU(ConVuModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName("TFormConVU");
  setModal(true);
  setWindowTitle(Q(ConVuModel::kTitle));
  setFixedSize(ConVuModel::kWidth, ConVuModel::kHeight);

  PlaceLabel(this, "Адрес контроллера", 16, 18, 230);
  address_ = PlaceCombo(this, "CBAdr", 250, 16, 80, true);
  KeyFilter::Install(address_->lineEdit(), NumberKeyAllowed);
  address_->lineEdit()->setMaxLength(3);
  PlaceLabel(this, "Кол. преамбул при ответе ВУ\n(0 - 255)", 16, 50, 230, 36);
  preambles_ = PlaceNumberEdit(this, "EdPreambles", 250, 56, 80);
  PlaceLabel(this, "Кол. попыток доставки данных\nучета газа ВРГ на ВУ в серии\n(1 - 5)", 16, 92,
             230, 52);
  attempts_ = PlaceCombo(this, "CBAttempts", 250, 106, 80);
  PlaceLabel(this, " Количество серверов\nдля посылки данных", 16, 152, 230, 36);
  servers_ = PlaceCombo(this, "CBServers", 250, 158, 80);
  PlaceLabel(this, "Длительность ожидания\nответа от ВУ  (1 -30)", 16, 196, 230, 36);
  answer_wait_ = PlaceNumberEdit(this, "EdAnswerWait", 250, 202, 80);
  PlaceLabel(this, "c", 336, 204, 20);

  PlaceLabel(this, "Наименование контроллера\n(до 17 символов)", 384, 12, 190, 36);
  name_ = PlaceEdit(this, "EdName", 576, 18, 172);
  name_->setMaxLength(17);
  use_schedule_ =
      PlaceCheck(this, "CBSchedule", "Необходимость использования\nрасписания для посылки данных.",
                 384, 64, 250, 40);
  schedule_ = PlaceButton(this, "BtSchedule", "Расписание", 640, 70, 108);
  server1_ =
      PlaceCheck(this, "CBServer1", "Необходимость посылки\nданных на сервер 1", 384, 120, 250, 40);
  server2_ =
      PlaceCheck(this, "CBServer2", "Необходимость посылки\nданных на сервер 2", 384, 170, 250, 40);

  write_ = PlaceButton(this, "BitBtn1", "Записать в устройство", 210, 260, 170);
  accept_ = PlaceButton(this, "BitBtn3", "Принять", 210, 260, 170);
  cancel_ = PlaceButton(this, "BitBtn2", "Отменить", 400, 260, 140);

  ConVuModel& m = model_;
  connect(address_->lineEdit(), &QLineEdit::textEdited, this,
          [&m](const QString& t) { m.OnAddressText(t.toStdString()); });
  auto on_choose = [this](QComboBox* combo, auto handler) {
    connect(combo, &QComboBox::activated, this, [this, handler](int i) {
      handler(i);
      AfterAction();
    });
  };
  on_choose(address_, [&m](int i) { m.OnAddressChoose(i); });
  on_choose(attempts_, [&m](int i) { m.OnAttemptsChange(i); });
  on_choose(servers_, [&m](int i) { m.OnServersChange(i); });
  auto on_edit = [this](QLineEdit* edit, EditControl& box) {
    connect(edit, &QLineEdit::textEdited, this,
            [&box](const QString& t) { box.SetText(t.toStdString()); });
  };
  on_edit(preambles_, m.preambles);
  on_edit(answer_wait_, m.answer_wait);
  on_edit(name_, m.name);
  auto on_check = [this](QCheckBox* check, auto handler) {
    connect(check, &QCheckBox::clicked, this, [this, handler](bool on) {
      handler(on);
      AfterAction();
    });
  };
  on_check(use_schedule_, [&m](bool on) { m.OnScheduleCheck(on); });
  on_check(server1_, [&m](bool on) { m.OnServer1Check(on); });
  on_check(server2_, [&m](bool on) { m.OnServer2Check(on); });
  auto on_click = [this](QPushButton* button, auto handler) {
    connect(button, &QPushButton::clicked, this, [this, handler] {
      handler();
      AfterAction();
    });
  };
  on_click(schedule_, [&m] { m.OnSchedule(); });
  on_click(write_, [&m] { m.OnAccept(); });
  on_click(accept_, [&m] { m.OnAccept(); });
  on_click(cancel_, [&m] { m.OnCancel(); });
  Refresh();
}

void TFormConVU::Refresh() {
  const ConVuModel& m = model_;
  SyncEditable(address_, m.address, m.address_text.text);
  Sync(preambles_, m.preambles);
  Sync(attempts_, m.attempts);
  Sync(servers_, m.servers);
  Sync(answer_wait_, m.answer_wait);
  Sync(name_, m.name);
  SyncChecked(use_schedule_, m.use_schedule, true);
  schedule_->setEnabled(m.schedule_button_enabled);
  SyncChecked(server1_, m.send_server1, true);
  SyncChecked(server2_, m.send_server2, m.send_server2_enabled);
  const bool device = m.mode() == EditorMode::kDevice;
  write_->setVisible(device);
  accept_->setVisible(!device);
}

void TFormConVU::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.changed() ? Accepted : Rejected);
}

void TFormConVU::reject() {
  if (!model_.closed()) model_.OnCancel();
  QDialog::reject();
}

TFormData_Timing::TFormData_Timing(DataTimingModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormData_Timing");
  setModal(true);
  setWindowTitle(Q(DataTimingModel::kTitle));
  setFixedSize(DataTimingModel::kWidth, DataTimingModel::kHeight);

  const char* const titles[] = {" Тип данных, требуемых к отправке на сервер 1 ",
                                " Тип данных, требуемых к отправке на сервер 2 ",
                                " Состояние модема в течение часа  (0 – выключен, 1 – включен) "};
  const char* const rows[] = {"Данные", "Данные", "Сост."};
  const char* const names[] = {"GridServer1", "GridServer2", "GridModem"};
  for (int g = 0; g < DataTimingModel::kGridCount; ++g) {
    auto* box = new QGroupBox(QString::fromUtf8(titles[g]), this);
    box->setGeometry(8, 6 + 84 * g, 672, 80);
    auto* grid = new QTableWidget(1, DataTimingModel::kHours, box);
    grid->setObjectName(names[g]);
    grid->setGeometry(8, 22, 656, 50);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->verticalHeader()->setFixedWidth(kRowHeadWidth);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setMinimumSectionSize(kCellWidth);
    grid->setVerticalHeaderItem(0, new QTableWidgetItem(QString::fromUtf8(rows[g])));
    for (int h = 0; h < DataTimingModel::kHours; ++h) {
      grid->setHorizontalHeaderItem(h, new QTableWidgetItem(Q(DataTimingModel::HourHeading(h))));
      grid->setColumnWidth(h, kCellWidth);
      grid->setItem(0, h, new QTableWidgetItem);
    }
    const auto which = static_cast<DataTimingModel::Grid>(g);
    connect(grid, &QTableWidget::cellClicked, this, [this, which](int, int hour) {
      model_.OnCellClick(which, hour);
      Refresh();
    });
    grids_[static_cast<size_t>(g)] = grid;
  }
  PlaceLabel(this, "Возможные значения типа данных:", 16, 262, 650);
  PlaceLabel(this, "0 - Не отправлять данные.", 32, 284, 630);
  PlaceLabel(this, "1 - Отправлять данные за последние закончившиеся сутки,", 32, 306, 630);
  PlaceLabel(this,
             "2 - Отправлять данные за незакончившиеся сутки\n"
             "     включая часовые данные за 24 часа этих суток",
             32, 328, 630, 38);
  auto* hint = PlaceLabel(this, "Изменение значения признака - щелчок левой клавишей \"мыши\" ", 16,
                          380, 650);
  hint->setStyleSheet("color: #000080;");

  accept_ = PlaceButton(this, "BitBtn1", "Принять", 200, 440, 130);
  cancel_ = PlaceButton(this, "BitBtn2", "Отменить", 358, 440, 130);
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

void TFormData_Timing::Refresh() {
  const DataTimingModel& m = model_;
  for (int g = 0; g < DataTimingModel::kGridCount; ++g) {
    QTableWidget* grid = grids_[static_cast<size_t>(g)];
    const bool enabled = g != DataTimingModel::kServer2 || m.server2_enabled;
    grid->setEnabled(enabled);
    const QColor text = enabled ? palette().color(QPalette::WindowText)
                                : QColor(ColourName(DataTimingModel::kGreyText));
    for (int h = 0; h < DataTimingModel::kHours; ++h) {
      QTableWidgetItem* item = grid->item(0, h);
      item->setText(Q(m.cells[static_cast<size_t>(g)][static_cast<size_t>(h)]));
      item->setForeground(text);
    }
  }
}

void TFormData_Timing::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.accepted() ? Accepted : Rejected);
}

void TFormData_Timing::reject() {
  if (!model_.closed()) model_.OnCancel();
  QDialog::reject();
}

}  // namespace kvarta::gui
