// The simulated controller behind its request assembler and fault stage:
// requests with a correct CRC (built from the input, so that the controller's
// own checks are reached) and raw line bytes in turn; every answer is a whole
// frame with a correct CRC from the controller's address.
#include "fuzz_support.h"
#include "link/crc16.h"
#include "sim/controller.h"
#include "sim/controller_device.h"

using namespace kvarta;

namespace {

void CheckAnswer(const std::vector<uint8_t>& a, uint8_t address) {
  if (a.empty()) return;
  FUZZ_CHECK(a.size() >= 5 && a[0] == 0x33 && a[1] == address && a[2] == a.size());
  FUZZ_CHECK(Crc16(a.data(), a.size()) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  sim::Controller controller(1);
  controller.SetTimeSource([] { return int64_t{1765000000}; });
  // Pieces: a head byte (bit 7 = raw line bytes, else a request whose
  // function code follows), a length byte, then the piece's bytes.
  sim::ControllerDevice device(controller);
  int64_t now = MsToNs(1000);
  for (size_t i = 0; i + 2 <= size;) {
    const bool raw = data[i] & 0x80;
    const size_t n = std::min<size_t>(data[i + 1], size - i - 2);
    const uint8_t* body = data + i + 2;
    if (raw) {
      device.OnBytes(body, n, now);
    } else if (n + 6 <= 255) {
      std::vector<uint8_t> frame = {0xCC, static_cast<uint8_t>((data[i] & 0x40) ? 255 : 1),
                                    static_cast<uint8_t>(n + 6),
                                    static_cast<uint8_t>(data[i] & 0x3F)};
      if (data[i] & 0x20) frame[3] = 32;
      frame.insert(frame.end(), body, body + n);
      const uint16_t crc = Crc16(frame.data(), frame.size());
      frame.push_back(static_cast<uint8_t>(crc & 0xFF));
      frame.push_back(static_cast<uint8_t>(crc >> 8));
      CheckAnswer(controller.Handle(frame), controller.Address());
    }
    now += MsToNs(50);
    device.Poll(now);
    i += n + 2;
  }
  return 0;
}
