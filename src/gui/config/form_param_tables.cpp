#include "gui/config/form_param_tables.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/ini_modem_model.h"
#include "config/inter_par_model.h"
#include "config/modem_ans_time_model.h"
#include "gui/config/param_form_parts.h"
#include "gui/connection/key_filter.h"
#include "link/table_layout.h"
#include "platform/text_format.h"

namespace kvarta::gui {
namespace {

template <typename Model>
void PlaceConfirmButtons(QDialog* dialog, Model& model, int y, QPushButton*& write,
                         QPushButton*& accept, QPushButton*& cancel) {
  const int mid = dialog->width() / 2;
  write = PlaceButton(dialog, "BitBtn1", "Записать в устройство", mid - 180, y, 170);
  accept = PlaceButton(dialog, "BitBtn3", "Принять", mid - 180, y, 170);
  cancel = PlaceButton(dialog, "BitBtn2", "Отменить", mid + 10, y, 140);
  const bool device = model.mode() == EditorMode::kDevice;
  write->setVisible(device);
  accept->setVisible(!device);
}

}  // namespace

TFormModem_Ans_Time::TFormModem_Ans_Time(ModemAnsTimeModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormModem_Ans_Time");
  setModal(true);
  setWindowTitle(Q(ModemAnsTimeModel::kTitle));
  setFixedSize(ModemAnsTimeModel::kWidth, ModemAnsTimeModel::kHeight);
  BuildPanel(layout::t0::kModemSc3000);
  BuildPanel(layout::t0::kModemMc55it);
  PlaceConfirmButtons(this, model_, 316, write_, accept_, cancel_);
  for (QPushButton* b : {write_, accept_}) {
    connect(b, &QPushButton::clicked, this, [this] {
      model_.OnAccept();
      AfterAction();
    });
  }
  connect(cancel_, &QPushButton::clicked, this, [this] {
    model_.OnCancel();
    AfterAction();
  });
  Refresh();
}

void TFormModem_Ans_Time::BuildPanel(int code) {
  auto* panel = new QFrame(this);
  panel->setObjectName(code == 0 ? "PanelSC3000" : "PanelMC55iT");
  panel->setGeometry(0, 0, width(), 308);
  panels_[static_cast<size_t>(code)] = panel;
  const std::span<const TimeoutRange> ranges = TimeoutRanges(static_cast<uint8_t>(code));
  auto* group = new QGroupBox(" Макс. допускаемая длительность ожидания ответа на команду ", panel);
  group->setGeometry(8, 6, width() - 16, 184);
  // Fields 0-3 and 6 wait for modem commands; 4 and 5 below the group.
  struct Row {
    int field;
    QWidget* parent;
    int y;
    std::string label;
    int label_height;
    const char* unit;
  };
  const Row rows[] = {
      {0, group, 20, std::string(ranges[0].label), 21, "c"},
      {1, group, 52, std::string(ranges[1].label), 21, "c"},
      {2, group, 84, std::string(ranges[2].label), 21, "c"},
      {3, group, 116, std::string(ranges[3].label), 21, "c"},
      {6, group, 142, "AT команда запроса состояния\nсчета SIM-карты модема", 36, "c"},
      {4, panel, 198, "Макс. допускаемая длительность\nожидания запросов от ВУ по телефону", 36,
       "c"},
      {5, panel, 242, "Максимальная допускаемая\nдлительность занятия модема\nдля передачи отчета",
       52, "мин"},
  };
  for (const Row& r : rows) {
    const int x = r.parent == group ? 12 : 20;
    const int box_y = r.y + (r.label_height - kControlHeight) / 2;
    PlaceLabel(r.parent, r.label, x, r.y, 300, r.label_height);
    QLineEdit* box =
        PlaceNumberEdit(r.parent, Format("EdTimeout%d", r.field).c_str(), 360, box_y, 70);
    box->setMaxLength(5);
    ranges_[static_cast<size_t>(code)][static_cast<size_t>(r.field)] =
        PlaceLabel(r.parent, "", 440, box_y + 1, 90);
    PlaceLabel(r.parent, r.unit, 536, box_y + 1, 40);
    boxes_[static_cast<size_t>(code)][static_cast<size_t>(r.field)] = box;
    EditControl& control = model_.boxes[static_cast<size_t>(r.field)];
    connect(box, &QLineEdit::textEdited, this,
            [&control](const QString& t) { control.SetText(t.toStdString()); });
  }
}

void TFormModem_Ans_Time::Refresh() {
  const ModemAnsTimeModel& m = model_;
  panels_[0]->setVisible(m.sc3000_visible);
  panels_[1]->setVisible(m.mc55it_visible);
  for (size_t code = 0; code < 2; ++code) {
    for (size_t f = 0; f < boxes_[code].size(); ++f) {
      Sync(boxes_[code][f], m.boxes[f]);
      ranges_[code][f]->setText(Q(m.range_labels[f]));
    }
  }
  write_->setEnabled(m.confirm_enabled);
  accept_->setEnabled(m.confirm_enabled);
  const int failed = m.failed_box;
  if (failed >= 0 && (m.sc3000_visible || m.mc55it_visible)) {
    boxes_[m.sc3000_visible ? 0 : 1][static_cast<size_t>(failed)]->setFocus();
  }
}

void TFormModem_Ans_Time::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.changed() ? Accepted : Rejected);
}

void TFormModem_Ans_Time::reject() {
  if (!model_.closed()) model_.OnCancel();
  QDialog::reject();
}

