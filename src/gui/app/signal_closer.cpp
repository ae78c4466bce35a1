#include "gui/app/signal_closer.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

namespace kvarta::gui {
namespace {

// Often enough that the program ends promptly, seldom enough that a dialog
// closed in one step has unwound its event loop before the next.
constexpr int kStepMs = 50;

}  // namespace

SignalCloser::SignalCloser(QWidget& window) : window_(window) {
  if (!signals_.ok()) return;
  notifier_ = new QSocketNotifier(signals_.fd(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { OnSignal(); });
  steps_ = new QTimer(this);
  steps_->setInterval(kStepMs);
  connect(steps_, &QTimer::timeout, this, [this] { Step(); });
}

SignalCloser::~SignalCloser() = default;

void SignalCloser::OnSignal() {
  int signo = 0;
  for (int next; (next = signals_.Take()) != 0;) {
    // A signal after the close has begun: the user insists, and every
    // file the program writes is replaced whole anyway. Signals that came
    // together (a closed terminal) count as one.
    if (closing_) std::_Exit(128 + next);
    signo = next;
  }
  if (signo == 0 || closing_) return;
  closing_ = true;
  Step();
  steps_->start();
}

void SignalCloser::Step() {
  if (!window_.isVisible()) {
    // The main window has closed and saved; other windows must not keep
    // the program alive.
    steps_->stop();
    QCoreApplication::quit();
    return;
  }
  // Dialogs, innermost first, as if the user had cancelled them; the main
  // window's close waits for the operation that opened them to end.
  if (QWidget* popup = QApplication::activePopupWidget()) {
    popup->close();
    return;
  }
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != &window_) {
    modal->close();
    return;
  }
  // Once: while an exchange runs the window's close waits for its end.
  if (!close_asked_) {
    close_asked_ = true;
    window_.close();
  }
}

}  // namespace kvarta::gui
