#include "cli/cli_commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli/cli_connection.h"
#include "cli/cli_host.h"
#include "config/config_image.h"
#include "config/gprs_transform.h"
#include "config/identification.h"
#include "config/whole_table.h"
#include "connection/device_search.h"
#include "connection/line_context.h"
#include "connection/modem_imitation.h"
#include "connection/program_folders.h"
#include "connection/settings_store.h"
#include "link/controller_link.h"
#include "link/result_messages.h"
#include "link/table_service.h"
#include "platform/cp1251.h"
#include "platform/port_map.h"
#include "platform/posix_serial_port.h"
#include "platform/text_format.h"
#include "sim/simulator.h"

namespace kvarta::cli {
namespace {

constexpr uint8_t kGprsTable = 22;

void PrintError(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
}

// Table 22 travels substituted when table 0 field 12 is 0: learn which.
bool LearnGprsTransform(ControllerLink& link, ConfigImage& image, StatusBar* status) {
  return ReadTableFields(link, image, FieldRange{0, 0, 18}, status, true);
}

int Identify(ControllerLink& link, ConfigImage& image, StatusBar* status) {
  if (!ReadTableFields(link, image, FieldRange{0, 0, 18}, status, true)) return 1;
  for (const std::string& line : IdentificationLines(image.Table(0)))
    std::printf("%s\n", line.c_str());
  return 0;
}

bool ParseTable(const std::string& text, int& t) {
  long v = 0;
  if (!ParseNumber(text, 0, kTableCount - 1, v) || !TableCatalogue(static_cast<int>(v)).Exists()) {
    PrintError(Format("Нет такой таблицы: %s", text.c_str()));
    return false;
  }
  t = static_cast<int>(v);
  return true;
}

int ReadCommand(ControllerLink& link, ConfigImage& image, StatusBar* status,
                const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 3) {
    PrintError("Использование: read TABLE [FIRST [COUNT]]");
    return 2;
  }
  int t = 0;
  if (!ParseTable(args[0], t)) return 2;
  const TableDescriptor& d = TableCatalogue(t);
  long first = 0, count = d.field_count;
  if (args.size() >= 2 && !ParseNumber(args[1], 0, d.field_count - 1, first)) {
    PrintError(Format("Нет такого поля в таблице %d: %s", t, args[1].c_str()));
    return 2;
  }
  count = d.field_count - first;
  if (args.size() == 3 && !ParseNumber(args[2], 1, d.field_count - first, count)) {
    PrintError(Format("Недопустимое количество полей: %s", args[2].c_str()));
    return 2;
  }
  if (t == kGprsTable && !LearnGprsTransform(link, image, status)) return 1;
  const long chunk = kMaxReadBytes / d.field_size;
  for (long f = first; f < first + count; f += chunk) {
    const long n = std::min(chunk, first + count - f);
    const FieldRange range{static_cast<uint8_t>(t), static_cast<uint8_t>(f),
                           static_cast<uint8_t>(n)};
    if (!ReadTableFields(link, image, range, status, true)) return 1;
  }
  if (t == kGprsTable) DecodeGprsFields(image);
  for (long f = first; f < first + count; ++f) {
    std::printf("%s\n", HexFields(image.Field(t, static_cast<int>(f)), d.field_size).c_str());
  }
  return 0;
}

int WriteCommand(ControllerLink& link, ConfigImage& image, StatusBar* status,
                 const std::vector<std::string>& args) {
  if (args.size() < 3) {
    PrintError("Использование: write TABLE FIRST HEX...");
    return 2;
  }
  int t = 0;
  if (!ParseTable(args[0], t)) return 2;
  const TableDescriptor& d = TableCatalogue(t);
  long first = 0;
  if (!ParseNumber(args[1], 0, d.field_count - 1, first)) {
    PrintError(Format("Нет такого поля в таблице %d: %s", t, args[1].c_str()));
    return 2;
  }
  std::vector<uint8_t> bytes;
  if (!ParseHexBytes({args.begin() + 2, args.end()}, bytes) || bytes.empty()) {
    PrintError("Значения задаются байтами в шестнадцатеричном виде");
    return 2;
  }
  if (bytes.size() % d.field_size != 0) {
    PrintError(Format("Размер поля таблицы %d - %d байт(а)", t, d.field_size));
    return 2;
  }
  const long count = static_cast<long>(bytes.size() / d.field_size);
  if (first + count > d.field_count) {
    PrintError(Format("Нет такого поля в таблице %d: %ld", t, first + count - 1));
    return 2;
  }
  if (t == kGprsTable) {
    if (!LearnGprsTransform(link, image, status)) return 1;
    DecodeGprsFields(image);  // the image holds table 22 plain outside requests
  }
  std::memcpy(image.Field(t, static_cast<int>(first)), bytes.data(), bytes.size());
  if (t == kGprsTable) EncodeGprsFields(image);
  const long chunk = kMaxWriteBytes / d.field_size;
  bool ok = true;
  for (long f = first; ok && f < first + count; f += chunk) {
    const long n = std::min(chunk, first + count - f);
    ok = WriteTableFields(
        link, image,
        FieldRange{static_cast<uint8_t>(t), static_cast<uint8_t>(f), static_cast<uint8_t>(n)},
        status);
  }
  return ok ? 0 : 1;
}

int Restart(ControllerLink& link) {
  if (SendRequest(link, 32, nullptr, 0, 0)) return 0;
  PrintError("Результат выполнения запроса:");
  PrintError(FormatResultMessage(link));
  return 1;
}

void TraceFrame(int64_t start_ns, Clock& clock, TraceDirection dir, const uint8_t* bytes,
                size_t n) {
  const double ms = static_cast<double>(clock.NowNs() - start_ns) / 1e6;
  std::fprintf(stderr, "%10.3f %s %s\n", ms, dir == TraceDirection::kSent ? ">" : "<",
               HexFields(bytes, n).c_str());
}

}  // namespace

