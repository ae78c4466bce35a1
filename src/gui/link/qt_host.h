// The desktop program's host: pumps the Qt event loop during exchanges, turns
// Esc pressed anywhere into the link's abort, shows the message window, and
// keeps a second controller operation from starting inside a running one.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "link/host.h"

class QLabel;
class QStatusBar;

namespace kvarta::gui {

class QtHost : public QObject, public Host {
  Q_OBJECT
 public:
  QtHost();
  ~QtHost() override;

  void PumpMessages() override;
  bool TakeEscape() override;
  bool ShowMessage(const MessageWindowModel& window) override;
  void SetCursor(CursorShape shape) override;

  // True while a controller operation runs; handlers, menus and timers that
  // would start an exchange must not run then.
  bool Busy() const { return busy_depth_ > 0; }

  // Marks a controller operation (the re-entrance guard).
  class Operation {
   public:
    explicit Operation(QtHost& host);
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

   private:
    QtHost& host_;
  };

  // A modal window that waits for the user inside an operation lets the
  // main window's timers use the line meanwhile (the keep-alive and line
  // watch of a phone call); whatever the window itself sends takes an
  // Operation of its own.
  class Idle {
   public:
    explicit Idle(QtHost& host);
    ~Idle();
    Idle(const Idle&) = delete;
    Idle& operator=(const Idle&) = delete;

   private:
    QtHost& host_;
    int paused_;
  };

  // Test hook: how many message windows were shown, and the last one.
  int MessagesShown() const { return messages_shown_; }
  // Test hook: when set, messages go to it instead of a window; it returns
  // the answer ("Да" = true).
  std::function<bool(const MessageWindowModel&)> message_override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int busy_depth_ = 0;
  int pump_depth_ = 0;
  int modal_depth_ = 0;
  bool escape_ = false;
  int messages_shown_ = 0;
  int cursor_overrides_ = 0;
};

// A status bar whose numbered panels are labels inside a QStatusBar.
class QtStatusBar : public StatusBar {
 public:
  QtStatusBar(QStatusBar* bar, const std::vector<int>& panel_widths);
  void SetPanelText(int panel, const std::string& utf8) override;
  void Repaint() override;
  std::string PanelText(int panel) const;
  QStatusBar* Widget() const { return bar_; }

 private:
  QStatusBar* bar_;
  std::vector<class QLabel*> panels_;
};

}  // namespace kvarta::gui
