#include "sim/frame_assembler.h"

#include "link/crc16.h"

namespace kvarta::sim {
namespace {

constexpr uint8_t kRequestStart = 0xCC;
constexpr uint8_t kBroadcast = 255;
constexpr size_t kMinFrame = 6;

}  // namespace

void FrameAssembler::Expire(int64_t now_ns) {
  if (!buffer_.empty() && now_ns - last_byte_ns_ > gap_ns_) buffer_.clear();
}

bool FrameAssembler::Take(uint8_t byte) {
  if (buffer_.empty() && byte != kRequestStart) return false;  // preamble or noise
  buffer_.push_back(byte);
  if (buffer_.size() == 3 && byte < kMinFrame) {
    Resync();
    return false;
  }
  return buffer_.size() >= 3 && buffer_.size() == buffer_[2];
}

void FrameAssembler::Resync() {
  // A start byte may hide inside what was taken for a frame (noise that
  // happened to be 0xCC ahead of the real request): scan the rest again.
  std::vector<uint8_t> rest(buffer_.begin() + 1, buffer_.end());
  buffer_.clear();
  for (uint8_t b : rest) {
    if (Take(b)) {
      if (Crc16(buffer_.data(), buffer_.size()) == 0) {
        done_.push_back(buffer_);
        buffer_.clear();
      } else {
        Resync();
      }
    }
  }
}

std::vector<std::vector<uint8_t>> FrameAssembler::Feed(const uint8_t* data, size_t n,
                                                       int64_t now_ns, uint8_t address) {
  if (n > 0) {
    Expire(now_ns);
    last_byte_ns_ = now_ns;
  }
  for (size_t i = 0; i < n; ++i) {
    if (!Take(data[i])) continue;
    if (Crc16(buffer_.data(), buffer_.size()) == 0) {
      done_.push_back(buffer_);
      buffer_.clear();
    } else {
      Resync();
    }
  }
  std::vector<std::vector<uint8_t>> out;
  for (auto& frame : done_) {
    if (frame[1] == address || frame[1] == kBroadcast) out.push_back(std::move(frame));
  }
  done_.clear();
  return out;
}

}  // namespace kvarta::sim
