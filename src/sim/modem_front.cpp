#include "sim/modem_front.h"

#include <cctype>
#include <limits>

#include "platform/clock.h"

namespace kvarta::sim {
namespace {

// The simulator stamps bytes when it reads them, a few milliseconds after
// they arrived; a guard silence measured that way may come out a little short.
constexpr int64_t kGuardToleranceNs = MsToNs(20);
constexpr size_t kLineMax = 300;
constexpr int64_t kLongAgo = std::numeric_limits<int64_t>::min() / 4;

char Upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsAlpha(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// Reads the decimal digits at pos (none gives 0, as a Hayes modem takes it).
int Digits(const std::string& s, size_t& pos) {
  int v = 0;
  while (pos < s.size() && IsDigit(s[pos])) {
    if (v < 100000) v = v * 10 + (s[pos] - '0');
    ++pos;
  }
  return v;
}

}  // namespace

ModemFront::ModemFront(const ModemScript& script, std::unique_ptr<LineDevice> inner)
    : script_(script), inner_(std::move(inner)), echo_(script.echo), last_rx_ns_(kLongAgo) {
  if (script_.start_in_data_mode) {
    call_up_ = true;
    mode_ = Mode::kData;
    connected_ns_ = kLongAgo;  // taken at the first poll
  }
  // The controller's answers reach the line only through an established call.
  inner_->SetOutput([this](std::vector<uint8_t> bytes, int64_t delay_ns) {
    if (mode_ != Mode::kData || !call_up_) return;
    ++answers_in_call_;
    Emit(std::move(bytes), delay_ns);
  });
}

void ModemFront::OnBytes(const uint8_t* data, size_t n, int64_t now_ns) {
  if (script_.dial == DialOutcome::kAbsent) return;
  std::vector<uint8_t> out;
  for (size_t i = 0; i < n; ++i) {
    if (mode_ == Mode::kData) {
      Emit(std::move(out));
      out.clear();
      DataBytes(data + i, n - i, now_ns);
      return;
    }
    // Anything typed while dialling is ignored rather than taken as an abort:
    // the program follows its dial command with a second CR.
    if (mode_ == Mode::kDialing) continue;
    CommandByte(data[i], now_ns, out);
  }
  Emit(std::move(out));
}

void ModemFront::CommandByte(uint8_t b, int64_t now_ns, std::vector<uint8_t>& out) {
  last_rx_ns_ = now_ns;
  if (echo_) out.push_back(b);
  if (b == '\r') {
    const std::string line = line_;
    line_.clear();
    Execute(line, now_ns, out);
  } else if (b == 8) {
    if (!line_.empty()) line_.pop_back();
  } else if (line_.empty()) {
    // As a Hayes modem does, everything ahead of the "AT" prefix is skipped,
    // so leftovers of a call do not spoil the next command.
    if (b == 'A' || b == 'a') line_.push_back(static_cast<char>(b));
  } else if (line_.size() == 1) {
    const bool prefix = (line_[0] == 'A' && b == 'T') || (line_[0] == 'a' && b == 't');
    if (prefix) {
      line_.push_back(static_cast<char>(b));
    } else if (b != 'A' && b != 'a') {
      line_.clear();
    } else {
      line_[0] = static_cast<char>(b);
    }
  } else if (b != '\n' && b != 0 && line_.size() < kLineMax) {
    line_.push_back(static_cast<char>(b));
  }
}

void ModemFront::Execute(const std::string& line, int64_t now_ns, std::vector<uint8_t>& out) {
  if (line.size() < 2) return;  // no "AT" prefix: nothing to do
  commands_.push_back(line);
  if (line.find(':') != std::string::npos) {
    Answer(out, "ERROR", 4);
    return;
  }

  bool error = false;
  bool dial = false;
  bool online = false;
  bool cpas = false;
  bool new_echo = echo_;
  size_t pos = 2;
  while (pos < line.size() && !error && !dial) {
    const char c = Upper(line[pos++]);
    if (c == ' ') continue;
    if (c == 'D') {
      dial = true;
      dialled_ = line.substr(pos);
    } else if (c == 'S') {
      Digits(line, pos);
      if (pos < line.size() && line[pos] == '?') {
        ++pos;
      } else if (pos < line.size() && line[pos] == '=') {
        ++pos;
        Digits(line, pos);
      } else {
        error = true;
      }
    } else if (c == '&' || c == '\\' || c == '%') {
      if (pos >= line.size() || !IsAlpha(line[pos])) {
        error = true;
      } else {
        ++pos;
        Digits(line, pos);
      }
    } else if (c == '+') {
      std::string name;
      while (pos < line.size() && IsAlpha(line[pos])) name.push_back(Upper(line[pos++]));
      if (name.empty()) error = true;
      if (name == "CPAS") cpas = true;
      // Parameters of an extended command run to the next ';'.
      while (pos < line.size() && line[pos] != ';') ++pos;
      if (pos < line.size()) ++pos;
    } else if (IsAlpha(c)) {
      const int v = Digits(line, pos);
      switch (c) {
        case 'E':
          new_echo = v != 0;
          break;
        case 'V':
          verbal_ = v != 0;
          break;
        case 'H':
          if (v == 0) call_up_ = false;
          break;
        case 'Z':
          new_echo = script_.echo;
          verbal_ = true;
          break;
        case 'O':
          online = true;
          break;
        default:
          break;
      }
    } else {
      error = true;
    }
  }
  if (error) {
    Answer(out, "ERROR", 4);
    return;
  }
  // The echo of this line has gone out already; the new setting applies from
  // the next byte on.
  echo_ = new_echo;
  if (dial) {
    mode_ = Mode::kDialing;
    dial_due_ns_ = now_ns + MsToNs(script_.dial_delay_ms);
    return;
  }
  if (cpas) {
    if (!script_.gsm_ready) {
      Answer(out, "ERROR", 4);
      return;
    }
    const std::string status = "\r\n+CPAS: 0\r\n";
    out.insert(out.end(), status.begin(), status.end());
  }
  if (online) {
    if (!call_up_) {
      Answer(out, "NO CARRIER", 3);
      return;
    }
    Answer(out, "CONNECT " + std::to_string(script_.connect_rate), 1);
    mode_ = Mode::kData;
    pluses_ = 0;
    escape_cr_ = false;
    return;
  }
  Answer(out, "OK", 0);
}

void ModemFront::Answer(std::vector<uint8_t>& out, const std::string& verbal, int numeric) {
  const std::string text = verbal_ ? "\r\n" + verbal + "\r\n" : std::to_string(numeric) + "\r";
  out.insert(out.end(), text.begin(), text.end());
}

void ModemFront::AnswerDialOutcome(std::vector<uint8_t>& out) {
  switch (script_.dial) {
    case DialOutcome::kConnect:
      Answer(out, "CONNECT " + std::to_string(script_.connect_rate), 1);
      break;
    case DialOutcome::kBusy:
      Answer(out, "BUSY", 7);
      break;
    case DialOutcome::kNoAnswer:
      Answer(out, "NO ANSWER", 8);
      break;
    case DialOutcome::kNoDialTone:
      Answer(out, "NO DIALTONE", 6);
      break;
    case DialOutcome::kError:
      Answer(out, "ERROR", 4);
      break;
    case DialOutcome::kNoCarrier:
      Answer(out, "NO CARRIER", 3);
      break;
    case DialOutcome::kAbsent:
      break;
  }
}

void ModemFront::EnterData(int64_t now_ns) {
  call_up_ = true;
  mode_ = Mode::kData;
  connected_ns_ = now_ns;
  answers_in_call_ = 0;
  pluses_ = 0;
  escape_cr_ = false;
}

void ModemFront::DataBytes(const uint8_t* data, size_t n, int64_t now_ns) {
  if (script_.drop_after_requests >= 0 && answers_in_call_ >= script_.drop_after_requests) {
    DropCarrier();
    return;  // the call is gone: these bytes never reach the controller
  }
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = data[i];
    const bool after_guard = now_ns - last_rx_ns_ >= MsToNs(script_.guard_ms) - kGuardToleranceNs;
    if (b == '+' && pluses_ < 3 && !escape_cr_ && (pluses_ > 0 || after_guard)) {
      ++pluses_;
    } else if (b == '\r' && pluses_ == 3 && !escape_cr_) {
      escape_cr_ = true;
    } else {
      pluses_ = 0;
      escape_cr_ = false;
    }
    last_rx_ns_ = now_ns;
  }
  // The modem passes the escape characters on like any data.
  inner_->OnBytes(data, n, now_ns);
}

void ModemFront::DropCarrier() {
  call_up_ = false;
  mode_ = Mode::kCommand;
  pluses_ = 0;
  escape_cr_ = false;
  ++drops_;
  std::vector<uint8_t> out;
  Answer(out, "NO CARRIER", 3);
  Emit(std::move(out));
}

void ModemFront::Poll(int64_t now_ns) {
  if (script_.dial != DialOutcome::kAbsent) {
    if (connected_ns_ == kLongAgo) connected_ns_ = now_ns;
    if (mode_ == Mode::kDialing && now_ns >= dial_due_ns_) {
      mode_ = Mode::kCommand;
      std::vector<uint8_t> out;
      AnswerDialOutcome(out);
      Emit(std::move(out));
      if (script_.dial == DialOutcome::kConnect) EnterData(now_ns);
    }
    if (mode_ == Mode::kData && pluses_ == 3 &&
        now_ns - last_rx_ns_ >= MsToNs(script_.guard_ms) - kGuardToleranceNs) {
      // Back in command mode with the call still up.
      mode_ = Mode::kCommand;
      pluses_ = 0;
      escape_cr_ = false;
      std::vector<uint8_t> out;
      Answer(out, "OK", 0);
      Emit(std::move(out));
    }
    if (call_up_ && script_.drop_after_ms >= 0 &&
        now_ns - connected_ns_ >= MsToNs(script_.drop_after_ms)) {
      DropCarrier();
    }
  }
  inner_->Poll(now_ns);
}

}  // namespace kvarta::sim
