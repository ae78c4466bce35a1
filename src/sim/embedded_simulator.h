// A simulated controller inside kvartactl or kvartapc: the --simulator and
// --sim-NAME options both programs take, and the port factory that leads
// every port the program opens to the simulator's pseudo-terminal.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "sim/simulator.h"

namespace kvarta::sim {

// Takes a program's "--sim-NAME" option at argv[i] into sim_args as
// kvarta-sim's "--NAME", with inline_value (from "--sim-NAME=VALUE") or, when
// the option needs a value, the next argument (advancing i).
void CollectSimOption(int argc, const char* const* argv, int& i, const std::string& name,
                      const std::string* inline_value, std::vector<std::string>& sim_args);

// Parses the collected options; false with a reason in error.
bool ParseCollectedSimOptions(const std::vector<std::string>& sim_args, SimulatorOptions& options,
                              std::string& error);

class SimulatorPortFactory : public SerialPortFactory {
 public:
  explicit SimulatorPortFactory(const SimulatorOptions& options) : simulator_(options) {}
  ~SimulatorPortFactory() override { simulator_.Stop(); }
  // Stops the simulator now; false when its state file could not be saved.
  bool Stop() { return simulator_.Stop(); }

  // Starts serving a pseudo-terminal; false when none could be made.
  bool Start();
  // Opens the simulator's terminal whatever the path names.
  std::unique_ptr<SerialPort> Open(const std::string& device_path,
                                   const LineSettings& settings) override;
  // No line to settle: the terminal is ready as soon as it is open.
  int SettleMs() const override { return 0; }
  Simulator& simulator() { return simulator_; }
  const std::string& path() const { return path_; }

 private:
  Simulator simulator_;
  std::string path_;
};

}  // namespace kvarta::sim
