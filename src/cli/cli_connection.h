// The line of one kvartactl run: which port and parameters, and reaching the
// controller by the chosen kind (direct, modem dial-up, line adapter).
#pragma once

#include <string>

#include "cli/cli_options.h"
#include "connection/connector.h"

namespace kvarta::cli {

// The command line's values over the settings of the chosen kind.
ConnectionParams ResolveLine(const CliOptions& options, const ConnectionSettings& settings,
                             const std::string& ini_folder);

// "Коммуникационный порт СОМ%d недоступен", or the path when no COMn was named.
std::string PortUnavailableMessage(const ConnectionParams& line);

// "Порт COM1 (/dev/ttyS0), 9600 бит/с, адрес 1": which line a failure was on.
std::string LineDescription(const ConnectionParams& line);

// True for the results of an exchange that went wrong on the line (no answer,
// a broken or wrong answer, a lost carrier), as against an abort or a refusal.
bool IsLineFailure(uint32_t result_code);

// Opens the line and runs the set-up of its kind; false after printing why.
// The connector hangs up and closes when it is closed or destroyed.
bool OpenConnection(Connector& connector, const ConnectionParams& line);

}  // namespace kvarta::cli
