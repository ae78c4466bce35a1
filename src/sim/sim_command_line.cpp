#include "sim/sim_command_line.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>

#include "link/table_catalogue.h"

namespace kvarta::sim {
namespace {

bool ParseNumber(std::string_view text, long long min, long long max, long long& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && value >= min && value <= max;
}

template <typename T>
bool ParseAs(std::string_view text, long long min, long long max, T& out) {
  long long v = 0;
  if (!ParseNumber(text, min, max, v)) return false;
  out = static_cast<T>(v);
  return true;
}

std::vector<std::string_view> Split(std::string_view text, char sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    const size_t at = text.find(sep, start);
    parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

bool ParseFront(std::string_view text, FrontKind& front) {
  if (text == "none") {
    front = FrontKind::kNone;
  } else if (text == "modem") {
    front = FrontKind::kModem;
  } else if (text == "adapter") {
    front = FrontKind::kAdapter;
  } else {
    return false;
  }
  return true;
}

bool ParseDialOutcome(std::string_view text, DialOutcome& dial) {
  static constexpr std::pair<std::string_view, DialOutcome> kNames[] = {
      {"connect", DialOutcome::kConnect},    {"busy", DialOutcome::kBusy},
      {"no-answer", DialOutcome::kNoAnswer}, {"no-dialtone", DialOutcome::kNoDialTone},
      {"error", DialOutcome::kError},        {"no-carrier", DialOutcome::kNoCarrier},
      {"absent", DialOutcome::kAbsent},
  };
  for (const auto& [name, value] : kNames) {
    if (text == name) {
      dial = value;
      return true;
    }
  }
  return false;
}

bool ParseSwitch(std::string_view text, std::string_view on, std::string_view off, bool& value) {
  if (text != on && text != off) return false;
  value = text == on;
  return true;
}

// A state file must be a file in a folder that exists; otherwise nothing
// could ever be kept, and the user would only find out after the run.
bool StatePathUsable(const std::string& path, std::string& error) {
  struct stat st {};
  if (path.empty()) {
    error = "bad value for --state: empty";
    return false;
  }
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    error = "bad value for --state: " + path + " is a folder";
    return false;
  }
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    error = "bad value for --state: no folder " + folder;
    return false;
  }
  return true;
}

}  // namespace

bool ParseDiagFlags(std::string_view text, std::vector<DiagFlag>& flags) {
  std::vector<DiagFlag> parsed;
  if (text != "none") {
    for (std::string_view item : Split(text, ',')) {
      DiagFlag flag;
      if (!item.empty() && item.back() == '~') {
        flag.blinking = true;
        item.remove_suffix(1);
      }
      const auto parts = Split(item, ':');
      if (parts.size() != 3 || !ParseAs(parts[0], 0, 9, flag.field) ||
          !ParseAs(parts[1], 0, 13, flag.byte) || !ParseAs(parts[2], 0, 7, flag.bit)) {
        return false;
      }
      parsed.push_back(flag);
    }
  }
  flags = std::move(parsed);
  return true;
}

bool ParseVrgClocks(std::string_view text, VrgClockOffsets& clocks) {
  const auto parts = Split(text, ',');
  if (parts.size() > clocks.size()) return false;
  VrgClockOffsets parsed{};
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string_view part = parts[i];
    if (part == "none") continue;
    if (!part.empty() && part.front() == '+') part.remove_prefix(1);
    long long seconds = 0;
    if (!ParseNumber(part, -100LL * 366 * 86400, 100LL * 366 * 86400, seconds)) return false;
    parsed[i] = seconds;
  }
  clocks = parsed;
  return true;
}

bool ParseFault(std::string_view text, Fault& fault) {
  const size_t colon = text.find(':');
  const std::string_view name = text.substr(0, colon);
  const std::string_view arg =
      colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
  const bool has_arg = colon != std::string_view::npos;
  Fault f = fault;
  if (name == "silence" && !has_arg) {
    f.kind = FaultKind::kSilence;
  } else if (name == "cut" && ParseAs(arg, 0, 255, f.cut_after)) {
    f.kind = FaultKind::kCutShort;
  } else if (name == "bad-crc" && !has_arg) {
    f.kind = FaultKind::kBadCrc;
  } else if (name == "noise" && !has_arg) {
    f.kind = FaultKind::kNoiseBefore;
  } else if (name == "wrong-echo" && !has_arg) {
    f.kind = FaultKind::kWrongRangeEcho;
  } else if (name == "delay" && ParseAs(arg, 0, 600000, f.delay_ms)) {
    f.kind = FaultKind::kDelay;
  } else if (name == "error" && has_arg) {
    const auto parts = Split(arg, ',');
    if (parts.size() > 3 || !ParseAs(parts[0], 0, 255, f.error_code)) return false;
    f.reason_code = 0;
    f.table = 0;
    if (parts.size() > 1 && !ParseAs(parts[1], 0, 255, f.reason_code)) return false;
    if (parts.size() > 2 && !ParseAs(parts[2], 0, 255, f.table)) return false;
    f.kind = FaultKind::kErrorAnswer;
  } else {
    return false;
  }
  fault = f;
  return true;
}

