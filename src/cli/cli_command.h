// One kvartactl command and what it runs with. The commands of a subject
// live in a file of their own and are listed by its Add...Commands.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "connection/connector.h"
#include "connection/settings_store.h"
#include "link/config_image.h"
#include "link/controller_link.h"

namespace kvarta::cli {

// Exit statuses of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct CliContext {
  const CliOptions& options;
  std::vector<std::string> args;  // operands after the command word
  CliHost& host;
  CliStatusBar& status;
  ControllerLink& link;
  ConfigImage& image;
  SettingsStore& store;
  Connector& connector;
  ConnectionParams line;  // what the command line and the settings say
};

struct CliCommand {
  const char* name;
  const char* usage;  // "read TABLE [FIRST [COUNT]]"
  int min_args;       // operands, checked before anything is opened
  int max_args;       // -1 = any number
  bool connects;      // the line is opened and set up before run, closed after it
  int (*run)(CliContext& context);
};

// command, history, diagnostics, clock, vrg-clocks, session.
void AddMonitorCommands(std::vector<CliCommand>& commands);
// identify, read, write, restart.
void AddTableCommands(std::vector<CliCommand>& commands);
// search, imitate-modem.
void AddLineCommands(std::vector<CliCommand>& commands);
// save-config, write-config, show-config, new-config, diff-config, table-state.
void AddConfigCommands(std::vector<CliCommand>& commands);
// show, set: the parameter tables by name.
void AddParamCommands(std::vector<CliCommand>& commands);
// tables, ports: the table catalogue and the machine's serial ports.
void AddInfoCommands(std::vector<CliCommand>& commands);
// report: the service report.
void AddReportCommands(std::vector<CliCommand>& commands);

// A message line of the tool on standard error.
void PrintError(const std::string& line);
// "Использование: ..." for a command given the wrong operands: exit 2.
int UsageError(const std::string& usage);

// The identification table as one JSON object: the fields by name, and the
// texts the window shows under "text".
std::string IdentificationJson(const uint8_t* t0);

// Formats field bytes as two-digit upper-case hex separated by single spaces.
std::string HexFields(const uint8_t* bytes, size_t count);
// Parses hex bytes given as separate words or run together ("0A 1B", "0a1b").
bool ParseHexBytes(const std::vector<std::string>& words, std::vector<uint8_t>& out);

}  // namespace kvarta::cli
