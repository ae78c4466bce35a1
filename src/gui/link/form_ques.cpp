#include "gui/link/form_ques.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace kvarta::gui {
namespace {

constexpr int kButtonHeight = 25;
constexpr int kLineHeight = 20;

}  // namespace

TFormQues::TFormQues(const MessageWindowModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormQues");
  setWindowTitle(QString::fromStdString(model.caption));
  setModal(true);
  const std::string* texts[3] = {&model.line1, &model.line2, &model.line3};
  for (int i = 0; i < 3; ++i) {
    lines_[i] = new QLabel(QString::fromStdString(*texts[i]), this);
    lines_[i]->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    lines_[i]->setObjectName(QString("Label%1").arg(i + 1));
    lines_[i]->setGeometry(7, 10 + i * (kLineHeight + 6), model.line_width, kLineHeight);
  }
  yes_ = new QPushButton("Да", this);
  no_ = new QPushButton("Нет", this);
  ok_ = new QPushButton(this);
  ok_->setText("OK");
  yes_->setObjectName("BitBtnYes");
  no_->setObjectName("BitBtnNo");
  ok_->setObjectName("BitBtnOk");
  const int buttons_top = model.height - kButtonHeight - 40;
  yes_->setGeometry(model.yes_left, buttons_top, kQuestionButtonWidth, kButtonHeight);
  no_->setGeometry(model.no_left, buttons_top, kQuestionButtonWidth, kButtonHeight);
  ok_->setGeometry(model.ok_left, buttons_top, kOkButtonWidth, kButtonHeight);
  yes_->setVisible(model.yes_visible);
  no_->setVisible(model.no_visible);
  ok_->setVisible(model.ok_visible);
  connect(yes_, &QPushButton::clicked, this, [this] {
    answer_ = true;
    accept();
  });
  connect(no_, &QPushButton::clicked, this, [this] {
    answer_ = false;
    reject();
  });
  connect(ok_, &QPushButton::clicked, this, [this] { accept(); });
  setFixedSize(model.width, model.height);
}

void TFormQues::showEvent(QShowEvent* event) {
  answer_ = false;
  QDialog::showEvent(event);
  if (model_.focus_yes) {
    yes_->setDefault(true);
    yes_->setFocus();
  } else {
    ok_->setDefault(true);
    ok_->setFocus();
  }
}

void TFormQues::keyPressEvent(QKeyEvent* event) {
  // Esc presses "Нет" (the cancel button), which also counts as no.
  if (event->key() == Qt::Key_Escape) {
    answer_ = false;
    reject();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace kvarta::gui