bool ParseSimCommandLine(const std::vector<std::string>& args, SimCommandLine& out,
                         std::string& error) {
  SimCommandLine cl;
  // A controller that waits for a modem keeps asking until the program is
  // there to answer.
  cl.options.expect_modem.every_ms = kDefaultExpectModemEveryMs;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& opt = args[i];
    if (opt == "--help" || opt == "-h") {
      cl.help = true;
      continue;
    }
    if (opt == "--expect-modem") {
      cl.options.expect_modem.enabled = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      error = opt.rfind("--", 0) == 0 ? "missing value for " + opt : "unknown argument " + opt;
      return false;
    }
    const std::string& value = args[++i];
    bool ok = true;
    if (opt == "--device") {
      cl.device = value;
      ok = !value.empty();
    } else if (opt == "--address") {
      cl.options.address_given = true;
      ok = ParseAs(value, 1, 255, cl.options.address);
    } else if (opt == "--listen-baud") {
      cl.options.listen_baud_given = true;
      ok = ParseAs(value, 0, 4000000, cl.options.listen_baud);
    } else if (opt == "--pace-baud") {
      ok = ParseAs(value, 0, 4000000, cl.options.pace_baud);
    } else if (opt == "--state") {
      cl.options.state_file = value;
      ok = StatePathUsable(value, error);
      if (!ok) return false;
    } else if (opt == "--destroyed") {
      for (std::string_view part : Split(value, ',')) {
        int t = 0;
        ok = ok && ParseAs(part, 0, kTableCount - 1, t) &&
             std::find(kConfigurationTables.begin(), kConfigurationTables.end(), t) !=
                 kConfigurationTables.end();
        if (ok) cl.options.destroyed_tables.push_back(t);
      }
    } else if (opt == "--modem-code") {
      ok = ParseAs(value, 0, 255, cl.options.modem_code);
    } else if (opt == "--fault") {
      ok = ParseFault(value, cl.options.fault);
    } else if (opt == "--fault-count") {
      ok = ParseAs(value, -1, 1000000, cl.options.fault.count);
    } else if (opt == "--fault-after") {
      ok = ParseAs(value, 0, 1000000, cl.options.fault.after);
    } else if (opt == "--front") {
      ok = ParseFront(value, cl.options.front);
    } else if (opt == "--modem-dial") {
      ok = ParseDialOutcome(value, cl.options.modem.dial);
    } else if (opt == "--modem-echo") {
      ok = ParseSwitch(value, "on", "off", cl.options.modem.echo);
    } else if (opt == "--modem-gsm-ready") {
      ok = ParseSwitch(value, "yes", "no", cl.options.modem.gsm_ready);
    } else if (opt == "--modem-drop-after-requests") {
      ok = ParseAs(value, 0, 1000000, cl.options.modem.drop_after_requests);
    } else if (opt == "--modem-drop-after-seconds") {
      int seconds = 0;
      ok = ParseAs(value, 0, 86400, seconds);
      cl.options.modem.drop_after_ms = seconds * 1000;
    } else if (opt == "--modem-guard-ms") {
      ok = ParseAs(value, 0, 60000, cl.options.modem.guard_ms);
    } else if (opt == "--adapter-refuse" || opt == "--adapter-silent") {
      cl.options.adapter.refuse = value;
      cl.options.adapter.refuse_silently = opt == "--adapter-silent";
      ok = !value.empty();
    } else if (opt == "--diag") {
      std::vector<DiagFlag> flags;
      ok = ParseDiagFlags(value, flags);
      if (ok) cl.options.diag = std::move(flags);
    } else if (opt == "--session-length") {
      ok = ParseAs(value, 0, 8000, cl.options.session_length);
    } else if (opt == "--vrg-clocks") {
      VrgClockOffsets clocks{};
      ok = ParseVrgClocks(value, clocks);
      if (ok) cl.options.vrg_clocks = clocks;
    } else if (opt == "--expect-modem-every") {
      int seconds = 0;
      ok = ParseAs(value, 0, 3600, seconds);
      cl.options.expect_modem.enabled = true;
      cl.options.expect_modem.every_ms = seconds * 1000;
    } else {
      error = "unknown option " + opt;
      return false;
    }
    if (!ok) {
      error = "bad value for " + opt + ": " + value;
      return false;
    }
  }
  out = std::move(cl);
  return true;
}

