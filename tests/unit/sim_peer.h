// The simulated controller as the peer of a link on a fake line and clock:
// every request frame goes to sim::Controller and its answer comes back a
// few milliseconds later. Requests can be left unanswered or cut to fail.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/config_image.h"
#include "link/controller_link.h"
#include "sim/controller.h"
#include "support/fakes.h"
#include "support/frames.h"

namespace kvarta::test {

class SimPeer {
 public:
  // March 2026, a quiet afternoon: the controller's clocks derive from it.
  static constexpr int64_t kStartUnix = 1774015200;

  SimPeer() : link(host, clock) {
    auto owned = std::make_unique<FakeSerialPort>(clock);
    port = owned.get();
    link.port = std::move(owned);
    link.address = 1;
    link.attempts = 1;
    link.SetCredentials("111111", "1111");
    controller.SetTimeSource([this] { return unix_now + clock.NowNs() / 1000000000; });
    port->on_write = [this](const Bytes& frame) { Answer(frame); };
  }

  // The request frames seen (preambles removed), and what they asked for.
  struct Request {
    uint8_t function = 0;
    uint8_t table = 0, first = 0, count = 0;
    Bytes values;
  };
  std::vector<Request> Requests(uint8_t function) const {
    std::vector<Request> out;
    for (const Request& r : requests)
      if (r.function == function) out.push_back(r);
    return out;
  }
  std::vector<Request> Reads(uint8_t table) const {
    std::vector<Request> out;
    for (const Request& r : Requests(1))
      if (r.table == table) out.push_back(r);
    return out;
  }

  FakeClock clock;
  FakeHost host;
  FakeStatusBar status;
  ControllerLink link;
  FakeSerialPort* port = nullptr;
  ConfigImage image;
  sim::Controller controller{1};
  int64_t unix_now = kStartUnix;
  std::vector<Request> requests;
  // The next this many requests get no answer.
  int silent = 0;
  // The next this many requests are answered by the modem's "NO CARRIER".
  int carrier_drops = 0;
  // Changes an answer before it goes on the line (its CRC is made anew).
  std::function<void(Bytes&)> edit_answer;
  // Called before each request is answered (e.g. to change the controller).
  std::function<void(const Request&)> before_answer;

 private:
  void Answer(const Bytes& written) {
    Bytes frame(std::find(written.begin(), written.end(), 0xCC), written.end());
    if (frame.size() < 8) return;
    Request r;
    r.function = frame[3];
    const size_t head = r.function == 2 ? 21 : 5;
    if (r.function != 32 && frame.size() > head + 2) {
      r.table = frame[head], r.first = frame[head + 1], r.count = frame[head + 2];
      if (r.function == 2) r.values.assign(frame.begin() + head + 3, frame.end() - 2);
    }
    requests.push_back(r);
    if (before_answer) before_answer(r);
    if (silent > 0) {
      --silent;
      return;
    }
    if (carrier_drops > 0) {
      --carrier_drops;
      const std::string text = "\r\nNO CARRIER\r\n";
      port->DeliverAfterMs(Bytes(text.begin(), text.end()), 5, 0);
      return;
    }
    Bytes answer = controller.Handle(frame);
    if (answer.empty()) return;
    if (edit_answer) {
      answer.resize(answer.size() - 2);
      edit_answer(answer);
      answer = WithCrc(answer);
    }
    port->DeliverAfterMs(answer, 5, 0);
  }
};

}  // namespace kvarta::test
