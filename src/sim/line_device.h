// Devices on the simulated line, chained from the line inwards.
//
// The simulator hands every byte that arrives from the program to the
// outermost device (OnBytes) and calls Poll on it regularly. A device answers
// through Emit: a chunk of bytes and the delay after which it starts to leave
// (the simulator paces the bytes at the line rate when asked to). The
// innermost device is the controller itself (ControllerDevice). A front - a
// modem or a line adapter - owns its inner device: it passes on the bytes that
// are meant for the controller, forwards Poll, and sets the inner device's
// output to a function of its own, so the controller's answers reach the line
// through the front (which may drop them, e.g. while a modem is in command
// mode).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "sim/simulator.h"

namespace kvarta::sim {

class LineDevice {
 public:
  using Output = std::function<void(std::vector<uint8_t> bytes, int64_t delay_ns)>;

  virtual ~LineDevice() = default;
  // Bytes from the program, received at now_ns (monotonic).
  virtual void OnBytes(const uint8_t* data, size_t n, int64_t now_ns) = 0;
  // Called every few milliseconds, for timeouts.
  virtual void Poll(int64_t /*now_ns*/) {}
  // The device behind this one; null for the controller itself.
  virtual LineDevice* Inner() { return nullptr; }
  void SetOutput(Output output) { output_ = std::move(output); }

 protected:
  void Emit(std::vector<uint8_t> bytes, int64_t delay_ns = 0) {
    if (output_ && !bytes.empty()) output_(std::move(bytes), delay_ns);
  }

 private:
  Output output_;
};

// Puts the front of the given kind ahead of inner; kNone (and a kind without
// an implementation) gives inner back.
std::unique_ptr<LineDevice> MakeFront(FrontKind kind, std::unique_ptr<LineDevice> inner);
// The same with the fronts' scripts from options; a modem-expecting controller
// (options.expect_modem) goes between the front and inner.
std::unique_ptr<LineDevice> MakeFront(const SimulatorOptions& options,
                                      std::unique_ptr<LineDevice> inner);

}  // namespace kvarta::sim