std::string SimUsage() {
  return "usage: kvarta-sim [--device PATH] [--address N] [--listen-baud N] [--pace-baud N]\n"
         "                  [--state FILE] [--destroyed T[,T...]] [--modem-code N]\n"
         "                  [--fault F] [--fault-count N] [--fault-after N]\n"
         "                  [--front none|modem|adapter] [modem and adapter options]\n"
         "                  [--expect-modem] [--expect-modem-every S]\n"
         "                  [--diag FLAGS] [--session-length N] [--vrg-clocks LIST]\n"
         "\n"
         "Serves a simulated controller. Without --device it creates a pseudo-terminal and\n"
         "prints its path as the first line; it serves until SIGINT or SIGTERM.\n"
         "\n"
         "  --device PATH      serve this serial device instead of a pseudo-terminal\n"
         "  --address N        controller address, 1..255 (default 1)\n"
         "  --listen-baud N    answer only while the line is set to this rate\n"
         "  --pace-baud N      send answers at this line rate (10 bits a byte)\n"
         "  --state FILE       keep the tables in FILE between runs\n"
         "  --destroyed T,...  start with these configuration tables destroyed\n"
         "                     (3, 4, 9, 12, 20, 21, 22)\n"
         "  --modem-code N     required modem type in table 0 field 17 (0 SC3000,\n"
         "                     1 mc55iT, the default); timeouts are kept in its ranges\n"
         "  --fault F          silence | cut:N | bad-crc | noise | wrong-echo |\n"
         "                     error:E[,R[,T]] | delay:MS\n"
         "  --fault-count N    answers the fault applies to (-1 = all, default)\n"
         "  --fault-after N    answers given unharmed before the fault starts\n"
         "  --front F          none | modem (a GSM modem) | adapter (a line adapter)\n"
         "  --modem-dial R     connect | busy | no-answer | no-dialtone | error |\n"
         "                     no-carrier | absent (no modem at all)\n"
         "  --modem-echo on|off          echo at power-on (default on)\n"
         "  --modem-gsm-ready yes|no     answer to AT+CPAS (no: ERROR)\n"
         "  --modem-drop-after-requests N  the carrier drops after N answered requests\n"
         "  --modem-drop-after-seconds N   the carrier drops N s after CONNECT\n"
         "  --modem-guard-ms MS  silence around \"+++\" (default 1000)\n"
         "  --adapter-refuse CMD  the adapter answers \"4\" to commands starting with CMD\n"
         "                     (e.g. at@l, ato, @@@)\n"
         "  --adapter-silent CMD  the adapter does not answer commands starting with CMD\n"
         "  --expect-modem     the controller first sends its modem initialisation and\n"
         "                     waits for OK; prints \"OK received\" when it came\n"
         "  --expect-modem-every S  repeat it every S seconds until answered\n"
         "                     (0 = once; default 2)\n"
         "  --diag FLAGS       diagnostic flags of table 17 instead of the demo ones:\n"
         "                     none, or FIELD:BYTE:BIT,... (field 0..9, byte 0..13,\n"
         "                     bit 0..7); a flag ending in ~ blinks every 5 s\n"
         "                     (default 0:2:0,7:0:0,6:2:1~)\n"
         "  --session-length N  session record of N bytes (0..8000) in table 19;\n"
         "                     emptied by the clearing request (table 3 field 4)\n"
         "  --vrg-clocks LIST  offsets of the four VRG clocks from the controller's\n"
         "                     in seconds, or none (default -3,+5,none,none)\n"
         "\n"
         "Demo users: code 1111 password 111111 (adjuster), code 2222 password 222222\n"
         "(administrator), code 4444 no password (operator).\n";
}

}  // namespace kvarta::sim
