// The simulator's state file: any file either loads or leaves the controller
// as it was; a loaded state survives a save and load, and the controller
// answers clock reads on it.
#include "fuzz_support.h"
#include "link/crc16.h"
#include "sim/controller.h"
#include "sim/sim_state_file.h"

using namespace kvarta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::ScratchPath("state");
  fuzz::WriteFile(path, fuzz::AsText(data, size));
  sim::Controller controller(1);
  controller.SetTimeSource([] { return int64_t{1765000000}; });
  const auto fresh = controller.Block();
  if (!sim::LoadSimState(path, controller)) {
    FUZZ_CHECK(controller.Block() == fresh);
    return 0;
  }
  // Reads of the clocks (table 2 and table 10) run the clock arithmetic on
  // the loaded offsets.
  for (const uint8_t table : {2, 10}) {
    std::vector<uint8_t> frame = {0xCC, controller.Address(), 10, 1, 0, table, 0, 1};
    const uint16_t crc = Crc16(frame.data(), frame.size());
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    (void)controller.Handle(frame);
  }
  const std::string saved = fuzz::ScratchPath("state2");
  FUZZ_CHECK(sim::SaveSimState(saved, controller));
  sim::Controller again(1);
  again.SetTimeSource([] { return int64_t{1765000000}; });
  FUZZ_CHECK(sim::LoadSimState(saved, again));
  FUZZ_CHECK(again.Address() == controller.Address());
  return 0;
}
