// kvartapc: the desktop program.
#include <QApplication>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/cli_options.h"
#include "connection/program_folders.h"
#include "gui/app/form_main.h"
#include "gui/app/main_dialogs.h"
#include "platform/port_map.h"
#include "sim/simulator.h"

namespace {

constexpr const char* kUsage =
    "Использование: kvartapc [--home DIR] [--simulator [--sim-NAME [VALUE]]...]\n"
    "\n"
    "  --home DIR          папка программы (INI, CONFIG, COMMUNIC_SESSION)\n"
    "  --simulator         работать с имитатором контроллера: любой порт COMn ведет к нему\n"
    "  --sim-NAME [VALUE]  параметр --NAME имитатора (см. kvarta-sim --help), например\n"
    "                      --sim-destroyed 9, --sim-front modem, --sim-address 5\n";

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

  // The options are a subset of the command-line tool's.
  kvarta::cli::CliOptions options;
  std::string error;
  if (!kvarta::cli::ParseCliOptions(argc, argv, options, error) || !options.command.empty()) {
    std::fprintf(stderr, "%s\n%s", error.empty() ? "Неизвестные операнды" : error.c_str(), kUsage);
    return 2;
  }

  std::unique_ptr<kvarta::sim::Simulator> sim;
  if (options.simulator) {
    sim = std::make_unique<kvarta::sim::Simulator>(options.sim);
    const std::string path = sim->StartOnPty();
    if (path.empty()) {
      std::fprintf(stderr, "Не удалось запустить имитатор контроллера\n");
      return 1;
    }
    kvarta::SetSimulatedPortPath(path);
  }

  const kvarta::ProgramFolders folders =
      kvarta::FoldersIn(kvarta::ResolveProgramFolder(kvarta::CurrentFolderSources(options.home)));
  int rc = 0;
  {
    kvarta::gui::TFormMain window(folders, kvarta::gui::MakeMainDialogs());
    window.ApplySavedGeometry();
    window.show();
    rc = app.exec();
  }
  if (sim) sim->Stop();
  return rc;
}
