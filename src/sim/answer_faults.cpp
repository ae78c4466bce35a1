#include "sim/answer_faults.h"

#include <algorithm>

#include "link/crc16.h"
#include "platform/clock.h"

namespace kvarta::sim {
namespace {

void PutCrc(std::vector<uint8_t>& frame) {
  const uint16_t crc = Crc16(frame.data(), frame.size() - 2);
  frame[frame.size() - 2] = static_cast<uint8_t>(crc & 0xFF);
  frame[frame.size() - 1] = static_cast<uint8_t>(crc >> 8);
}

}  // namespace

std::vector<uint8_t> MakeErrorAnswer(uint8_t address, uint8_t function, uint8_t error,
                                     uint8_t reason, uint8_t table) {
  std::vector<uint8_t> frame = {
      0x33, address, 9, static_cast<uint8_t>(function & 0x7F), error, reason, table, 0, 0};
  PutCrc(frame);
  return frame;
}

FaultedAnswer ApplyFault(const Fault& fault, const std::vector<uint8_t>& request,
                         const std::vector<uint8_t>& answer, std::minstd_rand& rng) {
  FaultedAnswer out{answer, 0};
  switch (fault.kind) {
    case FaultKind::kNone:
      break;
    case FaultKind::kSilence:
      out.bytes.clear();
      break;
    case FaultKind::kCutShort:
      out.bytes.resize(
          std::min(out.bytes.size(), static_cast<size_t>(std::max(0, fault.cut_after))));
      break;
    case FaultKind::kBadCrc:
      if (!out.bytes.empty()) out.bytes.back() ^= 0xFF;
      break;
    case FaultKind::kNoiseBefore: {
      std::uniform_int_distribution<int> count(2, 5), value(0, 255);
      std::vector<uint8_t> noise(count(rng));
      for (uint8_t& b : noise) {
        do b = static_cast<uint8_t>(value(rng));
        while (b == 0x33);
      }
      out.bytes.insert(out.bytes.begin(), noise.begin(), noise.end());
      break;
    }
    case FaultKind::kWrongRangeEcho:
      // Only answers that echo a range (reads and writes) carry byte 5 as the table.
      if (out.bytes.size() >= 10 && (out.bytes[3] == 0x81 || out.bytes[3] == 0x82)) {
        ++out.bytes[5];
        PutCrc(out.bytes);
      }
      break;
    case FaultKind::kErrorAnswer: {
      const uint8_t address = answer.size() > 1 ? answer[1] : (request.size() > 1 ? request[1] : 0);
      const uint8_t function = request.size() > 3 ? request[3] : 0;
      out.bytes =
          MakeErrorAnswer(address, function, fault.error_code, fault.reason_code, fault.table);
      break;
    }
    case FaultKind::kDelay:
      out.delay_ns = MsToNs(std::max(0, fault.delay_ms));
      break;
  }
  return out;
}

}  // namespace kvarta::sim
