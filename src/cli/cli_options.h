// Command line of kvartactl.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/simulator.h"

namespace kvarta::cli {

struct CliOptions {
  std::string port;  // device path or COMn
  int address = 1;
  uint32_t baud = 9600;
  int preambles = 5;
  int byte_timeout_ms = 100;
  int answer_timeout_ms = 2000;
  int attempts = 1;
  std::string code;      // identification code (write credentials)
  std::string password;  // write password
  bool simulator = false;
  bool trace = false;
  bool interactive = false;
  bool verbose = false;
  bool help = false;
  sim::SimulatorOptions sim;
  std::vector<std::string> command;  // command word and its operands
};

// Parses argv; false with a message in error on a bad command line.
bool ParseCliOptions(int argc, const char* const* argv, CliOptions& options, std::string& error);

// Parses a fault description: silence, cut:N, bad-crc, noise, wrong-echo,
// error:E[,R[,T]], delay:MS.
bool ParseFaultSpec(const std::string& text, sim::Fault& fault);

// Parses a whole number within [lo, hi].
bool ParseNumber(const std::string& text, long lo, long hi, long& value);

std::string UsageText();

}  // namespace kvarta::cli
