// The modem imitation window (TFormImit_Modem): opens the direct connection's
// port, waits for the controller's modem initialisation and answers it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "connection/modem_imitation.h"
#include "connection/settings_store.h"

namespace kvarta {

class SerialPort;
class Host;
class Connector;

class ImitModemModel {
 public:
  static constexpr int kWidth = 290;
  static constexpr int kHeight = 118;
  static constexpr int kStartTimerMs = 20;
  static constexpr int kProgressTimerMs = 500;

  ImitModemModel(Host& host, SettingsStore& store, Connector& connector);
  ~ImitModemModel();

  // Close button hidden, start timer started.
  void OnShow();
  // The start timer: opens the port and runs the wait (returns when it ends).
  void OnStartTimer();
  // Every 500 ms while waiting.
  void OnProgressTimer();
  void OnEscape();
  // The window asks to close; false while waiting (the wait then stops and
  // closes the window itself).
  bool OnCloseQuery();

  std::string text = kImitationWaitText;
  bool esc_hint_visible = true;
  bool close_button_visible = false;
  int progress = 0;
  bool start_timer_running = false;
  bool progress_timer_running = false;
  bool closed = false;  // the window is to close
  // Tells the window to repaint (the wait keeps the event loop running).
  std::function<void()> on_change;

 private:
  void ClosePort();

  Host& host_;
  SettingsStore& store_;
  Connector& connector_;
  std::unique_ptr<SerialPort> port_;
  std::optional<ModemImitation> imitation_;
};

}  // namespace kvarta
