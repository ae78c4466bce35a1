// Ends the desktop program on SIGTERM, SIGINT or SIGHUP the way "Выход"
// does: the open dialogs are closed as if cancelled, a running exchange is
// aborted, and the main window closes (call hung up, settings and history
// saved) before the event loop ends. A second signal ends it at once.
#pragma once

#include <QObject>
#include <memory>

#include "platform/termination_signals.h"

class QSocketNotifier;
class QTimer;
class QWidget;

namespace kvarta::gui {

class SignalCloser : public QObject {
 public:
  explicit SignalCloser(QWidget& window);
  ~SignalCloser() override;

  bool closing() const { return closing_; }

 private:
  void OnSignal();
  void Step();

  QWidget& window_;
  TerminationSignals signals_;
  QSocketNotifier* notifier_ = nullptr;
  QTimer* steps_ = nullptr;
  bool closing_ = false;
  bool close_asked_ = false;
};

}  // namespace kvarta::gui
