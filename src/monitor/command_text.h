// A command written as words, for a tool's command line:
//   CODE [server N | all servers] [vrg N | all vrgs] [run N | all runs]
//        [hours last | hours YYYY-MM-DDTHH..YYYY-MM-DDTHH |
//         days last | days YYYY-MM-DD..YYYY-MM-DD]
// e.g. "8 server 1 vrg 1 all runs hours 2015-03-05T08..2015-03-06T10".
// The words a code takes are those its menu offers; servers, VRGs and runs
// count from 1 and must exist. A period command without a period is for the
// last completed hour or contract day.
#pragma once

#include <string>
#include <string_view>

#include "monitor/command_record.h"

namespace kvarta {

// Fills fields as the menu and the period dialog would. False with a
// one-line reason (Russian) in error.
bool ParseCommandText(std::string_view text, const CommandTargets& targets, CommandFields& fields,
                      std::string& error);

}  // namespace kvarta
