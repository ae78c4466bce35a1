// kvarta-sim's command line (NUL-separated arguments): taken, or refused with
// a one-line reason.
#include "fuzz_support.h"
#include "sim/sim_command_line.h"

using namespace kvarta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> args = fuzz::Split(fuzz::AsText(data, size), '\0');
  sim::SimCommandLine line;
  std::string error;
  bool multiline = false;
  for (const std::string& a : args) multiline = multiline || a.find('\n') != std::string::npos;
  if (!sim::ParseSimCommandLine(args, line, error)) {
    FUZZ_CHECK(!error.empty());
    // The reason quotes the argument; only a line break of its own counts.
    if (!multiline) FUZZ_CHECK(error.find('\n') == std::string::npos);
  }
  sim::Fault fault;
  (void)sim::ParseFault(args.back(), fault);
  std::vector<sim::DiagFlag> flags;
  (void)sim::ParseDiagFlags(args.back(), flags);
  sim::VrgClockOffsets clocks;
  (void)sim::ParseVrgClocks(args.back(), clocks);
  return 0;
}
