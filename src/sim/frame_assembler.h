// Cuts the byte stream arriving at the simulated controller into request
// frames: skips preambles and noise until a start byte, collects the length
// the frame announces, and keeps only frames with a good CRC addressed to the
// controller (its own address or the broadcast address 255).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/clock.h"

namespace kvarta::sim {

class FrameAssembler {
 public:
  // A partial frame older than gap_ns is dropped, so that a later frame is not
  // glued to the remains of a broken one.
  explicit FrameAssembler(int64_t gap_ns = MsToNs(200)) : gap_ns_(gap_ns) {}

  // Takes bytes received at now_ns; returns the complete frames for address
  // (or 255) they finished, in order.
  std::vector<std::vector<uint8_t>> Feed(const uint8_t* data, size_t n, int64_t now_ns,
                                         uint8_t address);
  // Drops a partial frame that has waited longer than the gap.
  void Expire(int64_t now_ns);
  bool Partial() const { return !buffer_.empty(); }

 private:
  // Processes one byte; a completed frame goes to done_.
  void Take(uint8_t byte);

  int64_t gap_ns_;
  int64_t last_byte_ns_ = 0;
  // Bytes from the earliest start byte that may still begin a frame. Every
  // start byte inside is a candidate too, so a stray 0xCC in the noise cannot
  // swallow the real request that follows it.
  std::vector<uint8_t> buffer_;
  std::vector<std::vector<uint8_t>> done_;
};

}  // namespace kvarta::sim
