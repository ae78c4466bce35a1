// kvartactl: runs one command of the tool.
#pragma once

#include "cli/cli_options.h"

namespace kvarta::cli {

// Runs the whole tool: opens the line (or a simulator), runs the command and
// returns the exit status.
int RunKvartactl(const CliOptions& options);

}  // namespace kvarta::cli
