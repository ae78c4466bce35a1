#include "gui/config/form_avt_key.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/avt_key_model.h"
#include "gui/connection/widget_sync.h"

namespace kvarta::gui {

TFormAvt_Key::TFormAvt_Key(AvtKeyModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName("TFormAvt_Key");
  setWindowTitle(AvtKeyModel::kTitle);
  setModal(true);
  setFixedSize(AvtKeyModel::kWidth, AvtKeyModel::kHeight);

  const char* const* labels[2] = {AvtKeyModel::kKeyLabel, AvtKeyModel::kConfirmLabel};
  for (int k = 0; k < 2; ++k) {
    auto* label = new QLabel(QString("%1\n%2").arg(labels[k][0], labels[k][1]), this);
    label->setGeometry(16, 16 + 52 * k, 190, 40);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString("Edit%1").arg(k + 1));
    edit->setGeometry(214, 24 + 52 * k, 118, 24);
    edit->setMaxLength(kAuthorisationKeyLength);
    edit->setEchoMode(QLineEdit::Password);
    edit->installEventFilter(this);
    const auto field = static_cast<AvtKeyModel::Field>(k);
    connect(edit, &QLineEdit::textEdited, this,
            [this, field](const QString& t) { model_.SetText(field, Utf8(t)); });
    edits_[k] = edit;
  }
  show_ = new QCheckBox(AvtKeyModel::kShowCharsCaption, this);
  show_->setObjectName("CheckBox1");
  show_->setGeometry(16, 128, AvtKeyModel::kWidth - 32, 24);
  show_->setFocusPolicy(Qt::NoFocus);
  connect(show_, &QCheckBox::toggled, this, [this](bool on) {
    model_.OnShowChars(on);
    Refresh();
  });

  accept_ = new QPushButton("Принять", this);
  accept_->setObjectName("BitBtn1");
  accept_->setGeometry(30, AvtKeyModel::kHeight - 54, 130, 30);
  cancel_ = new QPushButton("Отменить", this);
  cancel_->setObjectName("BitBtn2");
  cancel_->setGeometry(AvtKeyModel::kWidth - 160, AvtKeyModel::kHeight - 54, 130, 30);
  for (QPushButton* b : {accept_, cancel_}) b->setAutoDefault(false);
  connect(accept_, &QPushButton::clicked, this, [this] {
    model_.OnAccept();
    Refresh();
    if (model_.closed()) accept();
  });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    model_.OnCancel();
    reject();
  });
  Refresh();
}

void TFormAvt_Key::Refresh() {
  for (int k = 0; k < 2; ++k) {
    edits_[k]->setEchoMode(model_.show_chars ? QLineEdit::Normal : QLineEdit::Password);
    SyncText(edits_[k], model_.Text(static_cast<AvtKeyModel::Field>(k)));
  }
  QLineEdit* focused = edits_[model_.focus];
  focused->setFocus();
  focused->setCursorPosition(model_.caret);
}

void TFormAvt_Key::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Refresh();
}

bool TFormAvt_Key::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::FocusIn) {
    for (int k = 0; k < 2; ++k) {
      if (watched == edits_[k]) model_.OnFieldClick(static_cast<AvtKeyModel::Field>(k));
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace kvarta::gui
