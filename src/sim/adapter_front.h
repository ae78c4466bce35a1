// The PC-side line adapter in front of the simulated controller: working mode
// carries the bytes both ways; "@@@" after a moment of silence switches to
// command mode, where "at@..." commands set the line parameters and are
// answered with the digit "0" (OK) or "4" (ERROR), and "ato" returns to
// working mode.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/line_device.h"
#include "sim/simulator.h"

namespace kvarta::sim {

// The settings the adapter was given; -1 = never set.
struct AdapterSettings {
  int line = -1;               // at@l, 0..7
  int rate = -1;               // at@s, 0..4
  int k_output = -1;           // at@u, first three digits
  int k_input = -1;            // at@u, last three digits
  int radio = -1;              // at@r, 0..1
  int leading_frequency = -1;  // at@f, 0..1
  int correction_type = -1;    // at@t, 0 microseconds, 1 bauds
  int correction_sign = -1;    // at@d, 1 = negative
  int correction_us = -1;      // at@m, five digits
  int correction_bauds = -1;   // at@c, four digits
  int correction_off = -1;     // at@c0 gives 1
};

class AdapterFront : public LineDevice {
 public:
  AdapterFront(const AdapterScript& script, std::unique_ptr<LineDevice> inner);

  LineDevice* Inner() override { return inner_.get(); }
  void OnBytes(const uint8_t* data, size_t n, int64_t now_ns) override;
  void Poll(int64_t now_ns) override { inner_->Poll(now_ns); }

  bool CommandMode() const { return command_mode_; }
  int Escapes() const { return escapes_; }
  // Every command received in command mode, without its CR ("@@@" included).
  const std::vector<std::string>& Commands() const { return commands_; }
  const AdapterSettings& Settings() const { return settings_; }

 private:
  void WorkingBytes(const uint8_t* data, size_t n, int64_t now_ns);
  void CommandByte(uint8_t b, std::vector<uint8_t>& out);
  // Carries out one command; false for an unknown command or a value out of
  // range.
  bool Apply(const std::string& command);
  bool Refused(const std::string& command) const;
  void EnterCommandMode(std::vector<uint8_t>& out);

  AdapterScript script_;
  std::unique_ptr<LineDevice> inner_;
  bool command_mode_ = false;
  int escapes_ = 0;
  std::string line_;
  std::vector<std::string> commands_;
  AdapterSettings settings_;
  int64_t last_rx_ns_;
  // '@' characters held back in working mode while they may be an escape.
  int ats_ = 0;
};

}  // namespace kvarta::sim
