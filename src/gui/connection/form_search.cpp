#include "gui/connection/form_search.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "connection/device_search_model.h"
#include "connection/number_input.h"
#include "gui/connection/key_filter.h"
#include "gui/connection/widget_sync.h"
#include "gui/link/qt_host.h"

namespace kvarta::gui {
namespace {

constexpr int kValueLeft = 294;

QLabel* AddLabel(QWidget* parent, const char* text, int x, int y, int w) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(x, y, w, 21);
  return label;
}

QLineEdit* AddNumberEdit(QWidget* parent, const char* name, int y) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(kValueLeft, y, 46, 23);
  KeyFilter::Install(edit, NumberKeyAllowed);
  return edit;
}

QPushButton* AddButton(QWidget* parent, const char* text, const char* name, int x, int y) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(name);
  button->setGeometry(x, y, 130, 27);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TFormSearch::TFormSearch(SearchModel& model, QtHost& host, QWidget* parent)
    : QDialog(parent), model_(model), host_(host) {
  setObjectName("TFormSearch");
  setWindowTitle(QString::fromUtf8(SearchModel::kTitle));
  setModal(true);
  setFixedSize(SearchModel::kWidth, SearchModel::kHeight);

  AddLabel(this, "Порт подключения", 10, 12, 282);
  port_ = new QComboBox(this);
  port_->setObjectName("PortList");
  port_->setGeometry(kValueLeft, 12, 90, 23);
  AddLabel(this, "Время ожидания первого байта ответа", 10, 44, 282);
  first_wait_ = AddNumberEdit(this, "FirstWaitEdit", 44);
  AddLabel(this, "( 100...20000 )", kValueLeft + 50, 44, 96);
  AddLabel(this, "Время ожидания следующих байтов ответа", 10, 76, 282);
  next_wait_ = AddNumberEdit(this, "NextWaitEdit", 76);
  AddLabel(this, "( 55...3000 )", kValueLeft + 50, 76, 96);
  AddLabel(this, "Количество преамбул в запросе", 10, 108, 282);
  preambles_ = AddNumberEdit(this, "PreamblesEdit", 108);
  AddLabel(this, "( 2...255 )", kValueLeft + 50, 108, 96);
  AddLabel(this, "Количество попыток обмена", 10, 140, 282);
  attempts_ = AddNumberEdit(this, "AttemptsEdit", 140);
  AddLabel(this, "( 1...5 )", kValueLeft + 50, 140, 96);

  auto* progress = new QGroupBox(this);
  progress->setGeometry(8, 176, SearchModel::kWidth - 16, 70);
  AddLabel(progress, "Адрес:", 16, 12, 140);
  address_value_ = AddLabel(progress, "", 160, 12, 200);
  address_value_->setObjectName("AddressValue");
  AddLabel(progress, "Скорость обмена:", 16, 40, 140);
  rate_value_ = AddLabel(progress, "", 160, 40, 200);
  rate_value_->setObjectName("RateValue");

  search_ = AddButton(this, "Искать", "SearchButton", 12, 264);
  stop_ = AddButton(this, "Прервать поиск", "StopButton", 155, 264);
  exit_ = AddButton(this, "Выход", "ExitButton", 298, 264);

  auto on_edit = [this](QLineEdit* edit, EditBox& box) {
    connect(edit, &QLineEdit::textEdited, this, [this, &box](const QString& t) {
      box.SetText(Utf8(t));
      Refresh();
    });
  };
  on_edit(first_wait_, model_.first_wait);
  on_edit(next_wait_, model_.next_wait);
  on_edit(preambles_, model_.preambles);
  on_edit(attempts_, model_.attempts);
  connect(port_, &QComboBox::activated, this, [this](int i) {
    model_.port.Select(i);
    Refresh();
  });
  connect(search_, &QPushButton::clicked, this, [this] { OnSearch(); });
  connect(stop_, &QPushButton::clicked, this, [this] {
    model_.OnStop();
    Refresh();
  });
  connect(exit_, &QPushButton::clicked, this, [this] {
    model_.OnExit();
    AfterAction();
  });
  model_.on_progress = [this] {
    Refresh();
    repaint();
  };
  Refresh();
}

TFormSearch::~TFormSearch() {
  model_.on_progress = nullptr;
}

void TFormSearch::OnSearch() {
  if (scanning_ || !model_.search_enabled) return;
  {
    // Nothing else may start an exchange while the scan holds the line.
    const QtHost::Operation operation(host_);
    scanning_ = true;
    model_.OnSearch();
    scanning_ = false;
  }
  AfterAction();
}

void TFormSearch::Refresh() {
  const SearchModel& m = model_;
  SyncCombo(port_, m.port);
  FitPopupToItems(port_);
  SyncEdit(first_wait_, m.first_wait);
  SyncEdit(next_wait_, m.next_wait);
  SyncEdit(preambles_, m.preambles);
  SyncEdit(attempts_, m.attempts);
  SyncLabel(address_value_, m.address_text);
  SyncLabel(rate_value_, m.rate_text);
  search_->setEnabled(m.search_enabled);
  stop_->setEnabled(m.stop_enabled);
  exit_->setEnabled(m.exit_enabled);
}

void TFormSearch::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Refresh();
  search_->setFocus();
}

void TFormSearch::AfterAction() {
  Refresh();
  if (model_.closed()) done(model_.found() ? Accepted : Rejected);
}

void TFormSearch::closeEvent(QCloseEvent* event) {
  // The scan owns the port until it ends; "Прервать поиск" ends it.
  if (scanning_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TFormSearch::reject() {
  if (scanning_) return;
  if (!model_.closed()) model_.OnExit();
  QDialog::reject();
}

}  // namespace kvarta::gui
