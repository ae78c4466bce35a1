#include "gui/connection/form_connect.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "connection/connect_model.h"
#include "gui/connection/widget_sync.h"

namespace kvarta::gui {
namespace {

QPushButton* AddButton(QWidget* parent, const char* text, const char* name, int x, int y, int w) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(name);
  button->setGeometry(x, y, w, 27);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TFormConnect::TFormConnect(ConnectModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName("TFormConnect");
  setWindowTitle("Установка связи с устройством");
  setModal(true);
  setFixedSize(ConnectModel::kWidth, ConnectModel::kHeight);

  (new QLabel("Тип связи", this))->setGeometry(16, 16, 150, 21);
  kind_ = new QComboBox(this);
  kind_->setObjectName("KindList");
  kind_->setGeometry(170, 16, 254, 23);
  (new QLabel("Адрес устройства", this))->setGeometry(16, 52, 150, 21);
  address_ = new QComboBox(this);
  address_->setObjectName("AddressList");
  address_->setEditable(true);
  address_->setInsertPolicy(QComboBox::NoInsert);
  address_->setGeometry(170, 52, 90, 23);

  direct_panel_ = new QFrame(this);
  direct_panel_->setObjectName("DirectPanel");
  direct_panel_->setGeometry(8, 88, 424, 96);
  search_ = AddButton(direct_panel_, "Поиск параметров связи", "SearchButton", 8, 14, 200);
  imitation_ = AddButton(direct_panel_, "Имитация модема", "ImitationButton", 216, 14, 200);

  phone_panel_ = new QFrame(this);
  phone_panel_->setObjectName("PhonePanel");
  phone_panel_->setGeometry(8, 88, 424, 96);
  (new QLabel("Абонент", phone_panel_))->setGeometry(8, 8, 150, 21);
  subscriber_ = new QComboBox(phone_panel_);
  subscriber_->setObjectName("SubscriberList");
  subscriber_->setGeometry(162, 8, 254, 23);
  subscriber_list_ =
      AddButton(phone_panel_, "Список абонентов", "SubscriberListButton", 162, 44, 254);

  change_ = AddButton(this, "Изменить параметры связи", "ChangeParamsButton", 16, 196, 408);
  connect_ = AddButton(this, "Связаться", "ConnectButton", 16, 236, 196);
  exit_ = AddButton(this, "Выход", "ExitButton", 228, 236, 196);

  auto act = [this](auto handler) {
    return [this, handler] {
      handler();
      AfterAction();
    };
  };
  ConnectModel& m = model_;
  connect(kind_, &QComboBox::activated, this, [this, &m](int i) {
    m.OnKindChange(i);
    AfterAction();
  });
  connect(subscriber_, &QComboBox::activated, this, [this, &m](int i) {
    m.OnSubscriberChoose(i);
    AfterAction();
  });
  connect(address_, &QComboBox::activated, this, [this, &m](int i) {
    m.address.SetText(m.address_items.items.at(static_cast<size_t>(i)));
    AfterAction();
  });
  connect(address_->lineEdit(), &QLineEdit::textEdited, this, [this, &m](const QString& t) {
    m.address.SetText(Utf8(t));
    Refresh();
  });
  connect(search_, &QPushButton::clicked, this, act([&m] { m.OnSearch(); }));
  connect(imitation_, &QPushButton::clicked, this, act([&m] { m.OnImitation(); }));
  connect(subscriber_list_, &QPushButton::clicked, this, act([&m] { m.OnSubscriberListButton(); }));
  connect(change_, &QPushButton::clicked, this, act([&m] { m.OnChangeParams(); }));
  connect(connect_, &QPushButton::clicked, this, act([&m] { m.OnConnect(); }));
  connect(exit_, &QPushButton::clicked, this, act([&m] { m.OnExit(); }));
  Refresh();
}

void TFormConnect::Refresh() {
  const ConnectModel& m = model_;
  SyncCombo(kind_, m.kind);
  SyncEditableCombo(address_, m.address_items, m.address.text, m.address_enabled);
  direct_panel_->setVisible(m.direct_panel_visible);
  phone_panel_->setVisible(m.phone_panel_visible);
  search_->setEnabled(m.search_enabled);
  SyncCombo(subscriber_, m.subscriber.list);
  change_->setEnabled(m.change_enabled);
  connect_->setEnabled(m.connect_enabled);
}

void TFormConnect::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Refresh();
  if (model_.focus_on_subscriber) {
    subscriber_->setFocus();
  } else {
    connect_->setDefault(true);
    connect_->setFocus();
  }
}

void TFormConnect::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.result() ? Accepted : Rejected);
}

void TFormConnect::reject() {
  if (!model_.closed()) model_.OnExit();
  QDialog::reject();
}

}  // namespace kvarta::gui
