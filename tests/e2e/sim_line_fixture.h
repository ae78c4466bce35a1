// The program's connection functions against the simulator over a real
// pseudo-terminal: the simulator with a front in front of the controller, the
// program's port opened on the terminal, the real clock and a scripted host.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "connection/line_context.h"
#include "link/controller_link.h"
#include "platform/clock.h"
#include "sim/line_device.h"
#include "support/fakes.h"
#include "support/sim_session.h"

namespace kvarta::test {

class SimLineTest : public ::testing::Test {
 protected:
  // Starts the simulator and opens the program's port on its terminal.
  void Start(const sim::SimulatorOptions& options, ConnectionKind kind) {
    sim_ = std::make_unique<SimSession>(options);
    ASSERT_TRUE(sim_->started);
    link_.port = sim_->ports.Open("", LineSettings{.rate = 9600});
    ASSERT_NE(link_.port, nullptr);
    link_.connection_kind = kind;
    link_.address = options.address;
    link_.baud_rate = 9600;
    link_.preamble_count = 3;
    link_.attempts = 1;
    link_.answer_timeout_ms = 2000;
    link_.inter_byte_timeout_ms = 200;  // generous: the machine may be busy
    line_ = std::make_unique<LineContext>(LineContext{*link_.port, RealClock(), host_});
  }
  void TearDown() override {
    line_.reset();
    link_.ClosePort();
    sim_.reset();
  }

  // Reads table 0, the controller's identification, through the link.
  bool ReadIdentification() {
    const uint8_t range[3] = {0, 0, 18};
    return SendRequest(link_, 1, range, 3, 0);
  }

  // Runs f on the front of the given type (fails the test if there is none).
  template <typename Front, typename F>
  void WithFront(F f) {
    bool found = false;
    sim_->ports.simulator().WithFront([&](sim::LineDevice& device) {
      if (auto* front = dynamic_cast<Front*>(&device)) {
        found = true;
        f(*front);
      }
    });
    ASSERT_TRUE(found);
  }

  FakeHost host_;
  ControllerLink link_{host_, RealClock()};
  std::unique_ptr<SimSession> sim_;
  std::unique_ptr<LineContext> line_;
};

}  // namespace kvarta::test
