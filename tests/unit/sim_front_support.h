// Helpers for driving the simulator's line fronts directly: an inner device
// that records what reaches it and answers on cue, and a recorder of what a
// front puts on the line.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "sim/line_device.h"

namespace kvarta::sim::test {

// Stands in for the controller: records the bytes that reach it and answers
// "ANSWER" to every '?'.
class RecordingDevice : public LineDevice {
 public:
  void OnBytes(const uint8_t* data, size_t n, int64_t /*now_ns*/) override {
    for (size_t i = 0; i < n; ++i) {
      received.push_back(static_cast<char>(data[i]));
      if (data[i] == '?') Emit({'A', 'N', 'S', 'W', 'E', 'R'});
    }
  }
  std::string received;
};

// Owns a front over a RecordingDevice and collects its output.
template <typename Front>
struct FrontRig {
  template <typename Script>
  explicit FrontRig(const Script& script) {
    auto device = std::make_unique<RecordingDevice>();
    inner = device.get();
    front = std::make_unique<Front>(script, std::move(device));
    front->SetOutput(
        [this](std::vector<uint8_t> bytes, int64_t) { line.append(bytes.begin(), bytes.end()); });
  }
  // Sends text at time t_ms and polls at that moment.
  void Send(const std::string& text, int64_t t_ms) {
    front->OnBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size(), MsToNs(t_ms));
    front->Poll(MsToNs(t_ms));
  }
  void PollAt(int64_t t_ms) { front->Poll(MsToNs(t_ms)); }
  // What went to the line since the last call.
  std::string Take() {
    std::string out;
    out.swap(line);
    return out;
  }
  // Polls at t_ms and takes what went to the line since the last call.
  std::string PollTake(int64_t t_ms) {
    PollAt(t_ms);
    return Take();
  }
  // Sends text at t_ms and takes what the front put on the line meanwhile.
  std::string Reply(const std::string& text, int64_t t_ms) {
    Send(text, t_ms);
    return Take();
  }

  RecordingDevice* inner = nullptr;
  std::unique_ptr<Front> front;
  std::string line;
};

}  // namespace kvarta::sim::test
