#include "gui/config/form_short_us_pass.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/log_on_model.h"
#include "gui/connection/key_filter.h"
#include "gui/connection/widget_sync.h"

namespace kvarta::gui {
namespace {

bool IsEnter(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

TFormShortUsPass::TFormShortUsPass(LogOnModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormShortUsPass");
  setWindowTitle("Идентификация пользователя программы");
  setModal(true);
  setFixedSize(LogOnModel::kWidth, LogOnModel::kHeight);

  (new QLabel(" Код идентификации  пользователя", this))->setGeometry(16, 20, 230, 21);
  code_ = new QLineEdit(this);
  code_->setObjectName("CodeEdit");
  code_->setGeometry(250, 20, 100, 23);
  code_->setMaxLength(LogOnModel::kCodeLength);
  code_->setEchoMode(QLineEdit::Password);
  KeyFilter::Install(code_, LogOnModel::CodeKeyAllowed);

  (new QLabel(" Пароль на запись в контроллер", this))->setGeometry(16, 64, 230, 21);
  password_ = new QLineEdit(this);
  password_->setObjectName("PasswordEdit");
  password_->setGeometry(250, 64, 100, 23);
  password_->setMaxLength(LogOnModel::kPasswordLength);
  password_->setEchoMode(QLineEdit::Password);

  accept_ = new QPushButton("Принять", this);
  accept_->setObjectName("BitBtn1");
  accept_->setGeometry(60, 130, 110, 27);
  cancel_ = new QPushButton("Отменить", this);
  cancel_->setObjectName("BitBtn2");
  cancel_->setGeometry(198, 130, 110, 27);
  // Enter belongs to the fields (code → password → accept), not to a default button.
  for (QPushButton* b : {accept_, cancel_}) b->setAutoDefault(false);

  code_->installEventFilter(this);
  password_->installEventFilter(this);
  connect(code_, &QLineEdit::textEdited, this, [this](const QString& t) {
    model_.SetCode(Utf8(t));
    Refresh();
  });
  connect(password_, &QLineEdit::textEdited, this, [this](const QString& t) {
    model_.SetPassword(Utf8(t));
    Refresh();
  });
  connect(accept_, &QPushButton::clicked, this, [this] { OnAccept(); });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    model_.Cancel();
    reject();
  });
  Refresh();
}

void TFormShortUsPass::Refresh() {
  SyncText(code_, model_.Code());
  SyncText(password_, model_.Password());
}

void TFormShortUsPass::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Refresh();
  code_->setFocus();
}

bool TFormShortUsPass::eventFilter(QObject* watched, QEvent* event) {
  if (IsEnter(event)) {
    if (watched == code_) {
      password_->setFocus();
      return true;
    }
    if (watched == password_) {
      OnAccept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFormShortUsPass::OnAccept() {
  model_.Accept();
  accept();
}

bool RunLogOnDialog(QWidget* parent, LogOnModel& model) {
  model.Show();
  TFormShortUsPass form(model, parent);
  form.exec();
  return model.Accepted();
}

}  // namespace kvarta::gui