std::string HexFields(const uint8_t* bytes, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i) out += ' ';
    out += Format("%02X", bytes[i]);
  }
  return out;
}

bool ParseHexBytes(const std::vector<std::string>& words, std::vector<uint8_t>& out) {
  for (const std::string& w : words) {
    if (w.size() % 2 != 0) return false;
    for (size_t i = 0; i < w.size(); i += 2) {
      unsigned v = 0;
      for (size_t k = i; k < i + 2; ++k) {
        const char c = w[k];
        v <<= 4;
        if (c >= '0' && c <= '9')
          v |= c - '0';
        else if (c >= 'a' && c <= 'f')
          v |= c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
          v |= c - 'A' + 10;
        else
          return false;
      }
      out.push_back(static_cast<uint8_t>(v));
    }
  }
  return true;
}

std::vector<std::string> IdentificationLines(const uint8_t* t0) {
  const IdentificationView v = DecodeIdentification(t0, true);
  return {
      "Параметры идентификации контроллера",
      "Состояние таблиц: " + v.destroyed.text,
      "Код типа контроллера: " + v.type_code.text,
      "Версия аппаратной части: " + v.hardware_version.text,
      "Версия ПО: " + v.software_version.text,
      "Дата и время создания ПО: " + v.creation_date.text,
      "Порядок байтов: " + v.byte_order.text,
      "Работа на разных скоростях обмена: " + v.different_speeds.text,
      "Возможность изменения адреса: " + v.address_fixed.text,
      "Версия протокола верхнего уровня: " + v.protocol_version.text,
      "Тип требуемого модема: " + v.modem_type.text,
  };
}

