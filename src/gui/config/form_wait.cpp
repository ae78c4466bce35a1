#include "gui/config/form_wait.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

namespace kvarta::gui {

TFormWait::TFormWait(Mode mode, QWidget* main_window)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      main_window_(main_window) {
  setObjectName("TFormWait");
  setFixedSize(332, 158);
  const bool writing = mode == Mode::kWriting;
  const char* texts[4] = {"Ожидайте...",
                          writing ? "Выполняется запись параметров" : "Выполняется чтение",
                          writing ? "конфигурации в контроллер" : "таблиц параметров конфигурации",
                          "Esc - прервать выполнение"};
  const int tops[4] = {8, 30, 48, 120};
  for (int i = 0; i < 4; ++i) {
    lines_[i] = new QLabel(QString::fromUtf8(texts[i]), this);
    lines_[i]->setAlignment(Qt::AlignCenter);
    lines_[i]->setGeometry(0, tops[i], 332, 18);
  }
  bar_ = new QProgressBar(this);
  bar_->setGeometry(16, 80, 300, 20);
  bar_->setMinimum(0);
  bar_->setTextVisible(false);
}

TFormWait::~TFormWait() {
  Finish();
}

void TFormWait::Open(int maximum) {
  bar_->setMaximum(maximum);
  bar_->setValue(0);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
  if (main_window_) main_window_->setEnabled(false);
  open_ = true;
  show();
  repaint();
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
