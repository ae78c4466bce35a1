#include "gui/connection/form_imit_modem.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "connection/imit_modem_model.h"
#include "gui/connection/widget_sync.h"
#include "gui/link/qt_host.h"

namespace kvarta::gui {

TFormImit_Modem::TFormImit_Modem(ImitModemModel& model, QtHost& host, QWidget* parent)
    : QDialog(parent), model_(model), host_(host) {
  setObjectName("TFormImit_Modem");
  setWindowTitle("");
  setModal(true);
  setFixedSize(ImitModemModel::kWidth, ImitModemModel::kHeight);

  text_ = new QLabel(this);
  text_->setObjectName("TextLabel");
  text_->setAlignment(Qt::AlignCenter);
  text_->setGeometry(8, 8, ImitModemModel::kWidth - 16, 21);
  hint_ = new QLabel(QString::fromUtf8(kImitationEscHint), this);
  hint_->setObjectName("HintLabel");
  hint_->setAlignment(Qt::AlignCenter);
  hint_->setGeometry(8, 34, ImitModemModel::kWidth - 16, 21);
  progress_ = new QProgressBar(this);
  progress_->setObjectName("ProgressBar1");
  progress_->setRange(0, 100);
  progress_->setTextVisible(false);
  progress_->setGeometry(16, 60, ImitModemModel::kWidth - 32, 16);
  close_ = new QPushButton("Закрыть", this);
  close_->setObjectName("CloseButton");
  close_->setGeometry((ImitModemModel::kWidth - 90) / 2, 84, 90, 27);

  start_timer_ = new QTimer(this);
  start_timer_->setSingleShot(true);
  start_timer_->setInterval(ImitModemModel::kStartTimerMs);
  progress_timer_ = new QTimer(this);
  progress_timer_->setInterval(ImitModemModel::kProgressTimerMs);

  connect(start_timer_, &QTimer::timeout, this, [this] { OnStartTimer(); });
  connect(progress_timer_, &QTimer::timeout, this, [this] {
    model_.OnProgressTimer();
    Refresh();
  });
  connect(close_, &QPushButton::clicked, this, [this] { close(); });
  model_.on_change = [this] {
    Refresh();
    repaint();
  };
  Refresh();
}

TFormImit_Modem::~TFormImit_Modem() {
  model_.on_change = nullptr;
}

void TFormImit_Modem::Refresh() {
  const ImitModemModel& m = model_;
  SyncLabel(text_, m.text);
  hint_->setVisible(m.esc_hint_visible);
  close_->setVisible(m.close_button_visible);
  if (progress_->value() != m.progress) progress_->setValue(m.progress);
  if (m.progress_timer_running && !progress_timer_->isActive()) progress_timer_->start();
  if (!m.progress_timer_running && progress_timer_->isActive()) progress_timer_->stop();
}

void TFormImit_Modem::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Refresh();
  if (model_.start_timer_running && !start_timer_->isActive()) start_timer_->start();
}

void TFormImit_Modem::OnStartTimer() {
  if (model_.closed) return;
  {
    // The wait holds the line: nothing else may start an exchange meanwhile.
    const QtHost::Operation operation(host_);
    model_.OnStartTimer();
  }
  Refresh();
  if (model_.closed) done(Rejected);
}

bool TFormImit_Modem::CloseAllowed() {
  if (!model_.closed && !model_.OnCloseQuery()) return false;
  start_timer_->stop();
  progress_timer_->stop();
  return true;
}

void TFormImit_Modem::closeEvent(QCloseEvent* event) {
  if (!CloseAllowed()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TFormImit_Modem::reject() {
  if (!CloseAllowed()) return;
  QDialog::reject();
}

void TFormImit_Modem::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    model_.OnEscape();
    Refresh();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace kvarta::gui
