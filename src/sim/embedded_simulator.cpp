#include "sim/embedded_simulator.h"

#include "platform/posix_serial_port.h"
#include "sim/sim_command_line.h"

namespace kvarta::sim {

void CollectSimOption(int argc, const char* const* argv, int& i, const std::string& name,
                      const std::string* inline_value, std::vector<std::string>& sim_args) {
  std::vector<std::string> alone = {"--" + name};
  if (inline_value) alone.push_back(*inline_value);
  SimCommandLine probe;
  std::string why;
  // An option that does not parse alone needs a value.
  if (!inline_value && !ParseSimCommandLine(alone, probe, why) && i + 1 < argc) {
    alone.push_back(argv[++i]);
  }
  sim_args.insert(sim_args.end(), alone.begin(), alone.end());
}

bool ParseCollectedSimOptions(const std::vector<std::string>& sim_args, SimulatorOptions& options,
                              std::string& error) {
  if (sim_args.empty()) return true;
  SimCommandLine parsed;
  if (!ParseSimCommandLine(sim_args, parsed, error)) return false;
  options = parsed.options;
  return true;
}

bool SimulatorPortFactory::Start() {
  path_ = simulator_.StartOnPty();
  return !path_.empty();
}

std::unique_ptr<SerialPort> SimulatorPortFactory::Open(const std::string& /*device_path*/,
                                                       const LineSettings& settings) {
  if (path_.empty()) return nullptr;
  return OpenComPort(path_, settings);
}

}  // namespace kvarta::sim
