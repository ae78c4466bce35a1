// Programming the PC-side line adapter: command mode, line parameters, back to
// working mode.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "connection/connection_settings.h"
#include "connection/line_context.h"
#include "link/host.h"

namespace kvarta {

enum AdapterResults : int {
  kAdapterOk = 0,
  kAdapterNoCommandMode = 1,
  kAdapterNoLine = 2,
  kAdapterNoRate = 3,
  kAdapterNoGains = 4,
  kAdapterNoRadio = 5,
  kAdapterNoLeadingFrequency = 6,
  kAdapterNoCorrection = 7,
  kAdapterNoWorkingMode = 8,
};
inline constexpr int kAdapterResultCount = 9;

// Answers of one adapter command.
inline constexpr int kAdapterAnswerOk = 0;     // "0"
inline constexpr int kAdapterAnswerError = 4;  // "4"
inline constexpr int kAdapterAnswerNone = 1000;

// The set-up programs the adapter line group of the connection settings.
using AdapterSetUpParams = AdapterLineParams;

// The formatted commands in the order they are sent (the escape once).
struct AdapterCommands {
  std::string escape;
  std::string line;
  std::string rate;
  std::string gains;
  std::string radio;
  std::string leading_frequency;
  std::vector<std::string> correction;  // unit, sign, value; or correction off
  std::string working_mode;
};

// Text of an adapter result; empty for codes outside the table.
std::string AdapterResultText(int result);

AdapterCommands FormatAdapterCommands(const AdapterSetUpParams& params);

// Writes the command as it is and waits up to timeout_ms for the answer
// digit: kAdapterAnswerOk, kAdapterAnswerError or kAdapterAnswerNone. Other
// bytes are skipped. It waits for the whole time-out rather than giving up at
// the first moment the line is idle, since the adapter answers only after it
// has parsed the command.
int AdapterCommand(LineContext& line, const std::string& command, int64_t timeout_ms);

// The whole set-up; returns an AdapterResults code.
int AdapterSetUp(LineContext& line, const AdapterSetUpParams& params, StatusPanelRef status = {});

}  // namespace kvarta
