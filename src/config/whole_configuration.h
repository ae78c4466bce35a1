// The seven configuration tables as a whole: reading them all and saving
// them to a file, taking a configuration file into the image, writing a
// chosen set of tables (users table first, key table with its window, GPRS
// table in wire form) and the restore from a file after a destroyed table.
#pragma once

#include <string>

#include "config/config_dialogs.h"
#include "config/config_file.h"
#include "config/configuration_session.h"
#include "config/wait_model.h"
#include "link/config_image.h"

namespace kvarta {

struct ControllerLink;
class StatusBar;

// Everything the flows work with; one per main session.
struct ConfigContext {
  Host& host;
  Clock& clock;
  ControllerLink& link;
  ConfigImage& image;
  StatusBar* status;  // the main window's StatusBar1 (progress in panel 2)
  ConfigDialogOpener& dialogs;
  ConfigurationSession& session;
  std::string config_folder;

  ConfigFileContext Files() const { return {host, dialogs, clock, config_folder}; }
};

// Reads tables 3, 4, 9, 12, 20, 21 and 22 into the image (ServerCount after
// table 3, the GPRS table decoded), one progress step each. False at the
// first failed chunk.
bool ReadConfiguration(ConfigContext& ctx, WaitModel& progress);

// "Сохранение параметров конфигурации в файле": read everything, then the
// save dialog (no preliminary question).
void SaveConfigurationFromController(ConfigContext& ctx);

// Copies the record's tables into the image. With check_users: the list
// checks (reported), free slots blanked, table 4 copied, and with a
// destroyed table 4 the adjuster's credentials become the current ones.
// Table 12 is never taken from a file: its image area is cleared.
bool ApplyConfigFileRecord(ConfigContext& ctx, ConfigFileRecord& record, bool check_users);

// The users editor (restore mode) when the plan writes table 4, then
// ApplyConfigFileRecord; any failure is reported with "Запись таблиц не
// выполнена".
bool TakeConfigFileRecord(ConfigContext& ctx, ConfigFileRecord& record, const TableWritePlan& plan);

// Writes table 4 (fields 0-9, then 10-15) with blank credentials; the
// current credentials are back in place afterwards.
bool RestoreUsersTable(ConfigContext& ctx);

// Writes the selected tables in ascending number; marks the written row.
bool WriteSelectedTables(ConfigContext& ctx, TableWritePlan& plan, WaitModel& progress);

// The complete write run: users table first, the progress window, the
// after-effects, table 0 read again. True when every selected table was
// written.
bool WriteChosenTables(ConfigContext& ctx, TableWritePlan& plan);

enum class RestoreOutcome {
  kCancelled,  // the file dialog was cancelled
  kNotTaken,   // the users editor was left, or the record failed its checks
  kWriteFailed,
  kWritten,
};
// Load a file, take it, write it. plan's configuration and destroyed rows
// come from the catalogue and table 7, its selected row from the table-state
// window; its written row tells afterwards what reached the controller.
RestoreOutcome RestoreFromFile(ConfigContext& ctx, TableWritePlan& plan);

// The keep-alive interval that table 20 field 4 asks for.
int KeepAliveIntervalMs(int table20_field4);

}  // namespace kvarta
