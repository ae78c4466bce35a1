#include "connection/modem_call_recovery.h"

#include <utility>

#include "link/message_window.h"

namespace kvarta {

namespace {
constexpr int64_t kRedialPauseMs = 3000;
}

ModemCallRecovery::ModemCallRecovery(ControllerLink& link, std::function<DialParams()> dial_params,
                                     std::function<void()> disconnect, bool& modem_connected)
    : link_(link),
      dial_params_(std::move(dial_params)),
      disconnect_(std::move(disconnect)),
      modem_connected_(modem_connected) {}

void ModemCallRecovery::Disconnect() {
  if (disconnect_) disconnect_();
}

bool ModemCallRecovery::Redial() {
  Host& host = link_.host;
  auto give_up = [&] {
    modem_connected_ = false;
    Disconnect();
    host.SetCursor(CursorShape::kNormal);
    return false;
  };
  host.SetCursor(CursorShape::kBusy);
  if (!link_.port) return give_up();

  LineContext line{*link_.port, link_.clock, host, &link_.frame_log};
  ModemHangUp(line, false);
  modem_connected_ = false;
  PauseMs(line, kRedialPauseMs);
  line.port.Purge();
  link_.ClearExchangeBlock();

  for (;;) {
    const DialParams params = dial_params_ ? dial_params_() : DialParams{};
    const int r = ModemDial(line, params, link_.dial_status_panel);
    if (r == kModemOk) break;
    if (!ShowMessageWindow(host, kMessageQuestion, ModemResultText(r), kRetryConnectQuestion)) {
      return give_up();
    }
  }

  modem_connected_ = true;
  for (HostTimer* timer :
       {link_.keep_alive_timer, link_.line_watch_timer, link_.call_duration_timer}) {
    if (timer) timer->Start();
  }
  host.SetCursor(CursorShape::kNormal);
  return true;
}

}  // namespace kvarta
