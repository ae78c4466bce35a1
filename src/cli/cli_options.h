// Command line of kvartactl.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/connection_kind.h"
#include "sim/simulator.h"

namespace kvarta::cli {

// Values given on the command line; what is not given comes from the
// program's connection settings (or their defaults).
struct CliOptions {
  std::optional<std::string> port;  // device path or COMn
  std::optional<int> address;
  std::optional<uint32_t> baud;
  std::optional<int> preambles;
  std::optional<int> byte_timeout_ms;
  std::optional<int> answer_timeout_ms;
  std::optional<int> attempts;
  std::optional<int> settle_ms;
  std::optional<ConnectionKind> via;
  // Modem dial-up.
  std::optional<std::string> phone;
  std::optional<std::string> modem_command;
  std::optional<int> connect_wait_s;
  std::optional<int> dial_attempts;
  // Line adapter.
  std::optional<int> line;          // 1..8
  std::optional<int> adapter_rate;  // list index 0..4
  std::optional<int> gain_out;
  std::optional<int> gain_in;
  std::optional<int> radio;
  std::optional<int> lider;
  std::optional<std::string> correction;  // off, us:N, baud:N (N may be negative)

  std::string home;
  std::string code;      // identification code (write credentials)
  std::string password;  // write password
  bool simulator = false;
  bool trace = false;
  bool trace_secrets = false;  // --trace-secrets: the trace shows credentials too
  bool interactive = false;
  bool verbose = false;
  bool help = false;
  sim::SimulatorOptions sim;
  std::vector<std::string> command;  // command word and its operands
};

// Parses argv; false with a message in error on a bad command line. Options
// "--sim-NAME" are the simulator's "--NAME" options.
bool ParseCliOptions(int argc, const char* const* argv, CliOptions& options, std::string& error);

// Parses a whole number within [lo, hi].
bool ParseNumber(const std::string& text, long lo, long hi, long& value);

// Parses the adapter's --correction value into type and signed value; off
// gives correction_on 0.
bool ParseCorrection(const std::string& text, int& correction_on, int& type, int& value);

// "300, 600, ..., 230400": the rates --baud accepts.
std::string SupportedRatesText();

std::string UsageText();

}  // namespace kvarta::cli
