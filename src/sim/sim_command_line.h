// Command line of kvarta-sim.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/simulator.h"

namespace kvarta::sim {

// How often kvarta-sim --expect-modem repeats the modem initialisation.
inline constexpr int kDefaultExpectModemEveryMs = 2000;

struct SimCommandLine {
  std::string device;  // "" = create a pseudo-terminal
  SimulatorOptions options;
  bool help = false;
};

// Parses the arguments after the program name. On failure returns false with
// a one-line reason in error.
bool ParseSimCommandLine(const std::vector<std::string>& args, SimCommandLine& out,
                         std::string& error);
// Parses a --fault value: silence, cut:N, bad-crc, noise, wrong-echo,
// error:E[,R[,T]], delay:MS. The count is left as it is.
bool ParseFault(std::string_view text, Fault& fault);

// Parses a --diag value: "none", or FIELD:BYTE:BIT[~],... (~ = blinking).
bool ParseDiagFlags(std::string_view text, std::vector<DiagFlag>& flags);
// Parses a --vrg-clocks value: up to four offsets in seconds or "none".
bool ParseVrgClocks(std::string_view text, VrgClockOffsets& clocks);

// The --help text.
std::string SimUsage();

}  // namespace kvarta::sim
