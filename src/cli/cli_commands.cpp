#include "cli/cli_commands.h"

#include <cstdio>
#include <memory>

#include "cli/cli_command.h"
#include "cli/cli_connection.h"
#include "connection/program_folders.h"
#include "platform/cp1251.h"
#include "platform/posix_serial_port.h"
#include "platform/text_format.h"
#include "sim/embedded_simulator.h"

namespace kvarta::cli {
namespace {

const std::vector<CliCommand>& Commands() {
  static const std::vector<CliCommand> commands = [] {
    std::vector<CliCommand> all;
    AddMonitorCommands(all);
    AddTableCommands(all);
    AddLineCommands(all);
    AddConfigCommands(all);
    AddParamCommands(all);
    AddInfoCommands(all);
    AddReportCommands(all);
    return all;
  }();
  return commands;
}

}  // namespace

void PrintError(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
}

int UsageError(const std::string& usage) {
  PrintError("Использование: " + usage);
  return kExitUsage;
}

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

int RunKvartactl(const CliOptions& o) {
  if (o.help) {
    std::fputs(UsageText().c_str(), stdout);
    return kExitOk;
  }
  if (o.command.empty()) {
    std::fputs(UsageText().c_str(), stderr);
    return kExitUsage;
  }
  const std::string& name = o.command[0];
  const CliCommand* command = nullptr;
  for (const CliCommand& c : Commands()) {
    if (name == c.name) command = &c;
  }
  if (command == nullptr) {
    PrintError("Неизвестная команда " + name);
    return kExitUsage;
  }
  const int operands = static_cast<int>(o.command.size()) - 1;
  if (operands < command->min_args || (command->max_args >= 0 && operands > command->max_args)) {
    return UsageError(command->usage);
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

  CliOptions options = o;
  SerialPortFactory* ports = &SystemPorts();
  std::unique_ptr<sim::SimulatorPortFactory> simulator;
  if (o.simulator) {
    simulator = std::make_unique<sim::SimulatorPortFactory>(o.sim);
    if (!simulator->Start()) {
      PrintError("Не удалось запустить имитатор контроллера");
      return kExitFailed;
    }
    ports = simulator.get();
    // A simulated controller given an address answers only there.
    if (!options.address && o.sim.address_given) options.address = o.sim.address;
  }
  Connector connector(link, *ports);
  if (o.trace || o.trace_secrets) {
    // The frames as the session's log takes them apart, printed as they come.
    link.frame_log.keep_secrets = o.trace_secrets;
    link.frame_log.AddObserver([secrets = o.trace_secrets](const FrameRecord& r) {
      for (const std::string& line : RecordLines(r, secrets)) {
        std::fprintf(stderr, "%s\n", line.c_str());
      }
    });
  }

  CliContext context{options,
                     {o.command.begin() + 1, o.command.end()},
                     host,
                     status,
                     link,
                     image,
                     store,
                     connector,
                     ResolveLine(options, store.settings, store.folders().ini)};
  if (!command->connects) return command->run(context);
  if (!OpenConnection(connector, context.line)) return kExitFailed;
  link.SetCredentials(Utf8ToCp1251(o.password), Utf8ToCp1251(o.code));
  const int rc = command->run(context);
  if (rc == kExitFailed && IsLineFailure(link.result_code)) {
    PrintError(LineDescription(context.line));
  }
  connector.Close();
  return rc;
}

}  // namespace kvarta::cli
