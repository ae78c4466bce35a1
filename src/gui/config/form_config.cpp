#include "gui/config/form_config.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "config/config_model.h"
#include "gui/config/param_form_parts.h"

namespace kvarta::gui {
namespace {

constexpr int kButtonWidth = 368;
constexpr int kLeft = 12;
constexpr int kRight = 396;

}  // namespace

TFormConfig::TFormConfig(ConfigModel& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName("TFormConfig");
  setModal(true);
  setWindowTitle(Q(ConfigModel::kTitle));
  setFixedSize(ConfigModel::kWidth, ConfigModel::kHeight);

  panel_ = new QFrame(this);
  panel_->setObjectName("Panel1");
  panel_->setGeometry(0, 0, width(), 272);
  panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel_->setAutoFillBackground(true);

  PlaceLabel(panel_, "Тип требуемого модема", kLeft, 18, 200);
  modem_choice_ = PlaceCombo(panel_, "CBModem", 220, 16, 120);
  modem_text_ = PlaceEdit(panel_, "EdModem", 220, 16, 140);
  modem_text_->setReadOnly(true);

  QPushButton* ident =
      PlaceButton(panel_, "BtIdent", "Параметры идентификации", kLeft, 60, kButtonWidth, 32);
  QPushButton* link = PlaceButton(panel_, "BtLink", "Параметры связи с верхним уровнем", kLeft, 108,
                                  kButtonWidth, 32);
  QPushButton* vrg = PlaceButton(panel_, "BtVrg", "Параметры вычислителей расхода газа", kLeft, 156,
                                 kButtonWidth, 32);
  timeouts_ = PlaceButton(panel_, "BtTimeouts", "Таймауты", kLeft, 204, kButtonWidth, 32);
  auto* users_group = new QGroupBox(" Доступ пользователей к записи в контроллер ", panel_);
  users_group->setGeometry(kRight - 8, 50, kButtonWidth + 16, 92);
  QPushButton* users = PlaceButton(users_group, "BtUsers", "Зарегистрированные пользователи", 8, 38,
                                   kButtonWidth, 32);
  QPushButton* modem =
      PlaceButton(panel_, "BtModem", "Параметры работы с модемом", kRight, 156, kButtonWidth, 32);
  QPushButton* gprs =
      PlaceButton(panel_, "BtGprs", "Параметры работы в Интернете с использованием GPRS", kRight,
                  204, kButtonWidth, 32);

  accept_ = PlaceButton(this, "BitBtn1", "Принять", 220, 286, 150);
  write_ = PlaceButton(this, "BitBtn3", "Записать в устройство", 220, 286, 150);
  cancel_ = PlaceButton(this, "BitBtn2", "Отменить", 400, 286, 150);

  ConfigModel& m = model_;
  connect(modem_choice_, &QComboBox::activated, this, [this, &m](int i) {
    m.OnModemChoose(i);
    Refresh();
  });
  auto on_click = [this](QPushButton* button, auto handler) {
    connect(button, &QPushButton::clicked, this, [this, handler] {
      handler();
      AfterAction();
    });
  };
  on_click(ident, [&m] { m.OnIdent(); });
  on_click(link, [&m] { m.OnLink(); });
  on_click(users, [&m] { m.OnUsers(); });
  on_click(vrg, [&m] { m.OnVrg(); });
  on_click(timeouts_, [&m] { m.OnTimeouts(); });
  on_click(modem, [&m] { m.OnModem(); });
  on_click(gprs, [&m] { m.OnGprs(); });
  on_click(accept_, [&m] { m.OnAccept(); });
  on_click(write_, [&m] { m.OnAccept(); });
  on_click(cancel_, [&m] { m.OnCancel(); });
  // The panel greys while a sub-editor is open over it.
  m.on_state_change = [this] { Refresh(); };
  Refresh();
}

TFormConfig::~TFormConfig() {
  model_.on_state_change = nullptr;
}

void TFormConfig::Refresh() {
  const ConfigModel& m = model_;
  QPalette p = panel_->palette();
  p.setColor(QPalette::Window, QColor(ColourName(m.panel_color)));
  panel_->setPalette(p);
  modem_choice_->setVisible(m.modem_choice_visible);
  Sync(modem_choice_, m.modem_choice);
  modem_text_->setVisible(!m.modem_choice_visible);
  modem_text_->setText(Q(m.modem_text));
  timeouts_->setEnabled(m.timeouts_enabled);
  accept_->setEnabled(m.buttons_enabled);
  write_->setVisible(m.write_visible);
  write_->setEnabled(m.buttons_enabled && m.write_enabled);
  cancel_->setEnabled(m.buttons_enabled);
  panel_->update();
}

void TFormConfig::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.accepted() ? Accepted : Rejected);
}

void TFormConfig::reject() {
  if (!model_.buttons_enabled) return;
  if (!model_.closed()) model_.OnCancel();
  QDialog::reject();
}

}  // namespace kvarta::gui
