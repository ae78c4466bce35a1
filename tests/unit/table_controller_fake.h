// A controller behind a fake port that serves table reads and writes from its
// own image, with per-request overrides for silence and odd answers.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "link/config_image.h"
#include "link/controller_link.h"
#include "support/fakes.h"
#include "support/frames.h"

namespace kvarta::test {

struct TableRequest {
  uint8_t function = 0;
  FieldRange range;
  Bytes values;  // written values (function 2)
};

class TableControllerFake {
 public:
  // Returns the answer to send, or nullopt for silence.
  using Override = std::function<std::optional<Bytes>(const TableRequest&)>;

  TableControllerFake() : link(host, clock) {
    auto port_owner = std::make_unique<FakeSerialPort>(clock);
    port = port_owner.get();
    link.port = std::move(port_owner);
    link.address = kAddress;
    port->on_write = [this](const Bytes& frame) { Answer(frame); };
  }

  // The next requests are answered by these, in order, before the default.
  void Then(Override o) { overrides.push_back(std::move(o)); }
  void ThenSilence() {
    Then([](const TableRequest&) { return std::nullopt; });
  }
  // Silence for every attempt SendRequest makes, so the request fails.
  void ThenFailedRequest() {
    for (int i = 0; i < link.attempts; ++i) ThenSilence();
  }
  // An error answer to every attempt of the next request.
  void ThenErrorAnswer(uint8_t function_code, uint8_t error) {
    for (int i = 0; i < link.attempts; ++i) {
      Then([=](const TableRequest&) { return MakeErrorAnswer(kAddress, function_code, error); });
    }
  }

  // The normal answer of a controller holding `controller` image.
  std::optional<Bytes> NormalAnswer(const TableRequest& rq) {
    Bytes body = {rq.range.table, rq.range.first, rq.range.count};
    uint8_t* field = controller.Field(rq.range.table, rq.range.first);
    const size_t size = TableCatalogue(rq.range.table).field_size;
    if (rq.function == 1) {
      body.insert(body.end(), field, field + size * rq.range.count);
    } else {
      std::copy(rq.values.begin(), rq.values.end(), field);
    }
    return MakeAnswer(kAddress, rq.function | 0x80, 0, body);
  }

  static constexpr uint8_t kAddress = 1;
  FakeClock clock;
  FakeHost host;
  FakeStatusBar status;
  ControllerLink link;
  FakeSerialPort* port = nullptr;
  ConfigImage image;       // the program's image
  ConfigImage controller;  // what the controller holds
  std::deque<Override> overrides;
  std::vector<TableRequest> requests;

 private:
  void Answer(const Bytes& frame) {
    TableRequest rq;
    rq.function = frame[3];
    const size_t head = rq.function == 2 ? 21 : 5;
    rq.range = {frame[head], frame[head + 1], frame[head + 2]};
    if (rq.function == 2) rq.values.assign(frame.begin() + head + 3, frame.end() - 2);
    requests.push_back(rq);
    std::optional<Bytes> answer;
    if (!overrides.empty()) {
      Override o = std::move(overrides.front());
      overrides.pop_front();
      answer = o(rq);
    } else {
      answer = NormalAnswer(rq);
    }
    if (answer) port->DeliverAfterMs(*answer, 20, 1);
  }
};

}  // namespace kvarta::test
