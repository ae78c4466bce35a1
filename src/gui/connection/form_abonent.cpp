#include "gui/connection/form_abonent.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "connection/abonent_model.h"
#include "gui/connection/widget_sync.h"

namespace kvarta::gui {

TFormAbonent::TFormAbonent(AbonentModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName("TFormAbonent");
  setWindowTitle(QString::fromUtf8(AbonentModel::kTitle));
  setModal(true);
  setFixedSize(AbonentModel::kWidth, AbonentModel::kHeight);

  auto* name_label = new QLabel("Наименование", this);
  name_label->setGeometry(16, 16, 120, 21);
  name_ = new QLineEdit(this);
  name_->setObjectName("NameEdit");
  name_->setGeometry(140, 16, 410, 23);

  auto* address_label = new QLabel("Адрес", this);
  address_label->setGeometry(16, 52, 120, 21);
  address_ = new QComboBox(this);
  address_->setObjectName("AddressList");
  address_->setEditable(true);
  address_->setInsertPolicy(QComboBox::NoInsert);
  address_->setGeometry(140, 52, 90, 23);

  auto* phone_label = new QLabel("№ телефона", this);
  phone_label->setGeometry(16, 88, 120, 21);
  phone_ = new QLineEdit(this);
  phone_->setObjectName("PhoneEdit");
  phone_->setGeometry(140, 88, 250, 23);

  accept_ = new QPushButton("Принять", this);
  accept_->setObjectName("BitBtn1");
  accept_->setGeometry(170, 140, 100, 27);
  cancel_ = new QPushButton("Отменить", this);
  cancel_->setObjectName("BitBtn2");
  cancel_->setGeometry(300, 140, 100, 27);

  connect(name_, &QLineEdit::textEdited, this, [this](const QString& t) {
    model_.SetName(Utf8(t));
    Refresh();
  });
  connect(phone_, &QLineEdit::textEdited, this, [this](const QString& t) {
    model_.SetPhone(Utf8(t));
    Refresh();
  });
  connect(address_, &QComboBox::activated, this, [this](int i) {
    model_.ChooseAddress(i);
    Refresh();
  });
  connect(address_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& t) {
    model_.SetAddressText(Utf8(t));
    Refresh();
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

void TFormAbonent::Refresh() {
  SyncEdit(name_, model_.name);
  SyncEditableCombo(address_, model_.address, model_.address_text, true);
  SyncEdit(phone_, model_.phone);
}

void TFormAbonent::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Refresh();
  if (model_.focus_on_name) name_->setFocus();
}

void TFormAbonent::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.accepted() ? Accepted : Rejected);
}

void TFormAbonent::reject() {
  if (!model_.closed()) model_.OnCancel();
  QDialog::reject();
}

}  // namespace kvarta::gui
