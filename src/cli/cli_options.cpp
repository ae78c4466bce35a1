#include "cli/cli_options.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>

#include "platform/baud_rates.h"
#include "sim/embedded_simulator.h"

namespace kvarta::cli {

bool ParseNumber(const std::string& text, long lo, long hi, long& value) {
  // Digits only, a minus where negative values are allowed: no blanks or
  // plus signs that the C library would quietly take.
  const size_t digits_from = !text.empty() && text[0] == '-' && lo < 0 ? 1 : 0;
  if (text.size() <= digits_from || text.size() > 18) return false;
  for (size_t i = digits_from; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str() || *end != '\0' || v < lo || v > hi) return false;
  value = v;
  return true;
}

bool ParseCorrection(const std::string& text, int& correction_on, int& type, int& value) {
  if (text == "off") {
    correction_on = 0;
    return true;
  }
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  const std::string unit = text.substr(0, colon);
  long v = 0;
  if (unit == "us") {
    if (!ParseNumber(text.substr(colon + 1), -65536, 65536, v) || std::labs(v) < 1900) {
      return false;
    }
    type = 0;
  } else if (unit == "baud") {
    if (!ParseNumber(text.substr(colon + 1), -400, 400, v)) return false;
    type = 1;
  } else {
    return false;
  }
  correction_on = 1;
  value = static_cast<int>(v);
  return true;
}

std::string SupportedRatesText() {
  std::string out;
  for (uint32_t rate : BaudRateTable) {
    if (!out.empty()) out += ", ";
    out += std::to_string(rate);
  }
  return out;
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
         "  search                      найти адрес и скорость непосредственно подключенного\n"
         "                              контроллера и сохранить их в настройках\n"
         "  imitate-modem [--timeout S] ответить контроллеру вместо модема; --timeout - не ждать\n"
         "                              дольше S секунд (затем код завершения 1)\n"
         "  identify --json             параметры идентификации одним объектом JSON\n"
         "  tables [--json]             таблицы контроллера: номер, название, поля x размер,\n"
         "                              входит ли в конфигурацию, записывается ли программой\n"
         "  ports [--json]              последовательные порты машины с номерами COMn\n"
         "  table-state [--json]        состояние таблиц параметров конфигурации (таблица 7)\n"
         "  save-config [FILE] [--force]  прочитать конфигурацию и сохранить ее в файле .cnf\n"
         "                              (FILE - файл или папка; по умолчанию папка CONFIG)\n"
         "  write-config FILE [--all | --tables N,N,...] [--key KEY]\n"
         "               [--user N:КОД[:ПАРОЛЬ]]... [--no-backup] [--no-verify]\n"
         "                              записать таблицы конфигурации из файла в контроллер\n"
         "  show-config FILE [--json]   показать файл конфигурации по параметрам\n"
         "  new-config FILE [--force]   создать файл конфигурации со значениями по умолчанию\n"
         "  diff-config FILE [--json]   сравнить конфигурацию контроллера с файлом\n"
         "                              (код завершения 3 - есть различия)\n"
         "  show TABLE                  параметры таблицы 0, 1, 3, 7, 9, 20, 21 или 22 по именам\n"
         "  set TABLE NAME=VALUE...     изменить параметры таблицы 3, 9, 20, 21 или 22 с теми же\n"
         "                              проверками, что и окна программы; записываются только\n"
         "                              измененные поля\n"
         "  report [FILE] [--force] [--json]  отчет для сервисной службы: идентификация,\n"
         "                              состояние таблиц, конфигурация (без паролей, кодов и\n"
         "                              ключа), диагностика, часы, последние кадры; по\n"
         "                              умолчанию файл report-...txt в текущей папке\n"
         "\n"
         "Команды контроллеру и контроль:\n"
         "  command CODE [--server 1|2|all] [--vrg N|all] [--run N|all]\n"
         "          [--hours FROM TO | --days FROM TO] [--yes]\n"
         "                              команда контроллеру (таблица 15), 255 - перезапуск;\n"
         "                              FROM, TO: ГГГГ-ММ-ДДTЧЧ (часы) или ГГГГ-ММ-ДД (сутки)\n"
         "  history [--json]            история команд\n"
         "  history repeat [N]          повторить команду N истории (по умолчанию текущую)\n"
         "  history clear               очистить историю команд\n"
         "  diagnostics [--watch] [--json]  признаки диагностики (таблица 17)\n"
         "  clock [--json]              дата и время контроллера и ЭВМ\n"
         "  vrg-clocks [--watch] [--json]  дата и время контроллера и ВРГ, отклонения\n"
         "  session read [--save [FILE]] [--hex]  содержание сеанса связи по инициативе\n"
         "                              контроллера (таблица 19)\n"
         "  session view FILE [--hex]   показать содержание сеанса связи из файла\n"
         "  session mode 0|1|2          необходимость записи содержимого сеанса связи\n"
         "  session clear --yes         очистить буфер содержимого сеанса связи\n"
         "\n"
         "Параметры связи (по умолчанию - из настроек программы):\n"
         "  --home DIR                  папка программы с настройками (INI/kvarta04.ini)\n"
         "  --via direct|modem|adapter  тип связи\n"
         "  --port PATH|COMn            последовательный порт (устройство или номер COMn)\n"
         "  --address N                 адрес контроллера 1..255\n"
         "  --baud N                    скорость обмена, бит/с: одна из 22 скоростей от 300\n"
         "                              до 230400\n"
         "  --preambles N               количество преамбул в запросе 0..255\n"
         "  --byte-timeout MS           ожидание следующих байтов ответа, мс\n"
         "  --answer-timeout MS         ожидание первого байта ответа, мс\n"
         "  --attempts N                количество попыток обмена 1..255\n"
         "  --settle MS                 пауза после открытия порта, мс (по умолчанию 300;\n"
         "                              с имитатором 0)\n"
         "  --code CODE --password PW   код идентификации и пароль на запись\n"
         "\n"
         "Связь по телефону (--via modem):\n"
         "  --phone NUMBER              номер телефона абонента\n"
         "  --modem-command STR         команды модему (через ^)\n"
         "  --connect-wait S            ожидание соединения, с (1..360)\n"
         "  --dial-attempts N           количество попыток соединения (1..10)\n"
         "\n"
         "Связь через адаптер (--via adapter):\n"
         "  --line N                    номер линии 1..8\n"
         "  --adapter-rate N            скорость между адаптерами: 0 - 300, 1 - 600, 2 - 1200,\n"
         "                              3 - 600 ФМ, 4 - 2400\n"
         "  --gain-out N --gain-in N    коэффициенты усиления 0..255\n"
         "  --radio 0|1 --lider 0|1     радиосвязь, лидирующая частота\n"
         "  --correction off|us:N|baud:N  коррекция разности частот кварцев\n"
         "\n"
         "Прочее:\n"
         "  --simulator                 запустить имитатор контроллера и работать с ним\n"
         "  --sim-NAME [VALUE]          параметр --NAME имитатора (см. kvarta-sim --help),\n"
         "                              например --sim-fault silence, --sim-front modem\n"
         "  --trace                     выводить кадры обмена в stderr; первое число строки -\n"
         "                              время в миллисекундах от начала работы (по монотонным\n"
         "                              часам, с точностью до микросекунды), > - отправлено,\n"
         "                              < - принято; за байтами кадра - строка с его разбором;\n"
         "                              команды модема и адаптера - текстом; пароли, коды и\n"
         "                              ключ заменены на **\n"
         "  --trace-secrets             то же, что --trace, но с паролями, кодами и ключом\n"
         "  --verbose                   выводить ход чтения и записи в stderr\n"
         "  --json                      show и set: результат одним объектом JSON\n"
         "  --interactive               задавать вопросы (только на терминале)\n"
         "  --help                      эта справка\n"
         "\n"
         "Коды завершения:\n"
         "  0  выполнено\n"
         "  1  операция не выполнена (нет связи, ошибка обмена, отказ контроллера); после\n"
         "     ошибки обмена - строка с портом, скоростью и адресом\n"
         "  2  ошибка в командной строке\n"
         "  3  diff-config: конфигурации различаются\n";
}

bool ParseCliOptions(int argc, const char* const* argv, CliOptions& o, std::string& error) {
  using Setter = std::function<bool(const std::string&)>;
  auto number = [](long lo, long hi, std::optional<int>& target) {
    return Setter([lo, hi, &target](const std::string& s) {
      long v = 0;
      if (!ParseNumber(s, lo, hi, v)) return false;
      target = static_cast<int>(v);
      return true;
    });
  };
  auto text = [](std::optional<std::string>& target) {
    return Setter([&target](const std::string& s) { return (target = s, true); });
  };
  const std::map<std::string, Setter> valued = {
      {"--port", [&o](const std::string& s) { return !(o.port = s)->empty(); }},
      {"--address", number(1, 255, o.address)},
      {"--baud",
       [&o](const std::string& s) {
         long v = 0;
         // Only the rates the controller and the dialogs know.
         if (!ParseNumber(s, 1, 256000, v) || RateIndexOf(static_cast<uint32_t>(v)) < 0)
           return false;
         o.baud = static_cast<uint32_t>(v);
         return true;
       }},
      {"--preambles", number(0, 255, o.preambles)},
      {"--byte-timeout", number(1, 60000, o.byte_timeout_ms)},
      {"--answer-timeout", number(1, 600000, o.answer_timeout_ms)},
      {"--attempts", number(1, 255, o.attempts)},
      {"--settle", number(0, 10000, o.settle_ms)},
      {"--via",
       [&o](const std::string& s) {
         if (s == "direct")
           o.via = ConnectionKind::kDirect;
         else if (s == "modem" || s == "phone")
           o.via = ConnectionKind::kPhone;
         else if (s == "adapter")
           o.via = ConnectionKind::kAdapter;
         else
           return false;
         return true;
       }},
      {"--phone", text(o.phone)},
      {"--modem-command", text(o.modem_command)},
      {"--connect-wait", number(1, 360, o.connect_wait_s)},
      {"--dial-attempts", number(1, 10, o.dial_attempts)},
      {"--line", number(1, 8, o.line)},
      {"--adapter-rate", number(0, 4, o.adapter_rate)},
      {"--gain-out", number(0, 255, o.gain_out)},
      {"--gain-in", number(0, 255, o.gain_in)},
      {"--radio", number(0, 1, o.radio)},
      {"--lider", number(0, 1, o.lider)},
      {"--correction",
       [&o](const std::string& s) {
         int on = 0, type = 0, value = 0;
         if (!ParseCorrection(s, on, type, value)) return false;
         o.correction = s;
         return true;
       }},
      {"--home", [&o](const std::string& s) { return !(o.home = s).empty(); }},
      {"--code", [&o](const std::string& s) { return (o.code = s, true); }},
      {"--password", [&o](const std::string& s) { return (o.password = s, true); }},
  };
  const std::map<std::string, bool*> flags = {{"--simulator", &o.simulator},
                                              {"--trace", &o.trace},
                                              {"--trace-secrets", &o.trace_secrets},
                                              {"--interactive", &o.interactive},
                                              {"--verbose", &o.verbose},
                                              {"--help", &o.help},
                                              {"-h", &o.help}};
  std::vector<std::string> sim_args;
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
    if (arg == "--sim-device") {
      error = "Параметр --sim-device не применяется: имитатор работает на своем псевдотерминале";
      return false;
    }
    if (arg.rfind("--sim-", 0) == 0) {
      sim::CollectSimOption(argc, argv, i, arg.substr(6), has_value ? &value : nullptr, sim_args);
      continue;
    }
    if (auto f = flags.find(arg); f != flags.end()) {
      if (has_value) {
        error = "Параметр " + arg + " задается без значения";
        return false;
      }
      *f->second = true;
      continue;
    }
    auto s = valued.find(arg);
    if (s == valued.end() && !o.command.empty()) {
      // After the command word an option the tool does not know is the
      // command's own: it parses it, and the value that may follow it.
      o.command.push_back(argv[i]);
      continue;
    }
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
      if (arg == "--baud") error += "\nДопустимые скорости, бит/с: " + SupportedRatesText();
      return false;
    }
  }
  std::string why;
  if (!sim::ParseCollectedSimOptions(sim_args, o.sim, why)) {
    error = "Недопустимый параметр имитатора: " + why;
    return false;
  }
  return true;
}

}  // namespace kvarta::cli
