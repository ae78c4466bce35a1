// What the core needs from whoever shows it to a user: the desktop program,
// the command-line tool and the tests each implement these.
#pragma once

#include <string>

namespace kvarta {

struct MessageWindowModel;

enum class CursorShape { kNormal, kBusy, kAppStarting };

// A status bar with numbered panels (the main window's StatusBar1 has four).
class StatusBar {
 public:
  virtual ~StatusBar() = default;
  virtual void SetPanelText(int panel, const std::string& utf8) = 0;
  virtual void Repaint() {}
};

// One panel of a status bar; empty when bar is null.
struct StatusPanelRef {
  StatusBar* bar = nullptr;
  int panel = 0;
  void SetText(const std::string& utf8) const {
    if (bar) bar->SetPanelText(panel, utf8);
  }
  void Repaint() const {
    if (bar) bar->Repaint();
  }
  explicit operator bool() const { return bar != nullptr; }
};

// A window timer the core starts and stops (the main window's keep-alive,
// line-watch and call-duration timers).
class HostTimer {
 public:
  virtual ~HostTimer() = default;
  virtual void Start() = 0;
  virtual void Stop() = 0;
};

class Host {
 public:
  virtual ~Host() = default;
  // Lets pending window messages run (timers, repaint, input).
  virtual void PumpMessages() {}
  // True once for every Esc key press since the last call.
  virtual bool TakeEscape() { return false; }
  // Shows the modal message window; returns true when the user answered "Да".
  virtual bool ShowMessage(const MessageWindowModel& window) = 0;
  virtual void SetCursor(CursorShape) {}
};

}  // namespace kvarta
