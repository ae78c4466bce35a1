#include "gui/config/form_ident.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/ident_model.h"

namespace kvarta::gui {
namespace {

constexpr int kTop = 14;
constexpr int kRowStep = 37;
constexpr int kCaptionLeft = 14;
constexpr int kCaptionWidth = 292;  // two lines where a font runs wider
constexpr int kCaptionHeight = 34;
constexpr int kValueLeft = 310;
constexpr int kValueWidth = 170;
constexpr int kRowHeight = 24;

}  // namespace

TFormIdent::TFormIdent(IdentModel& model, QWidget* parent) : QDialog(parent) {
  setObjectName("TFormIdent");
  setWindowTitle(IdentModel::kTitle);
  setModal(true);
  setFixedSize(IdentModel::kWidth, IdentModel::kHeight);
  int top = kTop;
  for (const IdentModel::Row& row : model.rows) {
    auto* caption = new QLabel(QString::fromStdString(row.caption), this);
    caption->setObjectName(QString("Label%1").arg(row.item + 1));
    caption->setGeometry(kCaptionLeft, top - (kCaptionHeight - kRowHeight) / 2, kCaptionWidth,
                         kCaptionHeight);
    caption->setWordWrap(true);
    caption->setEnabled(row.caption_enabled);
    auto* value = new QLineEdit(QString::fromStdString(row.value), this);
    value->setObjectName(QString("Edit%1").arg(row.item + 1));
    value->setGeometry(kValueLeft, top, kValueWidth, kRowHeight);
    value->setReadOnly(true);
    value->setFocusPolicy(Qt::NoFocus);
    value->setAlignment(Qt::AlignCenter);
    if (row.red) value->setStyleSheet("color: #d00000; font-weight: bold;");
    captions_.push_back(caption);
    values_.push_back(value);
    top += kRowStep;
  }
  exit_ = new QPushButton(IdentModel::kExitButton, this);
  exit_->setObjectName("BitBtn1");
  exit_->setGeometry((IdentModel::kWidth - 120) / 2, IdentModel::kHeight - 52, 120, 30);
  exit_->setDefault(true);
  connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kvarta::gui
