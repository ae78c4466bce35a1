// The command-line tool's host: messages go to standard error, questions are
// answered "Нет" unless the user asked to be asked, Ctrl-C acts as Esc.
#pragma once

#include <atomic>
#include <string>

#include "link/host.h"

namespace kvarta::cli {

class CliHost : public Host {
 public:
  explicit CliHost(bool interactive) : interactive_(interactive) {}

  bool TakeEscape() override;
  bool ShowMessage(const MessageWindowModel& window) override;

  // Questions ("Да" / "Нет") the command line has answered already (--yes);
  // a retry after a failure is never answered this way.
  bool answer_questions_yes = false;

  // Installs the Ctrl-C handler: the first press aborts the running exchange,
  // a second one ends the program.
  static void InstallInterruptHandler();
  static bool Interrupted();

 private:
  bool interactive_;
};

// Status panels printed to standard error with --verbose.
class CliStatusBar : public StatusBar {
 public:
  explicit CliStatusBar(bool verbose) : verbose_(verbose) {}
  void SetPanelText(int panel, const std::string& utf8) override;

 private:
  bool verbose_;
};

}  // namespace kvarta::cli
