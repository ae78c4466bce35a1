// A scripted GSM modem on a FakeSerialPort: command and data modes, echo,
// the GSM activity query and a chosen answer to the dial command.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/fakes.h"

namespace kvarta::test {

class FakeModem {
 public:
  FakeModem(FakeClock& clock, FakeSerialPort& port) : clock_(clock), port_(port) {
    port_.on_write = [this](const std::vector<uint8_t>& bytes) { OnWrite(bytes); };
  }

  bool present = true;
  bool data_mode = false;
  bool echo = false;
  // Answer line to ATD ("" = no answer at all).
  std::string dial_answer = "CONNECT 9600";
  // Answer lines to other commands by their text; "OK" when not listed.
  std::map<std::string, std::string> answers;
  std::string cpas_answer = "+CPAS: 0";
  int64_t reply_ms = 30;

  // Every command written, CRs and the zero byte stripped, and its time.
  std::vector<std::string> log;
  std::vector<int64_t> log_ns;
  std::vector<std::string> raw;  // as written

  // Index of the n-th (0-based) occurrence of command in the log, or -1.
  int Find(const std::string& command, int n = 0) const {
    for (size_t i = 0; i < log.size(); ++i) {
      if (log[i] == command && n-- == 0) return static_cast<int>(i);
    }
    return -1;
  }
  int Count(const std::string& prefix) const {
    int c = 0;
    for (const std::string& s : log) c += s.rfind(prefix, 0) == 0 ? 1 : 0;
    return c;
  }

 private:
  void Reply(const std::string& echo_text, const std::string& line) {
    const std::string text = echo_text + "\r\n" + line + "\r\n";
    port_.DeliverAfterMs(std::vector<uint8_t>(text.begin(), text.end()), reply_ms);
  }

  void OnWrite(const std::vector<uint8_t>& bytes) {
    raw.emplace_back(bytes.begin(), bytes.end());
    std::string command;
    for (uint8_t b : bytes) {
      if (b != '\r' && b != 0) command.push_back(static_cast<char>(b));
    }
    const int64_t silence = log_ns.empty() ? MsToNs(100000) : clock_.now_ns - log_ns.back();
    log.push_back(command);
    log_ns.push_back(clock_.now_ns);
    if (!present) return;
    if (data_mode) {
      if (command == "+++" && silence >= MsToNs(1000)) {
        data_mode = false;
        Reply("", "OK");
      }
      return;
    }
    const std::string echoed = echo ? command : "";
    if (command == "ATE0") {
      echo = false;
      Reply(echoed, "OK");
    } else if (command == "AT+CPAS") {
      Reply(echoed, cpas_answer + "\r\n\r\nOK");
    } else if (command.rfind("ATD", 0) == 0) {
      if (!dial_answer.empty()) Reply(echoed, dial_answer);
    } else {
      auto it = answers.find(command);
      Reply(echoed, it == answers.end() ? "OK" : it->second);
    }
  }

  FakeClock& clock_;
  FakeSerialPort& port_;
};

}  // namespace kvarta::test
