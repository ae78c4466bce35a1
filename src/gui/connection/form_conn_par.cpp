#include "gui/connection/form_conn_par.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "connection/conn_par_model.h"
#include "connection/number_input.h"
#include "gui/connection/key_filter.h"
#include "gui/connection/widget_sync.h"

namespace kvarta::gui {
namespace {

constexpr int kPanelTop = 136;
constexpr int kRowHeight = 23;

QLabel* AddLabel(QWidget* parent, const char* text, int x, int y, int w, int h = 21) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(x, y, w, h);
  return label;
}

QComboBox* AddCombo(QWidget* parent, const char* name, int x, int y, int w) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  combo->setGeometry(x, y, w, kRowHeight);
  return combo;
}

QLineEdit* AddEdit(QWidget* parent, const char* name, int x, int y, int w) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(x, y, w, kRowHeight);
  return edit;
}

QLineEdit* AddNumberEdit(QWidget* parent, const char* name, int x, int y, int w) {
  QLineEdit* edit = AddEdit(parent, name, x, y, w);
  KeyFilter::Install(edit, NumberKeyAllowed);
  return edit;
}

}  // namespace

TFormConn_Par::TFormConn_Par(ConnParModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormConn_Par");
  setModal(true);
  BuildCommon();
  BuildPhonePanel();
  BuildAdapterPanel();
  accept_ = new QPushButton("Принять", this);
  accept_->setObjectName("BitBtn1");
  exit_ = new QPushButton("Выход", this);
  exit_->setObjectName("BitBtn2");
  for (QPushButton* b : {accept_, exit_}) b->setAutoDefault(false);
  Connect();
  Refresh();
}

void TFormConn_Par::BuildCommon() {
  AddLabel(this, "Порт подключения", 16, 14, 180);
  port_ = AddCombo(this, "PortList", 196, 14, 90);
  AddLabel(this, "Скорость обмена", 300, 14, 196);
  rate_ = AddCombo(this, "RateList", 500, 14, 84);
  AddLabel(this, "Время ожидания первого\nбайта ответа (1...120)", 16, 46, 180, 36);
  first_wait_ = AddNumberEdit(this, "FirstWaitEdit", 196, 52, 90);
  AddLabel(this, "Время ожидания следующих\nбайтов ответа (55...5000)", 300, 46, 196, 36);
  next_wait_ = AddNumberEdit(this, "NextWaitEdit", 500, 52, 84);
  AddLabel(this, "Количество преамбул\nв запросе (0...255)", 16, 90, 180, 36);
  preambles_ = AddNumberEdit(this, "PreamblesEdit", 196, 96, 90);
  AddLabel(this, "Количество попыток обмена", 300, 96, 196);
  attempts_ = AddCombo(this, "AttemptsList", 500, 96, 84);
}

void TFormConn_Par::BuildPhonePanel() {
  phone_panel_ = new QFrame(this);
  phone_panel_->setObjectName("PhonePanel");
  phone_panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  phone_panel_->setGeometry(8, kPanelTop, 582, 196);
  QWidget* p = phone_panel_;
  AddLabel(p, "Команда модему", 8, 10, 180);
  command_ = AddEdit(p, "CommandEdit", 188, 10, 380);
  AddLabel(p, "Ожидание соединения\n(1...360)", 8, 42, 180, 36);
  connect_wait_ = AddEdit(p, "ConnectWaitEdit", 188, 48, 90);
  AddLabel(p, "Кол. попыток соединения\n(1...10)", 302, 42, 180, 36);
  connect_attempts_ = AddEdit(p, "ConnectAttemptsEdit", 478, 48, 90);
  AddLabel(p, "Абонент", 8, 94, 180);
  subscriber_ = AddCombo(p, "SubscriberList", 188, 94, 250);
  phone_book_ = new QPushButton("Список абонентов", p);
  phone_book_->setObjectName("PhoneBookButton");
  phone_book_->setGeometry(448, 92, 120, 27);
  phone_book_->setAutoDefault(false);
  AddLabel(p, "№ телефона", 8, 130, 180);
  phone_number_ = AddEdit(p, "PhoneNumberEdit", 188, 130, 250);
  phone_number_->setReadOnly(true);
}

void TFormConn_Par::BuildAdapterPanel() {
  adapter_panel_ = new QFrame(this);
  adapter_panel_->setObjectName("AdapterPanel");
  adapter_panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  adapter_panel_->setGeometry(8, kPanelTop, 582, 288);
  QWidget* p = adapter_panel_;
  AddLabel(p, "Номер линии", 8, 10, 180);
  line_num_ = AddCombo(p, "LineNumList", 188, 10, 90);
  AddLabel(p, "Скорость обмена\nмежду адаптерами", 302, 4, 170, 36);
  adapter_rate_ = AddCombo(p, "AdapterRateList", 472, 10, 100);
  AddLabel(p, "Коэффициент усиления\nвыходного сигнала", 8, 42, 180, 36);
  k_output_ = AddCombo(p, "KOutputList", 188, 48, 90);
  AddLabel(p, "Коэффициент усиления\nвходного сигнала", 302, 42, 170, 36);
  k_input_ = AddCombo(p, "KInputList", 472, 48, 100);
  AddLabel(p, "Радиосвязь между адаптерами", 8, 90, 300);
  radio_ = AddCombo(p, "RadioList", 302, 90, 170);
  AddLabel(p, "Генерация лидирующей частоты", 8, 122, 300);
  lider_ = AddCombo(p, "LiderList", 302, 122, 170);
  AddLabel(p, "Коррекция разности частот кварцев", 8, 154, 300);
  correction_ = AddCombo(p, "CorrectionList", 302, 154, 170);
  unit_label_ = AddLabel(p, "Коррекция разности частот производится", 8, 186, 300);
  unit_ = AddCombo(p, "UnitList", 302, 186, 170);
  value_label_ = AddLabel(p, "Значение для коррекции разности частот", 8, 218, 300);
  value_ = AddNumberEdit(p, "CorrectionValueEdit", 302, 218, 90);
  range_label_ = AddLabel(p, "", 400, 218, 176);
  range_label_->setObjectName("RangeLabel");
  plus_ = new QRadioButton("Плюс", p);
  plus_->setObjectName("PlusButton");
  plus_->setGeometry(302, 252, 80, 21);
  minus_ = new QRadioButton("Минус", p);
  minus_->setObjectName("MinusButton");
  minus_->setGeometry(400, 252, 80, 21);
  auto* group = new QButtonGroup(p);
  group->addButton(plus_);
  group->addButton(minus_);
}

