// report: the service report of the menu entry "Отчет для сервисной службы",
// written into a file named on the command line or into the current folder.
#include <sys/stat.h>

#include <cstdio>

#include "app/service_report.h"
#include "cli/cli_command.h"
#include "cli/cli_config_dialogs.h"
#include "cli/cli_connection.h"
#include "cli/json_writer.h"
#include "platform/atomic_file.h"
#include "platform/file_names.h"
#include "platform/text_format.h"

namespace kvarta::cli {
namespace {

constexpr const char* kUsage = "report [FILE] [--force] [--json]";

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// "Файл %s уже есть." unless --force, as save-config says it.
bool MayWrite(const std::string& path, bool force) {
  if (force || !Exists(path)) return true;
  PrintError(Format("Файл %s уже есть.", BaseName(path).c_str()));
  PrintError("Заменить существующий файл: --force");
  return false;
}

int Report(CliContext& c) {
  bool json = false, force = false;
  std::string target;
  for (const std::string& arg : c.args) {
    if (arg == "--json") {
      json = true;
    } else if (arg == "--force") {
      force = true;
    } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      PrintError("Неизвестный параметр " + arg);
      return UsageError(kUsage);
    } else if (target.empty()) {
      target = arg;
    } else {
      PrintError("Лишние операнды: " + arg);
      return UsageError(kUsage);
    }
  }
  const bool into_folder = !target.empty() && IsFolder(target);
  if (!target.empty() && !into_folder) {
    if (BaseName(target).find('.') == std::string::npos) target += ".txt";
    if (!MayWrite(target, force)) return kExitFailed;  // before anything is read
  }

  CliConfigDialogs dialogs(c.options.verbose);
  CliConfigurationSession session;
  session.address_before = c.link.address;
  ScriptedHost host(c.host, nullptr);
  ConfigContext ctx{host,      c.link.clock, c.link,  c.image,
                    &c.status, dialogs,      session, c.store.folders().config};
  ServiceReportInput in;
  if (!ReadServiceReportTables(ctx, in.clocks)) return kExitFailed;
  in.image = &c.image;
  in.address = c.link.address;
  in.connection = {LineDescription(c.line)};
  in.made = c.link.clock.LocalNow();
  in.frames = &c.link.frame_log;
  const ServiceReport report = BuildServiceReport(in);

  const std::string name = ProposedServiceReportName(c.image, in.address, in.made);
  if (target.empty()) {
    target = name;
  } else if (into_folder) {
    while (target.size() > 1 && target.back() == '/') target.pop_back();
    target = (target == "/" ? "" : target) + "/" + name;
  }
  if (!MayWrite(target, force)) return kExitFailed;
  if (!WriteFileAtomically(target, report.text)) {
    PrintError("Сбой при работе с файлом");
    PrintError(target);
    return kExitFailed;
  }
  if (!json) {
    std::printf("%s\n", target.c_str());
    return kExitOk;
  }
  JsonWriter j;
  j.BeginObject().Field("file", target).Key("sections").BeginArray();
  for (const std::string& s : report.sections) j.String(s);
  j.EndArray().Field("bytes", static_cast<int64_t>(report.text.size())).EndObject();
  std::printf("%s\n", j.Text().c_str());
  return kExitOk;
}

}  // namespace

void AddReportCommands(std::vector<CliCommand>& commands) {
  commands.push_back({"report", kUsage, 0, -1, true, Report});
}

}  // namespace kvarta::cli
