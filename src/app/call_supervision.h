// The phone call of a modem connection as the main window watches it: the
// call duration, the line watch that notices a lost carrier, the keep-alive
// read and the timers of all three; hanging up at the end.
#pragma once

#include "app/session_parts.h"
#include "link/short_date_time.h"

namespace kvarta {

class CallSupervision {
 public:
  explicit CallSupervision(SessionParts& parts) : parts_(parts) {}

  // A call was established: the duration counts from 00:00:00 and the call
  // panel shows it.
  void CallStarted();
  // After a successful start-up: the line watch and the keep-alive run.
  void StartLineTimers();
  // Keep-alive, line watch and call duration stop.
  void StopTimers();
  // Ends a running call: timers stopped, hung up without the first "ath",
  // call panel hidden (and the modem status bars with hide_bars).
  void EndCall(bool hide_bars);

  // Keep-alive interval from table 20 field 4 (10..30 s, else 10): one
  // second short of it, so that the controller never sees a silent line.
  void SetKeepAliveSeconds(int seconds);
  // An interval worked out elsewhere (after a write of the timeouts table).
  void SetKeepAliveIntervalMs(int ms);
  int keep_alive_interval_ms() const { return keep_alive_interval_ms_; }

  // TimerMoney: one more second of the call.
  void CountSecond();
  // TimerControl: reads what arrived between exchanges and offers to restore
  // a lost call.
  void WatchLine();
  // TimerRerun: a harmless read keeps the call alive.
  void KeepAlive();

  const ShortDateTime& call_duration() const { return call_duration_; }

 private:
  SessionParts& parts_;
  ShortDateTime call_duration_;
  int keep_alive_interval_ms_ = kRerunTimerFirstMs;
};

}  // namespace kvarta
