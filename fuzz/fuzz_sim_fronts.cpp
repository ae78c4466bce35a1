// The simulator's modem and line adapter fronts ahead of the controller:
// command bytes, escapes and data in chunks at the input's pace, with the
// fronts' timeouts polled in between; no crash, no undefined behaviour.
#include "fuzz_support.h"
#include "sim/controller.h"
#include "sim/controller_device.h"
#include "sim/line_device.h"

using namespace kvarta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  sim::SimulatorOptions options;
  options.front = (data[0] & 1) ? sim::FrontKind::kModem : sim::FrontKind::kAdapter;
  options.expect_modem.enabled = data[0] & 2;
  options.modem.start_in_data_mode = data[0] & 4;
  options.modem.echo = data[0] & 8;
  options.modem.drop_after_requests = (data[0] & 16) ? 1 : -1;
  options.modem.dial = static_cast<sim::DialOutcome>((data[0] >> 5) % 7);
  options.adapter.refuse = (data[1] & 1) ? "at@l" : "";
  options.adapter.refuse_silently = data[1] & 2;

  sim::Controller controller(1);
  controller.SetTimeSource([] { return int64_t{1765000000}; });
  auto chain = sim::MakeFront(options, std::make_unique<sim::ControllerDevice>(controller));
  size_t emitted = 0;
  chain->SetOutput([&](std::vector<uint8_t> bytes, int64_t) { emitted += bytes.size(); });
  int64_t now = MsToNs(1000);
  // Chunks: a head byte (length in the low 5 bits, a pause in the high 3).
  for (size_t i = 2; i < size;) {
    const size_t n = std::min<size_t>(data[i] & 0x1F, size - i - 1);
    const int pause_ms[8] = {0, 5, 50, 150, 400, 1100, 2500, 12000};
    now += MsToNs(pause_ms[data[i] >> 5]);
    chain->Poll(now);
    chain->OnBytes(data + i + 1, n, now);
    i += n + 1;
  }
  now += MsToNs(60000);
  chain->Poll(now);
  return 0;
}
