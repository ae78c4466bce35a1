// kvartapc: the desktop program.
#include <QApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "connection/port_labels.h"
#include "connection/program_folders.h"
#include "gui/app/form_main.h"
#include "gui/app/main_dialogs.h"
#include "gui/app/signal_closer.h"
#include "platform/posix_serial_port.h"
#include "sim/embedded_simulator.h"

namespace {

constexpr const char* kUsage =
    "Использование: kvartapc [--home DIR] [--simulator [--sim-NAME [VALUE]]...]\n"
    "\n"
    "  --home DIR          папка программы (INI, CONFIG, COMMUNIC_SESSION)\n"
    "  --simulator         работать с имитатором контроллера: любой порт COMn ведет к нему\n"
    "  --sim-NAME [VALUE]  параметр --NAME имитатора (см. kvarta-sim --help), например\n"
    "                      --sim-destroyed 9, --sim-front modem, --sim-address 5\n";

struct ProgramOptions {
  std::string home;
  bool simulator = false;
  kvarta::sim::SimulatorOptions sim;
};

// The program's own options (the toolkit has taken its own out of argv).
bool ParseOptions(int argc, const char* const* argv, ProgramOptions& o, std::string& error) {
  std::vector<std::string> sim_args;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    bool has_value = false;
    if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      has_value = true;
    }
    if (arg.rfind("--sim-", 0) == 0) {
      kvarta::sim::CollectSimOption(argc, argv, i, arg.substr(6), has_value ? &value : nullptr,
                                    sim_args);
    } else if (arg == "--simulator" && !has_value) {
      o.simulator = true;
    } else if (arg == "--home") {
      if (!has_value && i + 1 < argc) value = argv[++i];
      if (value.empty()) {
        error = "Не задано значение параметра --home";
        return false;
      }
      o.home = value;
    } else if (arg.rfind("--", 0) == 0) {
      error = "Неизвестный параметр " + arg;
      return false;
    } else {
      error = "Неизвестные операнды";
      return false;
    }
  }
  std::string why;
  if (!kvarta::sim::ParseCollectedSimOptions(sim_args, o.sim, why)) {
    error = "Недопустимый параметр имитатора: " + why;
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Help needs no display.
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  QApplication app(argc, argv);  // takes the toolkit's own options out of argv
  QApplication::setApplicationName("kvartapc");
  QApplication::setApplicationVersion("4.04");

  ProgramOptions options;
  std::string error;
  if (!ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "%s\n%s", error.c_str(), kUsage);
    return 2;
  }

  kvarta::SerialPortFactory* ports = &kvarta::SystemPorts();
  std::unique_ptr<kvarta::sim::SimulatorPortFactory> simulator;
  if (options.simulator) {
    simulator = std::make_unique<kvarta::sim::SimulatorPortFactory>(options.sim);
    if (!simulator->Start()) {
      std::fprintf(stderr, "Не удалось запустить имитатор контроллера\n");
      return 1;
    }
    ports = simulator.get();
  } else {
    // Real ports: the COM lists and the status bar name the device behind each.
    kvarta::SetComPortSource(kvarta::MachinePortSource());
  }

  const kvarta::ProgramFolders folders =
      kvarta::FoldersIn(kvarta::ResolveProgramFolder(kvarta::CurrentFolderSources(options.home)));
  kvarta::gui::TFormMain window(folders, *ports, kvarta::gui::MakeMainDialogs());
  // A signal to end ends the program as "Выход" does.
  kvarta::gui::SignalCloser closer(window);
  window.ApplySavedGeometry();
  window.show();
  return app.exec();
}
