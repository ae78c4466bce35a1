#include "cli/cli_options.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>

namespace kvarta::cli {

bool ParseNumber(const std::string& text, long lo, long hi, long& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str() || *end != '\0' || v < lo || v > hi) return false;
  value = v;
  return true;
}

bool ParseFaultSpec(const std::string& text, sim::Fault& fault) {
  const size_t colon = text.find(':');
  const std::string word = text.substr(0, colon);
  const std::string arg = colon == std::string::npos ? "" : text.substr(colon + 1);
  long v = 0;
  if (word == "silence") {
    fault.kind = sim::FaultKind::kSilence;
  } else if (word == "bad-crc") {
    fault.kind = sim::FaultKind::kBadCrc;
  } else if (word == "noise") {
    fault.kind = sim::FaultKind::kNoiseBefore;
  } else if (word == "wrong-echo") {
    fault.kind = sim::FaultKind::kWrongRangeEcho;
  } else if (word == "cut") {
    fault.kind = sim::FaultKind::kCutShort;
    if (!arg.empty()) {
      if (!ParseNumber(arg, 0, 255, v)) return false;
      fault.cut_after = static_cast<int>(v);
    }
  } else if (word == "delay") {
    if (!ParseNumber(arg, 0, 600000, v)) return false;
    fault.kind = sim::FaultKind::kDelay;
    fault.delay_ms = static_cast<int>(v);
  } else if (word == "error") {
    fault.kind = sim::FaultKind::kErrorAnswer;
    uint8_t* parts[3] = {&fault.error_code, &fault.reason_code, &fault.table};
    size_t start = 0;
    for (int i = 0; i < 3 && start <= arg.size(); ++i) {
      const size_t comma = arg.find(',', start);
      const std::string piece = arg.substr(start, comma - start);
      if (!ParseNumber(piece, 0, 255, v)) return false;
      *parts[i] = static_cast<uint8_t>(v);
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  } else {
    return false;
  }
  return true;
}

std::string UsageText() {
  return "Использование: kvartactl [параметры] КОМАНДА [операнды]\n"
         "\n"
         "Команды:\n"
         "  identify                    прочитать и показать параметры идентификации\n"
         "  read TABLE [FIRST [COUNT]]  прочитать поля таблицы (по умолчанию всю таблицу);\n"
         "                              каждое поле - строка байтов в шестнадцатеричном виде\n"
         "  write TABLE FIRST HEX...    записать поля таблицы начиная с FIRST\n"
         "  restart                     перезапустить контроллер (код функции 32)\n"
         "\n"
         "Параметры связи:\n"
         "  --port PATH|COMn            последовательный порт (устройство или номер COMn)\n"
         "  --address N                 адрес контроллера 1..255 (1)\n"
         "  --baud N                    скорость обмена, бит/с (9600)\n"
         "  --preambles N               количество преамбул в запросе 0..255 (5)\n"
         "  --byte-timeout MS           ожидание следующих байтов ответа, мс (100)\n"
         "  --answer-timeout MS         ожидание первого байта ответа, мс (2000)\n"
         "  --attempts N                количество попыток обмена 1..255 (1)\n"
         "  --code CODE --password PW   код идентификации и пароль на запись\n"
         "\n"
         "Прочее:\n"
         "  --simulator                 запустить имитатор контроллера и работать с ним\n"
         "  --sim-address N             адрес имитатора (1)\n"
         "  --sim-fault SPEC            сбой имитатора: silence, cut:N, bad-crc, noise,\n"
         "                              wrong-echo, error:E[,R[,T]], delay:MS\n"
         "  --sim-fault-count N         число ответов со сбоем (-1 = все)\n"
         "  --sim-destroyed T[,T...]    разрушенные таблицы имитатора\n"
         "  --sim-state FILE            файл состояния таблиц имитатора\n"
         "  --trace                     выводить кадры обмена в stderr\n"
         "  --verbose                   выводить ход чтения и записи в stderr\n"
         "  --interactive               задавать вопросы (только на терминале)\n"
         "  --help                      эта справка\n";
}

bool ParseCliOptions(int argc, const char* const* argv, CliOptions& o, std::string& error) {
  using Setter = std::function<bool(const std::string&)>;
  long v = 0;
  auto number = [&v](long lo, long hi, auto apply) {
    return Setter([&v, lo, hi, apply](const std::string& s) {
      if (!ParseNumber(s, lo, hi, v)) return false;
      apply(v);
      return true;
    });
  };
  const std::map<std::string, Setter> valued = {
      {"--port", [&o](const std::string& s) { return !(o.port = s).empty(); }},
      {"--address", number(1, 255, [&o](long n) { o.address = static_cast<int>(n); })},
      {"--baud", number(110, 256000, [&o](long n) { o.baud = static_cast<uint32_t>(n); })},
      {"--preambles", number(0, 255, [&o](long n) { o.preambles = static_cast<int>(n); })},
      {"--byte-timeout",
       number(1, 60000, [&o](long n) { o.byte_timeout_ms = static_cast<int>(n); })},
      {"--answer-timeout",
       number(1, 600000, [&o](long n) { o.answer_timeout_ms = static_cast<int>(n); })},
      {"--attempts", number(1, 255, [&o](long n) { o.attempts = static_cast<int>(n); })},
      {"--code", [&o](const std::string& s) { return (o.code = s, true); }},
      {"--password", [&o](const std::string& s) { return (o.password = s, true); }},
      {"--sim-address", number(1, 254, [&o](long n) { o.sim.address = static_cast<uint8_t>(n); })},
      {"--sim-fault", [&o](const std::string& s) { return ParseFaultSpec(s, o.sim.fault); }},
      {"--sim-fault-count",
       number(-1, 1000000, [&o](long n) { o.sim.fault.count = static_cast<int>(n); })},
      {"--sim-state", [&o](const std::string& s) { return (o.sim.state_file = s, true); }},
      {"--sim-destroyed",
       [&o](const std::string& s) {
         size_t start = 0;
         while (start <= s.size()) {
           const size_t comma = s.find(',', start);
           long t = 0;
           if (!ParseNumber(s.substr(start, comma - start), 0, 22, t)) return false;
           o.sim.destroyed_tables.push_back(static_cast<int>(t));
           if (comma == std::string::npos) break;
           start = comma + 1;
         }
         return true;
       }},
  };
  const std::map<std::string, bool*> flags = {
      {"--simulator", &o.simulator}, {"--trace", &o.trace}, {"--interactive", &o.interactive},
      {"--verbose", &o.verbose},     {"--help", &o.help},   {"-h", &o.help}};
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.size() < 2 || arg[0] != '-' || (arg[1] != '-' && arg != "-h")) {
      o.command.push_back(arg);
      continue;
    }
    std::string value;
    bool has_value = false;
    if (const size_t eq = arg.find('='); eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      has_value = true;
    }
    if (auto f = flags.find(arg); f != flags.end() && !has_value) {
      *f->second = true;
      continue;
    }
    auto s = valued.find(arg);
    if (s == valued.end()) {
      error = "Неизвестный параметр " + arg;
      return false;
    }
    if (!has_value) {
      if (i + 1 >= argc) {
        error = "Не задано значение параметра " + arg;
        return false;
      }
      value = argv[++i];
    }
    if (!s->second(value)) {
      error = "Недопустимое значение параметра " + arg + ": " + value;
      return false;
    }
  }
  return true;
}

}  // namespace kvarta::cli
