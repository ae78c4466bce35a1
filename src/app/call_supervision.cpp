#include "app/call_supervision.h"

#include "link/function_codes.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr int kKeepAliveMinS = 10;
constexpr int kKeepAliveMaxS = 30;

}  // namespace

void CallSupervision::CallStarted() {
  call_duration_ = ShortDateTime{};
  parts_.view.SetCallDuration("00:00:00");
  parts_.view.SetModemPanelVisible(true);
  parts_.view.Timer(MainTimer::kMoney).Start();
}

void CallSupervision::StartLineTimers() {
  parts_.view.Timer(MainTimer::kControl).Start();
  parts_.view.Timer(MainTimer::kRerun).Start();
}

void CallSupervision::StopTimers() {
  parts_.view.Timer(MainTimer::kRerun).Stop();
  parts_.view.Timer(MainTimer::kControl).Stop();
  parts_.view.Timer(MainTimer::kMoney).Stop();
}

void CallSupervision::EndCall(bool hide_bars) {
  StopTimers();
  parts_.connector.HangUp(true);
  parts_.view.SetModemPanelVisible(false);
  if (hide_bars) parts_.view.SetModemBarsVisible(false);
}

void CallSupervision::SetKeepAliveSeconds(int seconds) {
  if (seconds < kKeepAliveMinS || seconds > kKeepAliveMaxS) seconds = kKeepAliveMinS;
  SetKeepAliveIntervalMs((seconds - 1) * 1000);
}

void CallSupervision::SetKeepAliveIntervalMs(int ms) {
  keep_alive_interval_ms_ = ms;
  parts_.view.SetTimerInterval(MainTimer::kRerun, keep_alive_interval_ms_);
}

void CallSupervision::CountSecond() {
  // Only the time of day is counted: 60 seconds carry into a minute, 60
  // minutes into an hour.
  if (++call_duration_.second >= 60) {
    call_duration_.second = 0;
    if (++call_duration_.minute >= 60) {
      call_duration_.minute = 0;
      ++call_duration_.hour;
    }
  }
  parts_.view.SetCallDuration(
      Format("%02u:%02u:%02u", call_duration_.hour, call_duration_.minute, call_duration_.second));
}

void CallSupervision::WatchLine() {
  ControllerLink& link = parts_.link;
  if (link.exchange_in_progress) return;
  HostTimer& timer = parts_.view.Timer(MainTimer::kControl);
  timer.Stop();
  if (!parts_.connector.modem_connected()) return;
  int got = 0;
  if (link.port) {
    got = link.port->Read(link.session_log.data(), link.session_log.size());
    if (got < 0) {
      link.port->ClearErrors();
      got = 0;
    }
    // The log is text up to its first zero byte: stale bytes beyond the new
    // ones must not count.
    if (got < static_cast<int>(link.session_log.size())) link.session_log[got] = 0;
  }
  if (got > 0 && OfferReconnect(link, true) != 0) return;
  if (parts_.connector.modem_connected()) timer.Start();
}

void CallSupervision::KeepAlive() {
  if (parts_.link.exchange_in_progress || !parts_.connector.modem_connected()) return;
  // A read of the destroyed-table number; the image is not touched.
  const uint8_t range[] = {0, 0, 1};
  SendRequest(parts_.link, kReadFunction, range, sizeof range, 0);
}

}  // namespace kvarta
