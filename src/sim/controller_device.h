// The controller as the innermost device on the line: assembles requests,
// lets the Controller answer them and damages the answers as the current
// fault says.
#pragma once

#include <random>

#include "sim/controller.h"
#include "sim/frame_assembler.h"
#include "sim/line_device.h"

namespace kvarta::sim {

class ControllerDevice : public LineDevice {
 public:
  explicit ControllerDevice(Controller& controller) : controller_(controller) {}

  void OnBytes(const uint8_t* data, size_t n, int64_t now_ns) override;
  void Poll(int64_t now_ns) override { assembler_.Expire(now_ns); }

  void SetFault(const Fault& fault) { fault_ = fault; }
  const Fault& CurrentFault() const { return fault_; }

 private:
  bool FaultActive() const { return fault_.kind != FaultKind::kNone && fault_.count != 0; }
  void UseFault();

  Controller& controller_;
  FrameAssembler assembler_;
  Fault fault_;
  std::minstd_rand rng_{12345};
};

}  // namespace kvarta::sim