TFormIni_Modem::TFormIni_Modem(IniModemModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormIni_Modem");
  setModal(true);
  setWindowTitle(Q(IniModemModel::kTitle));
  setFixedSize(IniModemModel::kWidth, IniModemModel::kHeight);
  auto* group = new QGroupBox(" Строка инициализации модема для приема от ВУ ", this);
  group->setGeometry(8, 6, width() - 16, 140);
  boxes_[0] = PlaceEdit(group, "EdInit", 12, 24, width() - 40);
  auto* note = PlaceLabel(group,
                          "Отдельные команды внутри строки инициализации должны разделяться\n"
                          "символом ;  (например ate0;v1;h0). Строка инициализации НЕ ДОЛЖНА\n"
                          "включать эхо, переводить ответы модема в цифровой вид и предписывать\n"
                          "модему самому снимать трубку.",
                          12, 56, width() - 40, 76);
  QFont small = note->font();
  small.setPointSizeF(small.pointSizeF() * 0.9);
  note->setFont(small);
  const char* const labels[] = {"Номер телефона для запроса\nсостояния счета SIM-карты модема",
                                "Номер телефона для запроса\nостатка оплаченного трафика",
                                "Номер телефона\nдля оплаты трафика"};
  const char* const names[] = {"EdBalance", "EdTraffic", "EdPayment"};
  for (int i = 0; i < 3; ++i) {
    const int y = 160 + 46 * i;
    PlaceLabel(this, labels[i], 16, y, 250, 36);
    boxes_[static_cast<size_t>(i + 1)] = PlaceEdit(this, names[i], 270, y + 6, width() - 290);
  }
  for (size_t i = 0; i < boxes_.size(); ++i) {
    EditControl& control = model_.boxes[i];
    connect(boxes_[i], &QLineEdit::textEdited, this,
            [&control](const QString& t) { control.SetText(t.toStdString()); });
  }
  PlaceConfirmButtons(this, model_, 316, write_, accept_, cancel_);
  for (QPushButton* b : {write_, accept_}) {
    connect(b, &QPushButton::clicked, this, [this] {
      model_.OnAccept();
      AfterAction();
    });
  }
  connect(cancel_, &QPushButton::clicked, this, [this] {
    model_.OnCancel();
    AfterAction();
  });
  Refresh();
}

void TFormIni_Modem::Refresh() {
  for (size_t i = 0; i < boxes_.size(); ++i) Sync(boxes_[i], model_.boxes[i]);
}

void TFormIni_Modem::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.changed() ? Accepted : Rejected);
}

void TFormIni_Modem::reject() {
  if (!model_.closed()) model_.OnCancel();
  QDialog::reject();
}

TFormInter_Par::TFormInter_Par(InterParModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("TFormInter_Par");
  setModal(true);
  setWindowTitle(Q(InterParModel::kTitle));
  setFixedSize(InterParModel::kWidth, InterParModel::kHeight);
  const char* const labels[] = {"Имя точки доступа узла поддержки GPRS",
                                "Имя пользователя для доступа к GPRS услуге",
                                "Пароль для доступа к GPRS услуге",
                                "Тип подключения GPRS",
                                "IP адрес сервера №1",
                                "Номер порта сервера №1",
                                "IP адрес сервера №2",
                                "Номер порта сервера №2"};
  const char* const names[] = {"EdApn",       "EdUser",        "EdPassword",  "EdConnType",
                               "EdServer1Ip", "EdServer1Port", "EdServer2Ip", "EdServer2Port"};
  for (int i = 0; i < InterParModel::kBoxCount; ++i) {
    // The servers stand apart from the access values.
    const int y = 16 + 40 * i + (i >= InterParModel::kServer1Ip ? 12 : 0);
    labels_[static_cast<size_t>(i)] = PlaceLabel(this, labels[i], 16, y + 1, 310);
    QLineEdit* box = PlaceEdit(this, names[i], 330, y, 326);
    boxes_[static_cast<size_t>(i)] = box;
    EditControl& control = model_.boxes[static_cast<size_t>(i)];
    connect(box, &QLineEdit::textEdited, this,
            [&control](const QString& t) { control.SetText(t.toStdString()); });
  }
  KeyFilter::Install(boxes_[InterParModel::kConnectionType],
                     InterParModel::ConnectionTypeKeyAllowed);
  PlaceConfirmButtons(this, model_, 372, write_, accept_, cancel_);
  for (QPushButton* b : {write_, accept_}) {
    connect(b, &QPushButton::clicked, this, [this] {
      model_.OnAccept();
      AfterAction();
    });
  }
  connect(cancel_, &QPushButton::clicked, this, [this] {
    model_.OnCancel();
    AfterAction();
  });
  Refresh();
}

void TFormInter_Par::Refresh() {
  const InterParModel& m = model_;
  for (size_t i = 0; i < boxes_.size(); ++i) {
    Sync(boxes_[i], m.boxes[i]);
    labels_[i]->setEnabled(m.boxes[i].enabled);
    boxes_[i]->setStyleSheet(
        m.boxes[i].enabled
            ? QString()
            : "QLineEdit { background: " + ColourName(InterParModel::kDisabledColor) + "; }");
  }
}

void TFormInter_Par::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.changed() ? Accepted : Rejected);
}

void TFormInter_Par::reject() {
  if (!model_.closed()) model_.OnCancel();
  QDialog::reject();
}

}  // namespace kvarta::gui
