// The command history file: any file is taken whole or gives an empty
// history; a taken history describes every entry, saves and loads the same.
#include "fuzz_support.h"
#include "monitor/command_history.h"
#include "monitor/command_record.h"

using namespace kvarta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::ScratchPath("comm_history.ini");
  fuzz::WriteFile(path, fuzz::AsText(data, size));
  CommandHistory history;
  if (!history.Load(path)) {
    FUZZ_CHECK(history.Empty());
    return 0;
  }
  FUZZ_CHECK(CommandHistory::Consistent(history.Bytes()));
  CommandTargets targets;
  targets.vrgs = {{1, 2}, {7, 3}};
  for (int i = 0; i < history.Count(); ++i) {
    const CommandRecord r = history.Entry(i);
    (void)r.Texts();
    if (r.Sendable()) FUZZ_CHECK(r.WriteDataLength() <= 3 + kCommandFieldCount);
    (void)DescribeCommand(r.Fields(), targets);
  }
  const std::string saved = fuzz::ScratchPath("again.ini");
  FUZZ_CHECK(history.Save(saved));
  CommandHistory again;
  FUZZ_CHECK(again.Load(saved));
  FUZZ_CHECK(again.Bytes() == history.Bytes());
  return 0;
}
