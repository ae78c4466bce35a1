// kvartactl's command line: any argument list (NUL-separated in the input) is
// either taken or refused with a message, never a crash; so is the text of
// a command (the operand of "command").
#include "cli/cli_options.h"
#include "fuzz_support.h"
#include "monitor/command_text.h"

using namespace kvarta;
using namespace kvarta::cli;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args = fuzz::Split(fuzz::AsText(data, size), '\0');
  args.insert(args.begin(), "kvartactl");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  CliOptions options;
  std::string error;
  if (!ParseCliOptions(static_cast<int>(args.size()), argv.data(), options, error)) {
    FUZZ_CHECK(!error.empty());
  }
  long value = 0;
  if (ParseNumber(args.back(), -1000, 1000, value)) FUZZ_CHECK(value >= -1000 && value <= 1000);
  int on = 0, type = 0, v = 0;
  (void)ParseCorrection(args.back(), on, type, v);
  CommandTargets targets;
  targets.vrgs = {{1, 2}, {7, 3}};
  CommandFields fields{};
  error.clear();
  if (!ParseCommandText(args.back(), targets, fields, error)) FUZZ_CHECK(!error.empty());
  return 0;
}
