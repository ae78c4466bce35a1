// A Hayes GSM modem in front of the simulated controller: AT commands in
// command mode, the dial with a scripted outcome, data mode that carries the
// controller's frames, the "+++" escape with guard times and a carrier that
// can be made to drop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/line_device.h"
#include "sim/simulator.h"

namespace kvarta::sim {

class ModemFront : public LineDevice {
 public:
  enum class Mode { kCommand, kDialing, kData };

  ModemFront(const ModemScript& script, std::unique_ptr<LineDevice> inner);

  LineDevice* Inner() override { return inner_.get(); }
  void OnBytes(const uint8_t* data, size_t n, int64_t now_ns) override;
  void Poll(int64_t now_ns) override;

  Mode CurrentMode() const { return mode_; }
  bool CallUp() const { return call_up_; }
  bool Echo() const { return echo_; }
  // Every command line executed in command mode, as received without CR.
  const std::vector<std::string>& Commands() const { return commands_; }
  // The number of the last dial command.
  const std::string& DialledNumber() const { return dialled_; }
  int Drops() const { return drops_; }

 private:
  void CommandByte(uint8_t b, int64_t now_ns, std::vector<uint8_t>& out);
  void DataBytes(const uint8_t* data, size_t n, int64_t now_ns);
  // Runs one command line; its answers go to out.
  void Execute(const std::string& line, int64_t now_ns, std::vector<uint8_t>& out);
  void Answer(std::vector<uint8_t>& out, const std::string& verbal, int numeric);
  void AnswerDialOutcome(std::vector<uint8_t>& out);
  void DropCarrier();
  void EnterData(int64_t now_ns);

  ModemScript script_;
  std::unique_ptr<LineDevice> inner_;
  Mode mode_ = Mode::kCommand;
  bool echo_ = true;
  bool verbal_ = true;
  bool call_up_ = false;
  std::string line_;
  std::vector<std::string> commands_;
  std::string dialled_;
  int64_t dial_due_ns_ = 0;
  int64_t connected_ns_ = 0;
  int answers_in_call_ = 0;
  int drops_ = 0;

  // Escape detection in data mode.
  int64_t last_rx_ns_;
  int pluses_ = 0;          // '+' seen after a guard silence
  bool escape_cr_ = false;  // the CR the program puts after "+++"
};

}  // namespace kvarta::sim
