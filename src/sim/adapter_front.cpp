#include "sim/adapter_front.h"

#include <cctype>
#include <limits>

#include "platform/clock.h"

namespace kvarta::sim {
namespace {

constexpr size_t kLineMax = 200;
constexpr int64_t kLongAgo = std::numeric_limits<int64_t>::min() / 4;
constexpr uint8_t kOk = '0';
constexpr uint8_t kError = '4';

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool EndsWithEscape(const std::string& s) {
  return s.size() >= 3 && s.compare(s.size() - 3, 3, "@@@") == 0;
}

}  // namespace

AdapterFront::AdapterFront(const AdapterScript& script, std::unique_ptr<LineDevice> inner)
    : script_(script), inner_(std::move(inner)), last_rx_ns_(kLongAgo) {
  // In command mode the adapter does not carry the controller's bytes.
  inner_->SetOutput([this](std::vector<uint8_t> bytes, int64_t delay_ns) {
    if (!command_mode_) Emit(std::move(bytes), delay_ns);
  });
}

bool AdapterFront::Refused(const std::string& command) const {
  if (script_.refuse.empty()) return false;
  const std::string refuse = Lower(script_.refuse);
  return Lower(command).compare(0, refuse.size(), refuse) == 0;
}

void AdapterFront::OnBytes(const uint8_t* data, size_t n, int64_t now_ns) {
  std::vector<uint8_t> out;
  size_t i = 0;
  while (i < n) {
    if (!command_mode_) {
      // The working-mode part of the chunk, up to a completed escape.
      size_t j = i;
      std::vector<uint8_t> pass;
      while (j < n && !command_mode_) {
        const uint8_t b = data[j++];
        const bool after_guard = now_ns - last_rx_ns_ >= MsToNs(script_.escape_guard_ms);
        last_rx_ns_ = now_ns;
        if (b == '@' && (ats_ > 0 || after_guard)) {
          if (++ats_ < 3) continue;
          ats_ = 0;
          if (Refused("@@@")) {
            if (!script_.refuse_silently) out.push_back(kError);
            pass.insert(pass.end(), 3, '@');
            continue;
          }
          EnterCommandMode(out);
          continue;
        }
        pass.insert(pass.end(), static_cast<size_t>(ats_), '@');
        ats_ = 0;
        pass.push_back(b);
      }
      if (!pass.empty()) inner_->OnBytes(pass.data(), pass.size(), now_ns);
      i = j;
      continue;
    }
    last_rx_ns_ = now_ns;
    CommandByte(data[i++], out);
  }
  Emit(std::move(out));
}

void AdapterFront::EnterCommandMode(std::vector<uint8_t>& out) {
  command_mode_ = true;
  ++escapes_;
  commands_.push_back("@@@");
  line_.clear();
  out.push_back(kOk);
}

void AdapterFront::CommandByte(uint8_t b, std::vector<uint8_t>& out) {
  if (b != '\r') {
    if (b != '\n' && b != 0 && line_.size() < kLineMax) line_.push_back(static_cast<char>(b));
    // A repeated escape: the adapter is in command mode already.
    if (EndsWithEscape(line_)) {
      line_.clear();
      ++escapes_;
      commands_.push_back("@@@");
      if (!Refused("@@@")) {
        out.push_back(kOk);
      } else if (!script_.refuse_silently) {
        out.push_back(kError);
      }
    }
    return;
  }
  const std::string command = line_;
  line_.clear();
  const std::string lower = Lower(command);
  if (lower.compare(0, 2, "at") != 0) return;
  commands_.push_back(command);
  if (Refused(command)) {
    if (!script_.refuse_silently) out.push_back(kError);
    return;
  }
  if (lower == "ato") {
    out.push_back(kOk);
    command_mode_ = false;
    return;
  }
  out.push_back(Apply(lower) ? kOk : kError);
}

bool AdapterFront::Apply(const std::string& command) {
  if (command.size() < 5 || command.compare(0, 3, "at@") != 0) return false;
  const char letter = command[3];
  const std::string digits = command.substr(4);
  if (!AllDigits(digits) || digits.size() > 6) return false;
  const int value = std::stoi(digits);
  auto one_digit = [&](int max, int& setting) {
    if (digits.size() != 1 || value > max) return false;
    setting = value;
    return true;
  };
  switch (letter) {
    case 'l':
      return one_digit(7, settings_.line);
    case 's':
      return one_digit(4, settings_.rate);
    case 'r':
      return one_digit(1, settings_.radio);
    case 'f':
      return one_digit(1, settings_.leading_frequency);
    case 't':
      return one_digit(1, settings_.correction_type);
    case 'd':
      return one_digit(1, settings_.correction_sign);
    case 'u': {
      if (digits.size() != 6) return false;
      const int out = value / 1000;
      const int in = value % 1000;
      if (out > 255 || in > 255) return false;
      settings_.k_output = out;
      settings_.k_input = in;
      return true;
    }
    case 'm':
      if (digits.size() != 5) return false;
      settings_.correction_us = value;
      return true;
    case 'c':
      if (digits.size() == 1 && value == 0) {
        settings_.correction_off = 1;
        return true;
      }
      if (digits.size() != 4) return false;
      settings_.correction_bauds = value;
      settings_.correction_off = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace kvarta::sim
