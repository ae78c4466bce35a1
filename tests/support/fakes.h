// Scripted stand-ins for the core's interfaces: a clock that only moves when
// waited on, a serial line whose peer answers at chosen moments, a host that
// records messages and answers questions from a script.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/host.h"
#include "link/message_window.h"
#include "platform/clock.h"
#include "platform/serial_port.h"

namespace kvarta::test {

class FakeClock : public Clock {
 public:
  int64_t NowNs() const override { return now_ns; }
  void SleepNs(int64_t ns) override {
    if (ns > 0) now_ns += ns;
  }
  LocalDateTime LocalNow() const override { return local; }
  void AdvanceMs(int64_t ms) { now_ns += MsToNs(ms); }

  int64_t now_ns = MsToNs(1000);
  LocalDateTime local{2026, 12, 6, 12, 0, 0, 0};
};

class FakeSerialPort : public SerialPort {
 public:
  explicit FakeSerialPort(FakeClock& clock) : clock_(clock) {}

  // Schedules bytes to arrive at absolute time at_ns, gap_ns apart.
  void Deliver(const std::vector<uint8_t>& bytes, int64_t at_ns, int64_t gap_ns = 0) {
    for (size_t i = 0; i < bytes.size(); ++i) {
      incoming_.push_back({at_ns + static_cast<int64_t>(i) * gap_ns, bytes[i]});
    }
  }
  // Schedules bytes delay_ms from now.
  void DeliverAfterMs(const std::vector<uint8_t>& bytes, int64_t delay_ms, int64_t gap_ms = 0) {
    Deliver(bytes, clock_.now_ns + MsToNs(delay_ms), MsToNs(gap_ms));
  }

  int Read(uint8_t* buf, size_t n) override {
    ++read_calls;
    if (fail_reads) return -1;
    size_t got = 0;
    while (got < n && !incoming_.empty() && incoming_.front().at_ns <= clock_.now_ns) {
      buf[got++] = incoming_.front().byte;
      incoming_.pop_front();
    }
    return static_cast<int>(got);
  }
  bool Write(const uint8_t* buf, size_t n) override {
    if (fail_writes) return false;
    writes.emplace_back(buf, buf + n);
    if (on_write) on_write(writes.back());
    return true;
  }
  bool WaitReadable(int timeout_ms) override {
    ++wait_calls;
    const int64_t until = clock_.now_ns + MsToNs(timeout_ms);
    if (!incoming_.empty() && incoming_.front().at_ns <= until) {
      if (incoming_.front().at_ns > clock_.now_ns) clock_.now_ns = incoming_.front().at_ns;
      return true;
    }
    clock_.now_ns = until;
    return false;
  }
  void Purge() override {
    ++purges;
    while (!incoming_.empty() && incoming_.front().at_ns <= clock_.now_ns) incoming_.pop_front();
  }
  bool ClearErrors() override {
    ++clear_errors;
    return !gone;
  }
  bool SetBaudRate(uint32_t rate) override {
    baud = rate;
    return true;
  }
  bool SetDtr(bool on) override {
    dtr = on;
    events.push_back(on ? "DTR+" : "DTR-");
    return true;
  }
  bool SetRts(bool on) override {
    rts = on;
    events.push_back(on ? "RTS+" : "RTS-");
    return true;
  }
  uint32_t BaudRate() const override { return baud; }

  // Every write, in order; and a responder called after each write.
  std::vector<std::vector<uint8_t>> writes;
  std::function<void(const std::vector<uint8_t>&)> on_write;
  std::vector<std::string> events;
  bool fail_reads = false;
  bool gone = false;  // with fail_reads: the device has gone away for good
  bool fail_writes = false;
  bool dtr = false;
  bool rts = false;
  uint32_t baud = 9600;
  int read_calls = 0;
  int wait_calls = 0;
  int purges = 0;
  int clear_errors = 0;
  size_t Pending() const { return incoming_.size(); }
  // Arrival time of the next scheduled byte, -1 when none is.
  int64_t NextArrivalNs() const { return incoming_.empty() ? -1 : incoming_.front().at_ns; }

 private:
  struct Timed {
    int64_t at_ns;
    uint8_t byte;
  };
  FakeClock& clock_;
  std::deque<Timed> incoming_;
};

class FakeStatusBar : public StatusBar {
 public:
  void SetPanelText(int panel, const std::string& text) override {
    panels[panel] = text;
    history.push_back({panel, text});
  }
  std::map<int, std::string> panels;
  std::vector<std::pair<int, std::string>> history;
};

class FakeHost : public Host {
 public:
  void PumpMessages() override {
    ++pumps;
    if (on_pump) on_pump();
  }
  bool TakeEscape() override {
    const bool e = escape;
    escape = false;
    return e;
  }
  bool ShowMessage(const MessageWindowModel& window) override {
    shown.push_back(window);
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  void SetCursor(CursorShape shape) override { cursors.push_back(shape); }

  std::vector<MessageWindowModel> shown;
  std::deque<bool> answers;  // answers to questions, "Нет" when empty
  std::function<void()> on_pump;
  std::vector<CursorShape> cursors;
  bool escape = false;
  int pumps = 0;
};

class FakeTimer : public HostTimer {
 public:
  void Start() override {
    running = true;
    ++starts;
  }
  void Stop() override {
    running = false;
    ++stops;
  }
  bool running = false;
  int starts = 0;
  int stops = 0;
};

}  // namespace kvarta::test
