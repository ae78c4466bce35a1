#include "gui/config/form_us_pass.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/access_model.h"
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

TFormUsPass::TFormUsPass(UsPassModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName("TFormUsPass");
  setWindowTitle(UsPassModel::kTitle);
  setModal(true);
  setFixedSize(UsPassModel::kWidth, UsPassModel::kHeight);

  // The code comes first: the focus starts there and Enter goes on to the password.
  struct Group {
    const char* title;
    const char* labels[2];
    int first;
    int length;
    int top;
  };
  const Group groups[] = {
      {UsPassModel::kCodeGroup,
       {"Введите код", "Подтвердите код"},
       UsPassModel::kCode,
       kUserCodeSize,
       12},
      {UsPassModel::kPasswordGroup,
       {"Введите пароль", "Подтвердите пароль"},
       UsPassModel::kPassword,
       kUserPasswordSize,
       130},
  };
  for (const Group& g : groups) {
    auto* box = new QGroupBox(g.title, this);
    box->setGeometry(12, g.top, UsPassModel::kWidth - 24, 108);
    for (int k = 0; k < 2; ++k) {
      (new QLabel(g.labels[k], box))->setGeometry(14, 30 + 38 * k, 160, 24);
      auto* edit = new QLineEdit(box);
      edit->setObjectName(QString("Edit%1").arg(g.first + k + 1));
      edit->setGeometry(180, 30 + 38 * k, 136, 24);
      edit->setMaxLength(g.length);
      edit->setEchoMode(QLineEdit::Password);
      if (g.first == UsPassModel::kCode) KeyFilter::Install(edit, UsPassModel::CodeKeyAllowed);
      edit->installEventFilter(this);
      const auto field = static_cast<UsPassModel::Field>(g.first + k);
      connect(edit, &QLineEdit::textEdited, this,
              [this, field](const QString& text) { model_.SetText(field, Utf8(text)); });
      edits_[g.first + k] = edit;
    }
  }
  accept_ = new QPushButton("Принять", this);
  accept_->setObjectName("BitBtn1");
  accept_->setGeometry(40, UsPassModel::kHeight - 56, 120, 30);
  cancel_ = new QPushButton("Отменить", this);
  cancel_->setObjectName("BitBtn2");
  cancel_->setGeometry(UsPassModel::kWidth - 160, UsPassModel::kHeight - 56, 120, 30);
  // Enter belongs to the fields, not to a default button.
  for (QPushButton* b : {accept_, cancel_}) b->setAutoDefault(false);
  connect(accept_, &QPushButton::clicked, this, [this] { OnAccept(); });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    model_.OnCancel();
    reject();
  });
  Refresh();
}

void TFormUsPass::Refresh() {
  for (int f = UsPassModel::kCode; f <= UsPassModel::kPasswordConfirm; ++f) {
    SyncText(edits_[f], model_.Text(static_cast<UsPassModel::Field>(f)));
  }
  if (model_.focus <= UsPassModel::kPasswordConfirm) edits_[model_.focus]->setFocus();
}

void TFormUsPass::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Refresh();
}

bool TFormUsPass::eventFilter(QObject* watched, QEvent* event) {
  if (IsEnter(event)) {
    for (int f = UsPassModel::kCode; f <= UsPassModel::kPasswordConfirm; ++f) {
      if (watched != edits_[f]) continue;
      model_.OnEnter(static_cast<UsPassModel::Field>(f));
      if (model_.closed()) {
        accept();
      } else {
        Refresh();
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFormUsPass::OnAccept() {
  model_.OnAccept();
  if (model_.closed()) {
    accept();
  } else {
    Refresh();
  }
}

}  // namespace kvarta::gui
