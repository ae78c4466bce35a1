#include "gui/config/form_wait.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include "config/wait_model.h"

namespace kvarta::gui {

TFormWait::TFormWait(const WaitModel& model, QWidget* main_window)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      main_window_(main_window) {
  setObjectName("TFormWait");
  setFixedSize(WaitModel::kWidth, WaitModel::kHeight);
  const std::string texts[4] = {model.Line1(), model.Line2(), model.Line3(), model.Line4()};
  const int tops[4] = {10, 32, 52, 126};
  for (int i = 0; i < 4; ++i) {
    lines_[i] = new QLabel(QString::fromStdString(texts[i]), this);
    lines_[i]->setObjectName(QString("Label%1").arg(i + 1));
    lines_[i]->setAlignment(Qt::AlignCenter);
    lines_[i]->setGeometry(0, tops[i], WaitModel::kWidth, 20);
  }
  bar_ = new QProgressBar(this);
  bar_->setObjectName("ProgressBar1");
  bar_->setGeometry(16, 86, WaitModel::kWidth - 32, 20);
  bar_->setMinimum(0);
  bar_->setTextVisible(false);
  Refresh(model);
}

TFormWait::~TFormWait() {
  Finish();
}

void TFormWait::Open() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
  if (main_window_) main_window_->setEnabled(false);
  open_ = true;
  show();
  activateWindow();
  repaint();
}

void TFormWait::Refresh(const WaitModel& model) {
  bar_->setMaximum(model.maximum > 0 ? model.maximum : 1);
  bar_->setValue(model.position);
  if (open_) repaint();
}

void TFormWait::Finish() {
  if (!open_) return;
  open_ = false;
  hide();
  if (main_window_) {
    main_window_->setEnabled(true);
    main_window_->raise();
    main_window_->activateWindow();
  }
}

}  // namespace kvarta::gui
