// The simulated controller, behind the fronts the options ask for, as the
// peer of a fake serial line on the fake clock: what the program writes
// reaches the outermost device at the clock's time, what the devices send
// arrives after the delay they ask for, and every wait of the program polls
// them, so guard times and dial delays run as on a real line, only faster.
#pragma once

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "link/controller_link.h"
#include "link/table_service.h"
#include "sim/controller.h"
#include "sim/controller_device.h"
#include "sim/line_device.h"
#include "support/fakes.h"
#include "support/frames.h"

namespace kvarta::test {

class SimLinePort : public FakeSerialPort {
 public:
  explicit SimLinePort(FakeClock& clock, const sim::SimulatorOptions& options = {})
      : FakeSerialPort(clock), clock_(clock), controller(options.address) {
    auto inner = std::make_unique<sim::ControllerDevice>(controller);
    controller_device = inner.get();
    controller_device->SetFault(options.fault);
    for (int t : options.destroyed_tables) controller.SetDestroyed(t, true);
    device = sim::MakeFront(options, std::move(inner));
    device->SetOutput([this](std::vector<uint8_t> bytes, int64_t delay_ns) {
      Deliver(bytes, clock_.now_ns + delay_ns);
    });
    on_write = [this, listen = options.listen_baud](const Bytes& bytes) {
      write_ns.push_back(clock_.now_ns);
      if (listen != 0 && baud != listen) return;  // not heard at another rate
      if (instead.empty()) {
        device->OnBytes(bytes.data(), bytes.size(), clock_.now_ns);
        return;
      }
      if (instead.front()) DeliverAfterMs(*instead.front(), 20);
      instead.pop_front();
    };
  }

  bool WaitReadable(int timeout_ms) override {
    ++wait_calls;
    const int64_t until = clock_.now_ns + MsToNs(timeout_ms);
    for (;;) {
      device->Poll(clock_.now_ns);
      const int64_t next = NextArrivalNs();
      if (next >= 0 && next <= clock_.now_ns) return true;
      if (clock_.now_ns >= until) return false;
      int64_t step = clock_.now_ns + MsToNs(1);
      if (next >= 0) step = std::min(step, next);
      clock_.now_ns = std::min(step, until);
    }
  }

  // The front of type Front (the outermost device).
  template <typename Front>
  Front& front() {
    return dynamic_cast<Front&>(*device);
  }

  // Function code and range of every table request written so far.
  struct Request {
    uint8_t function;
    FieldRange range;
  };
  std::vector<Request> Requests() const {
    std::vector<Request> out;
    for (const Bytes& w : writes) {
      const auto start = std::find(w.begin(), w.end(), 0xCC);
      const size_t head = (start - w.begin()) + (start[3] == 2 ? 21 : 5);
      if (w.size() > head + 2) out.push_back({start[3], {w[head], w[head + 1], w[head + 2]}});
    }
    return out;
  }

  FakeClock& clock_;
  sim::Controller controller;
  sim::ControllerDevice* controller_device = nullptr;
  std::unique_ptr<sim::LineDevice> device;
  // The next writes are answered by these instead of the devices (nullopt:
  // silence), for answers no controller would give.
  std::deque<std::optional<Bytes>> instead;
  std::vector<int64_t> write_ns;
};

// A link whose line leads to the simulated controller; Use() puts a new one
// (with the fronts options asks for) on the line.
struct SimLinked {
  SimLinked() { Use({}); }
  void Use(const sim::SimulatorOptions& options) {
    auto owned = std::make_unique<SimLinePort>(clock, options);
    port = owned.get();
    link.port = std::move(owned);
    link.address = options.address;
  }
  // Reads table 0, the identification, through the link.
  bool ReadTable0() {
    const uint8_t range[3] = {0, 0, 18};
    return SendRequest(link, 1, range, 3, 0);
  }

  FakeClock clock;
  FakeHost host;
  FakeStatusBar bar;
  ControllerLink link{host, clock};
  SimLinePort* port = nullptr;
};

}  // namespace kvarta::test
