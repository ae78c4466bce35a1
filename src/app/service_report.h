// "Отчет для сервисной службы": one UTF-8 text file that tells the service
// everything about a controller at once: its identification, the table
// states, the configuration by parameter name, the diagnostic flags, the
// clock deviations and the last frames of the session. Passwords, codes and
// the authorisation key never reach it. Built without any window; the menu
// entry and the tool's report command read and write through here.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/overview_model.h"
#include "config/whole_configuration.h"
#include "link/config_image.h"
#include "link/frame_log.h"
#include "monitor/clock_windows.h"
#include "platform/clock.h"

namespace kvarta {

inline constexpr const char* kServiceReportTitle = "Отчет для сервисной службы";
inline constexpr const char* kServiceReportDialogTitle =
    "Выбор файла для отчета для сервисной службы";
inline constexpr const char* kServiceReportNotMade = "Отчет для сервисной службы не составлен";
// How many of the session's frames the report ends with.
inline constexpr size_t kServiceReportFrames = 200;

struct ServiceReportInput {
  // Tables 0, 3, 7, 17, the configuration tables (22 decoded) as just read.
  const ConfigImage* image = nullptr;
  unsigned address = 0;                 // the address the controller answered at
  std::vector<std::string> connection;  // the line, one line of text each
  LocalDateTime made;                   // the PC's time
  // The VRG clock window's rows that are shown: the PC, the controller, the VRGs.
  std::vector<ClockRowView> clocks;
  const FrameLog* frames = nullptr;
  size_t last_frames = kServiceReportFrames;
};

struct ServiceReport {
  std::string text;  // UTF-8, "\n" line ends
  // The sections in their order, by key: identification, table_states,
  // configuration, diagnostics, clocks, frames.
  std::vector<std::string> sections;
};

ServiceReport BuildServiceReport(const ServiceReportInput& in);

// "report-<name>-<address>-YYMMDD-HHMM.txt": the controller's name (its type
// without one) cleaned for a file name, blanks as "_".
std::string ProposedServiceReportName(const ConfigImage& image, unsigned address,
                                      const LocalDateTime& now);

// What the report needs, each read as its own window reads it: the
// identification, the table states, the whole configuration (with the
// progress window), the diagnostic flags and the VRG clocks. False at the
// first read that failed, after kServiceReportNotMade with what was not read.
bool ReadServiceReportTables(ConfigContext& ctx, std::vector<ClockRowView>& clocks);

// The menu entry: the reads, the save dialog (a proposed name in the
// configuration folder, the question before replacing another file), the
// file written atomically. The path written, or "" (told why).
std::string MakeServiceReport(ConfigContext& ctx, const std::vector<std::string>& connection);

// The overview's "Связь" lines as "label: value", for the report's head.
std::vector<std::string> OverviewConnectionLines(const OverviewModel& overview);

}  // namespace kvarta