namespace {

int Search(const CliOptions& o, ControllerLink& link, SettingsStore& store, const CliLine& line) {
  // The search dialog's defaults: 300 ms for the first byte, 100 between
  // bytes, 5 preambles, 1 attempt.
  link.answer_timeout_ms = static_cast<uint32_t>(o.answer_timeout_ms.value_or(300));
  link.inter_byte_timeout_ms = static_cast<uint32_t>(o.byte_timeout_ms.value_or(100));
  link.preamble_count = static_cast<uint8_t>(o.preambles.value_or(5));
  link.attempts = static_cast<uint8_t>(o.attempts.value_or(1));
  auto port = OpenComPort(line.path, 1200, 8, 0, 0, 1000, 1000, true, false);
  if (!port) {
    PrintError(PortUnavailableMessage(line));
    return 1;
  }
  link.port = std::move(port);
  link.connection_kind = ConnectionKind::kDirect;
  bool searching = false;
  SearchProgress progress;
  if (o.verbose) {
    progress.on_rate = [](uint32_t rate) { std::fprintf(stderr, "Скорость обмена: %u\n", rate); };
  }
  const SearchResult r = SearchDevice(link, searching, progress);
  link.ClosePort();
  if (!r.found) {
    PrintError("Устройство не обнаружено");
    return 1;
  }
  ChannelParams& d = store.settings.dir_conn;
  if (line.com > 0) d.com_port = static_cast<uint8_t>(line.com);
  d.adr = r.address;
  if (d.chan_ind == kChannel5) {
    d.rate_ch5 = r.rate;
  } else {
    d.rate_ch0 = r.rate;
  }
  store.Save();
  std::printf("Установлена связь с устройством\n%s\n",
              Format("Адр. = %u.  Скорость обмена = %u", r.address, r.rate).c_str());
  return 0;
}

int ImitateModem(ControllerLink& link, const CliLine& line) {
  auto port = OpenComPort(line.path, line.baud, 8, 0, 0, 1000, 1000, true, false);
  if (!port) {
    PrintError(PortUnavailableMessage(line));
    return 1;
  }
  std::fprintf(stderr, "%s\n%s\n", kImitationWaitText, "Ctrl-C - прервать выполнение");
  ModemImitation imitation(LineContext{*port, link.clock, link.host});
  imitation.Begin();
  if (imitation.Run() != ImitationState::kMatched) return 1;
  std::printf("%s\n", kImitationDoneText);
  return 0;
}

const char* const kCommands[] = {"identify", "read", "write", "restart", "search", "imitate-modem"};

}  // namespace

int RunKvartactl(const CliOptions& o) {
  if (o.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (o.command.empty()) {
    std::fputs(UsageText().c_str(), stderr);
    return 2;
  }
  const std::string& cmd = o.command[0];
  const std::vector<std::string> args(o.command.begin() + 1, o.command.end());
  if (std::find(std::begin(kCommands), std::end(kCommands), cmd) == std::end(kCommands)) {
    PrintError("Неизвестная команда " + cmd);
    return 2;
  }

  CliHost::InstallInterruptHandler();
  CliHost host(o.interactive);
  CliStatusBar status(o.verbose);
  Clock& clock = RealClock();
  ControllerLink link(host, clock);
  link.dial_status_panel = StatusPanelRef{&status, 0};
  ConfigImage image;

  SettingsStore store(FoldersIn(ResolveProgramFolder(CurrentFolderSources(o.home))));
  store.Load(1024, 768);

  std::unique_ptr<sim::Simulator> simulator;
  CliOptions options = o;
  if (o.simulator) {
    simulator = std::make_unique<sim::Simulator>(o.sim);
    const std::string path = simulator->StartOnPty();
    if (path.empty()) {
      PrintError("Не удалось запустить имитатор контроллера");
      return 1;
    }
    SetSimulatedPortPath(path);
    // The simulated controller answers at its own address.
    if (!options.address) options.address = o.sim.address;
  }
  const CliLine line = ResolveLine(options, store.settings, store.folders().ini);
  if (o.trace) {
    const int64_t start = clock.NowNs();
    link.trace = [start, &clock](TraceDirection dir, const uint8_t* bytes, size_t n) {
      TraceFrame(start, clock, dir, bytes, n);
    };
  }

  int rc = 0;
  if (cmd == "search") {
    rc = args.empty() ? Search(options, link, store, line) : 2;
  } else if (cmd == "imitate-modem") {
    rc = args.empty() ? ImitateModem(link, line) : 2;
  } else {
    CliConnection connection(link);
    if (!connection.Open(line)) {
      rc = 1;
    } else {
      link.SetCredentials(Utf8ToCp1251(o.password), Utf8ToCp1251(o.code));
      if (cmd == "identify") {
        rc = args.empty() ? Identify(link, image, &status) : 2;
      } else if (cmd == "read") {
        rc = ReadCommand(link, image, &status, args);
      } else if (cmd == "write") {
        rc = WriteCommand(link, image, &status, args);
      } else {
        rc = Restart(link);
      }
    }
  }
  if (simulator) simulator->Stop();
  SetSimulatedPortPath("");
  return rc;
}

}  // namespace kvarta::cli
