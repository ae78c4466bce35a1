#include "gui/config/form_change_access.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/change_access_model.h"
#include "gui/connection/widget_sync.h"

namespace kvarta::gui {
namespace {

QLineEdit* SecretEdit(QWidget* parent, const char* name, int x, int y, int length) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(x, y, 150, 24);
  edit->setMaxLength(length);
  edit->setEchoMode(QLineEdit::Password);
  return edit;
}

}  // namespace

TFormChangeAccess::TFormChangeAccess(ChangeAccessModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormChangeAccess");
  setWindowTitle(ChangeAccessModel::kTitle);
  setModal(true);
  setFixedSize(ChangeAccessModel::kWidth, ChangeAccessModel::kHeight);

  auto* left = new QGroupBox(this);
  left->setGeometry(12, 10, 290, 230);
  (new QLabel("Выбор пользователя\nдля коррекции", left))->setGeometry(12, 14, 140, 40);
  users_ = new QComboBox(left);
  users_->setObjectName("ComboBox1");
  users_->setGeometry(156, 22, 120, 24);
  (new QLabel("Имя пользователя\n(до 4 символов)", left))->setGeometry(12, 82, 140, 40);
  name_ = new QLineEdit(left);
  name_->setObjectName("Edit1");
  name_->setGeometry(156, 90, 120, 24);
  name_->setMaxLength(kUserNameSize);
  (new QLabel("Уровень доступа", left))->setGeometry(12, 160, 260, 20);
  level_ = new QComboBox(left);
  level_->setObjectName("ComboBox2");
  level_->setGeometry(12, 184, 264, 24);
  for (const std::string& n : AccessLevelNames()) level_->addItem(QString::fromStdString(n));

  auto* right = new QGroupBox(this);
  right->setGeometry(314, 10, 310, 230);
  const char* labels[4] = {"Пароль на запись", "Подтвердите пароль", "Код идентификации",
                           "Подтвердите код"};
  for (int k = 0; k < 4; ++k) (new QLabel(labels[k], right))->setGeometry(12, 24 + 50 * k, 140, 24);
  password_ = SecretEdit(right, "Edit2", 148, 24, kUserPasswordSize);
  password_confirm_ = SecretEdit(right, "Edit3", 148, 74, kUserPasswordSize);
  code_ = SecretEdit(right, "Edit4", 148, 124, kUserCodeSize);
  code_confirm_ = SecretEdit(right, "Edit5", 148, 174, kUserCodeSize);

  auto* note = new QLabel(ChangeAccessModel::kDeleteNote, this);
  note->setObjectName("Label9");
  note->setGeometry(12, 248, ChangeAccessModel::kWidth - 24, 22);
  note->setAlignment(Qt::AlignCenter);

  write_ = new QPushButton("Записать в устройство", this);
  write_->setObjectName("BitBtn1");
  write_->setGeometry(110, 290, 200, 30);
  cancel_ = new QPushButton("Отменить", this);
  cancel_->setObjectName("BitBtn2");
  cancel_->setGeometry(ChangeAccessModel::kWidth - 110 - 200, 290, 200, 30);
  for (QPushButton* b : {write_, cancel_}) b->setAutoDefault(false);

  for (const std::string& u : model.users) users_->addItem(QString::fromStdString(u));
  connect(users_, &QComboBox::activated, this, [this](int index) {
    model_.OnSelectUser(index);
    Refresh();
  });
  connect(name_, &QLineEdit::textEdited, this,
          [this](const QString& t) { model_.SetName(Utf8(t)); });
  connect(level_, &QComboBox::activated, this, [this](int index) { model_.level = index; });
  connect(password_, &QLineEdit::textEdited, this,
          [this](const QString& t) { model_.SetPassword(Utf8(t)); });
  connect(password_confirm_, &QLineEdit::textEdited, this,
          [this](const QString& t) { model_.SetPasswordConfirm(Utf8(t)); });
  connect(code_, &QLineEdit::textEdited, this,
          [this](const QString& t) { model_.SetCode(Utf8(t)); });
  connect(code_confirm_, &QLineEdit::textEdited, this,
          [this](const QString& t) { model_.SetCodeConfirm(Utf8(t)); });
  connect(write_, &QPushButton::clicked, this, [this] {
    model_.OnWrite();
    Refresh();
    if (model_.closed()) accept();
  });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    model_.OnCancel();
    reject();
  });
  Refresh();
}

void TFormChangeAccess::Refresh() {
  if (users_->currentIndex() != model_.selected) users_->setCurrentIndex(model_.selected);
  SyncText(name_, model_.name);
  if (level_->currentIndex() != model_.level) level_->setCurrentIndex(model_.level);
  SyncText(password_, model_.password);
  SyncText(password_confirm_, model_.password_confirm);
  SyncText(code_, model_.code);
  SyncText(code_confirm_, model_.code_confirm);
}

}  // namespace kvarta::gui
