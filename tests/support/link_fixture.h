// A ControllerLink on a fake line, clock and host, ready for exchanges.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "link/controller_link.h"
#include "support/fakes.h"
#include "support/frames.h"

namespace kvarta::test {

class FakeRecovery : public CallRecovery {
 public:
  bool Redial() override {
    ++redials;
    if (on_redial) on_redial();
    return redial_result;
  }
  void Disconnect() override { ++disconnects; }

  bool redial_result = true;
  int redials = 0;
  int disconnects = 0;
  std::function<void()> on_redial;
};

class LinkFixture : public ::testing::Test {
 protected:
  LinkFixture() {
    auto fake = std::make_unique<FakeSerialPort>(clock);
    port = fake.get();
    link.port = std::move(fake);
    link.address = 1;
    link.exchange_status_panel = {&bar, 3};
  }

  // Answers every request with answer, delay_ms after the write, gap_ms
  // between bytes; also notes the time of each write.
  void AnswerEveryRequest(const Bytes& answer, int64_t delay_ms = 5, int64_t gap_ms = 1) {
    port->on_write = [this, answer, delay_ms, gap_ms](const Bytes&) {
      write_times.push_back(clock.now_ns);
      port->DeliverAfterMs(answer, delay_ms, gap_ms);
    };
  }
  // Never answers; notes the time of each write.
  void StaySilent() {
    port->on_write = [this](const Bytes&) { write_times.push_back(clock.now_ns); };
  }

  // Read of table 0, field 0, one field (function code 1).
  bool ReadTable0() {
    const uint8_t range[3] = {0, 0, 1};
    return SendRequest(link, 1, range, 3, 0);
  }
  // Write of one byte value into table/field (function code 2).
  bool WriteField(uint8_t table, uint8_t field, uint8_t value) {
    const uint8_t data[4] = {table, field, 1, value};
    return SendRequest(link, 2, data, 4, 0);
  }

  int64_t MsSinceLastWrite() const {
    return write_times.empty() ? -1 : (clock.now_ns - write_times.back()) / 1000000;
  }

  FakeClock clock;
  FakeHost host;
  FakeStatusBar bar;
  ControllerLink link{host, clock};
  FakeSerialPort* port = nullptr;
  std::vector<int64_t> write_times;
};

}  // namespace kvarta::test
