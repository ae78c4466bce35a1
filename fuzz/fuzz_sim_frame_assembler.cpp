// The simulator's request assembler: the line's bytes come in chunks at
// moments of the input's choosing; every frame it gives is a whole, intact
// request for its address.
#include "fuzz_support.h"
#include "link/crc16.h"
#include "sim/frame_assembler.h"

using namespace kvarta;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::FrameAssembler assembler;
  const uint8_t address = 1;
  int64_t now = MsToNs(1000);
  // Chunks: a head byte (length in the low 5 bits, a pause in the high 3),
  // then that many line bytes.
  for (size_t i = 0; i < size;) {
    const size_t n = std::min<size_t>(data[i] & 0x1F, size - i - 1);
    now += MsToNs((data[i] >> 5) * 60);
    for (const auto& frame : assembler.Feed(data + i + 1, n, now, address)) {
      FUZZ_CHECK(frame.size() >= 10 && frame[0] == 0xCC && frame[2] == frame.size());
      FUZZ_CHECK(frame[1] == address || frame[1] == 255);
      FUZZ_CHECK(Crc16(frame.data(), frame.size()) == 0);
    }
    i += n + 1;
    assembler.Expire(now);
  }
  return 0;
}
