#include "gui/monitor/form_need_seans_wr.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "monitor/session_record.h"

namespace kvarta::gui {

TFormNeed_Seans_Wr::TFormNeed_Seans_Wr(NeedSeansWrModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormNeed_Seans_Wr");
  setWindowTitle(QString::fromUtf8(NeedSeansWrModel::kCaption));
  setModal(true);
  setFixedSize(NeedSeansWrModel::kWidth, NeedSeansWrModel::kHeight);

  auto* label = new QLabel("Запись содержимого сеанса связи по инициативе контроллера:", this);
  label->setGeometry(16, 14, NeedSeansWrModel::kWidth - 32, 22);
  list_ = new QComboBox(this);
  list_->setObjectName("ComboBox1");
  list_->setGeometry(16, 42, NeedSeansWrModel::kWidth - 32, 28);
  for (const std::string& item : model_.items) list_->addItem(QString::fromStdString(item));
  list_->setCurrentIndex(model_.selected);

  write_ = new QPushButton("Записать в устройство", this);
  write_->setObjectName("BitBtn3");
  write_->setGeometry(16, NeedSeansWrModel::kHeight - 52, 210, 30);
  write_->setDefault(true);
  cancel_ = new QPushButton("Отменить", this);
  cancel_->setObjectName("BitBtn2");
  cancel_->setGeometry(NeedSeansWrModel::kWidth - 16 - 150, NeedSeansWrModel::kHeight - 52, 150,
                       30);

  connect(list_, &QComboBox::currentIndexChanged, this,
          [this](int index) { model_.OnChoose(index); });
  connect(write_, &QPushButton::clicked, this, [this] {
    model_.OnAccept();
    if (model_.closed()) accept();
  });
  connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
}

void TFormNeed_Seans_Wr::reject() {
  if (!model_.closed()) model_.OnCancel();
  QDialog::reject();
}

}  // namespace kvarta::gui
