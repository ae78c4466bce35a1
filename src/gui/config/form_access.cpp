#include "gui/config/form_access.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/access_model.h"
#include "gui/connection/widget_sync.h"

namespace kvarta::gui {
namespace {

constexpr int kRowsTop = 62;
constexpr int kRowStep = 27;
constexpr int kNumberLeft = 8;
constexpr int kNameLeft = 36;
constexpr int kNameWidth = 80;
constexpr int kLevelLeft = 124;
constexpr int kLevelWidth = 214;
constexpr int kButtonLeft = 346;
constexpr int kButtonWidth = 86;

QLabel* Heading(QWidget* parent, const QStringList& lines, int x, int w) {
  auto* heading = new QLabel(lines.join('\n'), parent);
  heading->setGeometry(x, 4, w, kRowsTop - 8);
  heading->setAlignment(Qt::AlignCenter);
  return heading;
}

}  // namespace

TFormAccess::TFormAccess(AccessModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName("TFormAccess");
  setWindowTitle(AccessModel::kTitle);
  setModal(true);
  setFixedSize(AccessModel::kWidth, AccessModel::kHeight);

  Heading(
      this,
      {AccessModel::kNameHeading[0], AccessModel::kNameHeading[1], AccessModel::kNameHeading[2]},
      kNumberLeft, kNameLeft + kNameWidth - kNumberLeft + 8);
  Heading(this, {AccessModel::kLevelHeading[0], AccessModel::kLevelHeading[1]}, kLevelLeft,
          kLevelWidth);
  Heading(this,
          {AccessModel::kCredentialsHeading[0], AccessModel::kCredentialsHeading[1],
           AccessModel::kCredentialsHeading[2]},
          kButtonLeft - 14, AccessModel::kWidth - kButtonLeft + 14);

  QStringList level_names;
  for (const std::string& n : AccessLevelNames()) level_names << QString::fromStdString(n);
  for (int i = 0; i < kUserCount; ++i) {
    const int y = kRowsTop + kRowStep * i;
    auto* number = new QLabel(QString::number(i + 1), this);
    number->setGeometry(kNumberLeft, y, 24, 23);
    number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* name = new QLineEdit(this);
    name->setObjectName(QString("Edit%1").arg(i + 1));
    name->setGeometry(kNameLeft, y, kNameWidth, 23);
    name->setMaxLength(kUserNameSize);
    auto* level = new QComboBox(this);
    level->setObjectName(QString("ComboBox%1").arg(i + 1));
    level->setGeometry(kLevelLeft, y, kLevelWidth, 23);
    level->addItems(level_names);
    auto* button = new QPushButton("Задать", this);
    button->setObjectName(QString("Button%1").arg(i + 1));
    button->setGeometry(kButtonLeft, y, kButtonWidth, 23);
    button->setAutoDefault(false);
    connect(name, &QLineEdit::textEdited, this,
            [this, i](const QString& t) { model_.OnNameChange(i, Utf8(t)); });
    connect(level, &QComboBox::activated, this, [this, i](int index) {
      model_.OnLevelChange(i, index);
      Refresh();
    });
    connect(button, &QPushButton::clicked, this, [this, i] {
      model_.OnCredentials(i);
      Refresh();
    });
    names_[i] = name;
    levels_[i] = level;
    buttons_[i] = button;
  }

  const int buttons_top = kRowsTop + kRowStep * kUserCount + 10;
  accept_ = new QPushButton(QString::fromStdString(model.ConfirmText()), this);
  accept_->setObjectName("BitBtn1");
  accept_->setGeometry(30, buttons_top, 190, 30);
  cancel_ = new QPushButton("Отменить", this);
  cancel_->setObjectName("BitBtn2");
  cancel_->setGeometry(AccessModel::kWidth - 30 - 150, buttons_top, 150, 30);
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

void TFormAccess::Refresh() {
  for (int i = 0; i < kUserCount; ++i) {
    const AccessModel::Row& row = model_.rows[i];
    SyncText(names_[i], row.name);
    if (levels_[i]->currentIndex() != row.level) levels_[i]->setCurrentIndex(row.level);
    buttons_[i]->setEnabled(row.button_enabled);
  }
}

}  // namespace kvarta::gui
