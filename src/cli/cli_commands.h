// The commands of kvartactl over an open controller link.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace kvarta {
struct ControllerLink;
class ConfigImage;
class StatusBar;
}  // namespace kvarta

namespace kvarta::cli {

// Runs the whole tool: opens the line (or a simulator), runs the command and
// returns the exit status.
int RunKvartactl(const CliOptions& options);

// Formats field bytes as two-digit upper-case hex separated by single spaces.
std::string HexFields(const uint8_t* bytes, size_t count);
// Parses hex bytes given as separate words or run together ("0A 1B", "0a1b").
bool ParseHexBytes(const std::vector<std::string>& words, std::vector<uint8_t>& out);

// The identification table as text lines.
std::vector<std::string> IdentificationLines(const uint8_t* t0);

}  // namespace kvarta::cli
