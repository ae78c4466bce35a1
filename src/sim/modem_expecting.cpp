#include "sim/modem_expecting.h"

#include <string>

#include "platform/clock.h"

namespace kvarta::sim {
namespace {

// Written out here rather than taken from the program's side, so that the two
// are checked against each other.
constexpr char kInitCommand[] = "ATE0V1H0S0=0+CMEE=1\r\x1A";
constexpr char kVerbalOk[] = "\r\nOK\r\n";
constexpr size_t kVerbalOkSize = sizeof kVerbalOk - 1;

}  // namespace

ModemExpectingFront::ModemExpectingFront(const ExpectModemScript& script,
                                         std::unique_ptr<LineDevice> inner)
    : script_(script), inner_(std::move(inner)) {
  inner_->SetOutput([this](std::vector<uint8_t> bytes, int64_t delay_ns) {
    if (answered_) Emit(std::move(bytes), delay_ns);
  });
}

std::vector<uint8_t> ModemExpectingFront::Command() const {
  const std::string text = std::string(script_.extra_byte ? "A" : "") + kInitCommand;
  return std::vector<uint8_t>(text.begin(), text.end());
}

void ModemExpectingFront::OnBytes(const uint8_t* data, size_t n, int64_t now_ns) {
  if (answered_) {
    inner_->OnBytes(data, n, now_ns);
    return;
  }
  for (size_t i = 0; i < n; ++i) {
    // The last bytes received: "\r\nOK\r\n" begins with what it ends with, so
    // a plain count of matched bytes could miss it after a stray "\r\n".
    tail_.push_back(static_cast<char>(data[i]));
    if (tail_.size() > kVerbalOkSize) tail_.erase(0, tail_.size() - kVerbalOkSize);
    if (tail_ == kVerbalOk) {
      answered_ = true;
      // What follows the answer is the start of the frames.
      if (i + 1 < n) inner_->OnBytes(data + i + 1, n - i - 1, now_ns);
      return;
    }
  }
}

void ModemExpectingFront::Poll(int64_t now_ns) {
  if (!started_) {
    started_ = true;
    next_send_ns_ = now_ns + MsToNs(script_.first_after_ms);
  }
  if (!answered_ && next_send_ns_ >= 0 && now_ns >= next_send_ns_) {
    Emit(Command());
    ++sends_;
    next_send_ns_ = script_.every_ms > 0 ? now_ns + MsToNs(script_.every_ms) : -1;
  }
  inner_->Poll(now_ns);
}

}  // namespace kvarta::sim
