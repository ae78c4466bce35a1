#include "sim/frame_assembler.h"

#include <algorithm>

#include "link/crc16.h"

namespace kvarta::sim {
namespace {

constexpr uint8_t kRequestStart = 0xCC;
constexpr uint8_t kBroadcast = 255;
// The shortest request there is (a read); the function codes the controller
// serves have lengths of their own. Noise ahead of a request must not pass
// for a frame just because its CRC happens to fit.
constexpr size_t kMinFrame = 10;

bool PlausibleLength(uint8_t function, size_t length) {
  switch (function) {
    case 1:
      return length == 10;
    case 2:
      return length >= 27;  // credentials, range head and at least one byte
    case 32:
      return length == 22;
    default:
      return length >= kMinFrame;
  }
}

}  // namespace

void FrameAssembler::Expire(int64_t now_ns) {
  if (!buffer_.empty() && now_ns - last_byte_ns_ > gap_ns_) buffer_.clear();
}

void FrameAssembler::Take(uint8_t byte) {
  if (buffer_.empty() && byte != kRequestStart) return;  // preamble or noise
  buffer_.push_back(byte);
  const size_t size = buffer_.size();
  size_t first_viable = size;
  for (size_t i = 0; i < size; ++i) {
    if (buffer_[i] != kRequestStart) continue;
    const size_t have = size - i;
    if (have < 3) {
      first_viable = std::min(first_viable, i);
      continue;
    }
    const size_t length = buffer_[i + 2];
    if (length < kMinFrame || have > length) continue;
    if (have < length) {
      first_viable = std::min(first_viable, i);
      continue;
    }
    if (PlausibleLength(buffer_[i + 3], length) && Crc16(buffer_.data() + i, length) == 0) {
      done_.emplace_back(buffer_.begin() + i, buffer_.end());
      buffer_.clear();
      return;
    }
  }
  buffer_.erase(buffer_.begin(), buffer_.begin() + first_viable);
}

std::vector<std::vector<uint8_t>> FrameAssembler::Feed(const uint8_t* data, size_t n,
                                                       int64_t now_ns, uint8_t address) {
  if (n > 0) {
    Expire(now_ns);
    last_byte_ns_ = now_ns;
  }
  for (size_t i = 0; i < n; ++i) Take(data[i]);
  std::vector<std::vector<uint8_t>> out;
  for (auto& frame : done_) {
    if (frame[1] == address || frame[1] == kBroadcast) out.push_back(std::move(frame));
  }
  done_.clear();
  return out;
}

}  // namespace kvarta::sim