void TFormConn_Par::Connect() {
  ConnParModel& m = model_;
  auto on_edit = [this](QLineEdit* edit, EditBox& box) {
    connect(edit, &QLineEdit::textEdited, this, [this, &box](const QString& t) {
      box.SetText(Utf8(t));
      Refresh();
    });
  };
  on_edit(first_wait_, m.first_wait);
  on_edit(next_wait_, m.next_wait);
  on_edit(preambles_, m.preambles);
  on_edit(command_, m.command);
  on_edit(connect_wait_, m.connect_wait);
  on_edit(connect_attempts_, m.connect_attempts);
  on_edit(value_, m.correction_value);

  auto on_choose = [this](QComboBox* combo, auto handler) {
    connect(combo, &QComboBox::activated, this, [this, handler](int i) {
      handler(i);
      AfterAction();
    });
  };
  on_choose(port_, [&m](int i) { m.port.Select(i); });
  on_choose(rate_, [&m](int i) { m.rate.Select(i); });
  on_choose(attempts_, [&m](int i) { m.OnAttemptsChange(i); });
  on_choose(subscriber_, [&m](int i) { m.OnSubscriberChoose(i); });
  on_choose(line_num_, [&m](int i) { m.line_num.Select(i); });
  on_choose(adapter_rate_, [&m](int i) { m.adapter_rate.Select(i); });
  on_choose(k_output_, [&m](int i) { m.k_output.Select(i); });
  on_choose(k_input_, [&m](int i) { m.k_input.Select(i); });
  on_choose(radio_, [&m](int i) { m.radio.Select(i); });
  on_choose(lider_, [&m](int i) { m.lider.Select(i); });
  on_choose(correction_, [&m](int i) { m.OnCorrectionChange(i); });
  on_choose(unit_, [&m](int i) { m.OnUnitChange(i); });

  auto on_click = [this](QAbstractButton* button, auto handler) {
    connect(button, &QAbstractButton::clicked, this, [this, handler] {
      handler();
      AfterAction();
    });
  };
  on_click(plus_, [&m] { m.OnPlus(); });
  on_click(minus_, [&m] { m.OnMinus(); });
  on_click(phone_book_, [&m] { m.OnPhoneBookButton(); });
  on_click(accept_, [&m] { m.OnAccept(); });
  on_click(exit_, [&m] { m.OnExit(); });
}

void TFormConn_Par::Refresh() {
  const ConnParModel& m = model_;
  setWindowTitle(QString::fromStdString(m.title));
  if (m.height > 0 && height() != m.height) setFixedSize(ConnParModel::kWidth, m.height);
  const int buttons_top = m.height - 40;
  accept_->setGeometry(ConnParModel::kWidth / 2 - 130, buttons_top, 110, 27);
  exit_->setGeometry(ConnParModel::kWidth / 2 + 20, buttons_top, 110, 27);

  SyncCombo(port_, m.port);
  FitPopupToItems(port_);
  SyncCombo(rate_, m.rate);
  SyncEdit(first_wait_, m.first_wait);
  SyncEdit(next_wait_, m.next_wait);
  SyncEdit(preambles_, m.preambles);
  SyncCombo(attempts_, m.attempts);

  phone_panel_->setVisible(m.phone_panel_visible);
  SyncEdit(command_, m.command);
  SyncEdit(connect_wait_, m.connect_wait);
  SyncEdit(connect_attempts_, m.connect_attempts);
  SyncCombo(subscriber_, m.subscriber.list);
  SyncText(phone_number_, m.phone_number);

  adapter_panel_->setVisible(m.adapter_panel_visible);
  SyncCombo(line_num_, m.line_num);
  SyncCombo(adapter_rate_, m.adapter_rate);
  SyncCombo(k_output_, m.k_output);
  SyncCombo(k_input_, m.k_input);
  SyncCombo(radio_, m.radio);
  SyncCombo(lider_, m.lider);
  SyncCombo(correction_, m.correction);
  SyncCombo(unit_, m.correction_unit);
  unit_label_->setEnabled(m.correction_unit_label_enabled);
  value_label_->setEnabled(m.correction_value_label_enabled);
  range_label_->setEnabled(m.range_label_enabled);
  SyncLabel(range_label_, m.range_text);
  SyncEdit(value_, m.correction_value);
  {
    const QSignalBlocker block_plus(plus_);
    const QSignalBlocker block_minus(minus_);
    plus_->setChecked(m.plus_checked);
    minus_->setChecked(m.minus_checked);
  }
  plus_->setEnabled(m.plus_enabled);
  minus_->setEnabled(m.minus_enabled);
}

void TFormConn_Par::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Refresh();
  port_->setFocus();
}

void TFormConn_Par::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.accepted() ? Accepted : Rejected);
}

void TFormConn_Par::reject() {
  if (!model_.closed()) model_.OnExit();
  QDialog::reject();
}

}  // namespace kvarta::gui
