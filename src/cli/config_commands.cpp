// save-config, write-config, show-config, new-config, diff-config and
// table-state: the whole configuration between the controller and its files.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "cli/cli_command.h"
#include "cli/cli_config_dialogs.h"
#include "cli/json_writer.h"
#include "config/access_model.h"
#include "config/avt_key_model.h"
#include "config/config_compare.h"
#include "config/config_file.h"
#include "config/config_listing.h"
#include "config/identification.h"
#include "config/table_info_model.h"
#include "config/user_list.h"
#include "config/whole_configuration.h"
#include "connection/program_folders.h"
#include "link/gprs_transform.h"
#include "link/message_window.h"
#include "link/table_layout.h"
#include "link/table_service.h"
#include "link/whole_table.h"
#include "platform/cp1251.h"
#include "platform/file_names.h"
#include "platform/text_format.h"

namespace kvarta::cli {
namespace {

constexpr int kExitDiffer = 3;
constexpr int kUsersTable = 4;
constexpr int kReportTable = 12;
constexpr int kGprsTable = 22;

// The operands and options of one command (the tool's own options are taken
// out before).
struct CommandArgs {
  std::vector<std::string> operands;
  std::set<std::string> flags;
  std::map<std::string, std::vector<std::string>> values;

  bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
  const std::vector<std::string>& All(const std::string& name) const {
    static const std::vector<std::string> none;
    const auto it = values.find(name);
    return it == values.end() ? none : it->second;
  }
};

// False with a usage error printed for an option the command does not know,
// a value missing or too many operands.
bool ParseArgs(const CliContext& c, const std::set<std::string>& flags,
               const std::set<std::string>& valued, size_t max_operands, CommandArgs& out) {
  const std::vector<std::string>& args = c.args;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
      out.operands.push_back(arg);
      continue;
    }
    std::string value;
    bool has_value = false;
    if (const size_t eq = arg.find('='); eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg = arg.substr(0, eq);
      has_value = true;
    }
    if (flags.count(arg) && !has_value) {
      out.flags.insert(arg);
    } else if (valued.count(arg)) {
      if (!has_value) {
        if (i + 1 >= args.size()) {
          PrintError("Не задано значение параметра " + arg);
          return false;
        }
        value = args[++i];
      }
      out.values[arg].push_back(value);
    } else {
      PrintError("Неизвестный параметр " + arg);
      return false;
    }
  }
  if (out.operands.size() > max_operands) {
    PrintError("Лишние операнды: " + out.operands[max_operands]);
    return false;
  }
  return true;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// A name without extension gets ".cnf", as in the save dialog.
std::string WithExtension(const std::string& path) {
  return BaseName(path).find('.') == std::string::npos ? path + ".cnf" : path;
}

// The configuration flows of one run, scripted from the command line.
struct CliFlows {
  CliFlows(CliContext& c, ScriptedHost::Answer answer = nullptr)
      : dialogs(c.options.verbose),
        host(c.host, std::move(answer)),
        ctx{host,      c.link.clock, c.link,  c.image,
            &c.status, dialogs,      session, c.store.folders().config} {
    session.address_before = c.link.address;
  }
  CliFlows(const CliFlows&) = delete;
  CliFlows& operator=(const CliFlows&) = delete;
  CliConfigDialogs dialogs;
  CliConfigurationSession session;
  ScriptedHost host;
  ConfigContext ctx;
};

// Identification first (it says how table 22 travels), then every
// configuration table; the record as the save after a whole read builds it.
bool ReadControllerRecord(CliContext& c, CliFlows& flows, ConfigFileRecord& record) {
  if (!ReadTableFields(c.link, c.image, FieldRange{0, 0, 18}, &c.status, true)) return false;
  WaitModel progress(WaitModel::Mode::kReading);
  flows.dialogs.ShowWait(progress);
  const bool read = ReadConfiguration(flows.ctx, progress);
  flows.dialogs.CloseWait();
  if (!read) return false;
  NewConfigFileRecord(record);
  FillConfigFileRecord(record, c.image);
  return true;
}

// The file the configuration folder would be given, unique: a backup never
// replaces an earlier one made in the same minute.
std::string UniqueInFolder(const std::string& folder, const std::string& name) {
  std::string path = folder + "/" + name;
  const std::string stem = path.substr(0, path.size() - 4);  // without ".cnf"
  for (int n = 2; Exists(path); ++n) path = Format("%s-%d.cnf", stem.c_str(), n);
  return path;
}

bool WriteRecord(const std::string& path, const ConfigFileRecord& record) {
  switch (WriteConfigFile(path, record)) {
    case ConfigFileSave::kOk:
      return true;
    case ConfigFileSave::kCannotOpen:
      PrintError("Ошибка открытия файла");
      break;
    case ConfigFileSave::kWriteFailed:
      PrintError("Сбой при работе с файлом");
      break;
  }
  PrintError(path);
  return false;
}

// "Файл %s уже есть." unless --force.
bool MayWrite(const std::string& path, bool force) {
  if (force || !Exists(path)) return true;
  PrintError(Format("Файл %s уже есть.", BaseName(path).c_str()));
  PrintError("Заменить существующий файл: --force");
  return false;
}

// A file given as an operand, with the messages of the open dialog's checks.
bool LoadRecord(CliContext& c, const std::string& path, ConfigFileRecord& record) {
  CliFlows flows(c);
  flows.dialogs.SetOpenPath(path);
  return LoadConfigFile(flows.ctx.Files(), record);
}

// ---------------------------------------------------------------- save-config

int SaveConfig(CliContext& c) {
  CommandArgs a;
  if (!ParseArgs(c, {"--force"}, {}, 1, a)) return UsageError("save-config [FILE] [--force]");
  const bool force = a.Has("--force");
  std::string target;
  if (!a.operands.empty()) {
    target = a.operands[0];
    if (!IsFolder(target)) {
      target = WithExtension(target);
      if (!MayWrite(target, force)) return kExitFailed;  // before anything is read
    }
  }
  CliFlows flows(c);
  ConfigFileRecord record;
  if (!ReadControllerRecord(c, flows, record)) {
    ShowMessageWindow(c.host, kMessageExchange, "Параметры конфигурации не прочитаны", "");
    return kExitFailed;
  }
  const std::string name = ProposedConfigFileName(record, c.link.clock.LocalNow());
  if (target.empty()) {
    if (!CreateProgramFolders(c.store.folders())) {
      PrintError("Ошибка открытия файла");
      PrintError(c.store.folders().config);
      return kExitFailed;
    }
    target = c.store.folders().config + "/" + name;
  } else if (IsFolder(target)) {
    while (target.size() > 1 && target.back() == '/') target.pop_back();
    target = (target == "/" ? "" : target) + "/" + name;
  }
  if (!MayWrite(target, force)) return kExitFailed;
  if (!WriteRecord(target, record)) return kExitFailed;
  std::printf("%s\n", target.c_str());
  return kExitOk;
}

// ---------------------------------------------------------------- write-config

constexpr const char* kWriteUsage =
    "write-config FILE [--all | --tables N,N,...] [--key KEY] [--user N:CODE[:PASSWORD]]... "
    "[--no-backup] [--no-verify]";

bool ParseUser(const std::string& text, int& number, UserCredentials& credentials) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  long n = 0;
  if (!ParseNumber(text.substr(0, colon), 1, kUserCount, n)) return false;
  const std::string rest = text.substr(colon + 1);
  const size_t second = rest.find(':');
  credentials.code = rest.substr(0, second);
  credentials.password = second == std::string::npos ? "" : rest.substr(second + 1);
  // What the code fields of the password window let through.
  if (credentials.code.empty() || credentials.code.size() > kUserCodeSize) return false;
  for (char ch : credentials.code) {
    if (!UsPassModel::CodeKeyAllowed(static_cast<unsigned char>(ch))) return false;
  }
  if (Utf8ToCp1251(credentials.password).size() > kUserPasswordSize) return false;
  number = static_cast<int>(n);
  return true;
}

bool ParseTables(const std::string& text, std::vector<int>& tables) {
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = text.find(',', start);
    const std::string part = text.substr(start, comma == std::string::npos ? comma : comma - start);
    long t = 0;
    if (!ParseNumber(part, 0, kTableCount - 1, t)) return false;
    tables.push_back(static_cast<int>(t));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return !tables.empty();
}

bool IsConfigurationTable(int t) {
  return std::find(kConfigurationTables.begin(), kConfigurationTables.end(), t) !=
         kConfigurationTables.end();
}

// The controller's configuration as it was, into the configuration folder.
void Backup(CliContext& c, CliFlows& flows) {
  ConfigFileRecord record;
  if (!ReadControllerRecord(c, flows, record)) {
    PrintError("Копия конфигурации контроллера не сохранена: не все таблицы прочитаны");
    return;
  }
  if (!CreateProgramFolders(c.store.folders())) {
    PrintError("Копия конфигурации контроллера не сохранена: нет папки " +
               c.store.folders().config);
    return;
  }
  const std::string path = UniqueInFolder(c.store.folders().config,
                                          ProposedConfigFileName(record, c.link.clock.LocalNow()));
  if (WriteRecord(path, record)) PrintError("Копия конфигурации контроллера: " + path);
}

// Reads back what was written and compares it parameter by parameter.
bool Verify(CliContext& c, const TableWritePlan& plan) {
  ConfigFileRecord sent, back;
  FillConfigFileRecord(sent, c.image);
  std::vector<int> tables;
  for (int t : kConfigurationTables) {
    // The users table holds codes and passwords nobody may read back the
    // same; the key is not given back at all.
    if (plan.written[t] && t != kUsersTable && t != kReportTable) tables.push_back(t);
  }
  for (int t : tables) {
    if (!ReadWholeTable(c.link, c.image, t, &c.status)) {
      PrintError("Проверка записи не выполнена");
      return false;
    }
    if (t == kGprsTable) DecodeGprsFields(c.image);
  }
  FillConfigFileRecord(back, c.image);
  bool same = true;
  for (const ConfigDifference& d : CompareConfigurations(sent, back)) {
    if (std::find(tables.begin(), tables.end(), d.table) == tables.end()) continue;
    PrintError(Format("Проверка записи: табл. %d, %s: записано %s, прочитано %s", d.table,
                      d.name.c_str(), d.left.c_str(), d.right.c_str()));
    same = false;
  }
  return same;
}

int WriteConfig(CliContext& c) {
  CommandArgs a;
  if (!ParseArgs(c, {"--all", "--no-backup", "--no-verify"}, {"--tables", "--key", "--user"}, 1,
                 a) ||
      a.operands.size() != 1) {
    return UsageError(kWriteUsage);
  }
  if (a.Has("--all") && !a.All("--tables").empty()) {
    PrintError("--all и --tables исключают друг друга");
    return UsageError(kWriteUsage);
  }
  std::vector<int> tables;
  for (const std::string& list : a.All("--tables")) {
    if (!ParseTables(list, tables)) {
      PrintError("Недопустимое значение параметра --tables: " + list);
      return kExitUsage;
    }
  }
  for (int t : tables) {
    if (!IsConfigurationTable(t)) {
      PrintError(Format("Таблица %d не является таблицей параметров конфигурации", t));
      PrintError("Таблицы конфигурации: 3, 4, 9, 12, 20, 21, 22");
      return kExitUsage;
    }
  }
  std::optional<std::string> key;
  if (!a.All("--key").empty()) {
    key = a.All("--key").back();
    // The key window's own checks, before anything is read or written.
    uint8_t scratch[kReportFieldSize] = {};
    AvtKeyModel check(c.host, scratch);
    check.OnShow();
    check.SetText(AvtKeyModel::kKey, *key);
    check.SetText(AvtKeyModel::kConfirm, *key);
    check.OnAccept();
    if (!check.accepted()) return kExitUsage;
  }
  std::map<int, UserCredentials> users;
  for (const std::string& u : a.All("--user")) {
    int number = 0;
    UserCredentials credentials;
    if (!ParseUser(u, number, credentials)) {
      // Not repeated: it holds a code and a password.
      PrintError("Недопустимое значение параметра --user");
      PrintError("--user N:КОД[:ПАРОЛЬ]: N 1..16, код до 4 цифр, пароль до 12 символов");
      return kExitUsage;
    }
    users[number] = credentials;
  }

  const std::string& file = a.operands[0];
  ConfigFileRecord record;
  if (!LoadRecord(c, file, record)) return kExitFailed;
  for (const auto& entry : users) {
    const int number = entry.first;
    if (UserRecord(record.Table(kUsersTable), number - 1)[kUserLevelOffset] == kLevelNone) {
      PrintError(
          Format("Пользователь %d не зарегистрирован в файле %s", number, BaseName(file).c_str()));
      return kExitFailed;
    }
  }

  // With --key the key question is answered "Да": the key was given to be written.
  CliFlows flows(
      c, [&key](const MessageWindowModel& w) -> std::optional<std::pair<bool, std::string>> {
        if (key && w.line1 == "Таблица \"Параметры отчета 2\" не разрушена.") {
          return std::make_pair(true, std::string("--key"));
        }
        return std::nullopt;
      });
  flows.dialogs.users = users;
  flows.dialogs.key = key;
  flows.dialogs.SetOpenPath(file);

  // What the controller says of itself and of its tables.
  if (!ReadTableFields(c.link, c.image, FieldRange{0, 0, 18}, &c.status, true) ||
      !ReadTableFields(c.link, c.image, FieldRange{7, 0, 23}, &c.status, true)) {
    return kExitFailed;
  }
  TableWritePlan plan = TableWritePlan::FromImage(c.image);
  TableInfoModel choice(c.host, plan);
  choice.OnShow();
  if (tables.empty()) {
    choice.OnWriteAll();
  } else {
    for (size_t r = 0; r < choice.rows.size(); ++r) {
      const int t = choice.rows[r].table;
      const bool wanted = std::find(tables.begin(), tables.end(), t) != tables.end();
      if (wanted && !choice.rows[r].check_enabled) {
        PrintError(Format("Таблица %d не разрушена и не записывается из файла", t));
        PrintError("Пользователей неразрушенной таблицы 4 изменяют по одному в программе");
        return kExitFailed;
      }
      choice.OnCheck(static_cast<int>(r), wanted);
    }
    choice.OnWriteSelected();
    if (!choice.closed()) return kExitFailed;
  }
  if (plan.selected[kReportTable] && !key) {
    plan.selected[kReportTable] = 0;
    PrintError("Таблица 12 не записывается: не задан ключ авторизации (--key)");
  }
  if (std::none_of(plan.selected.begin(), plan.selected.end(), [](uint8_t s) { return s; })) {
    PrintError("Не заданы таблицы для записи");
    return kExitFailed;
  }
  if (!plan.selected[kUsersTable] && !users.empty()) {
    PrintError("--user не используется: таблица 4 не записывается");
  }

  if (!a.Has("--no-backup")) Backup(c, flows);

  const RestoreOutcome outcome = RestoreFromFile(flows.ctx, plan);
  if (outcome == RestoreOutcome::kNotTaken && plan.selected[kUsersTable]) {
    PrintError("Коды и пароли пользователей задаются параметром --user N:КОД[:ПАРОЛЬ]");
  }
  std::string written;
  for (int t = 0; t < kTableCount; ++t) {
    if (plan.written[t]) written += Format(written.empty() ? "%d" : ", %d", t);
  }
  // A run that broke off, or whose check failed, has changed the controller
  // all the same: say which tables it holds from the file now.
  const bool ok = outcome == RestoreOutcome::kWritten && (a.Has("--no-verify") || Verify(c, plan));
  if (ok || !written.empty()) std::printf("Записаны таблицы: %s\n", written.c_str());
  return ok ? kExitOk : kExitFailed;
}

// ---------------------------------------------------------------- show-config

struct Section {
  const char* name;
  int table;
};
constexpr Section kSections[] = {{"identification", 0}, {"link", 3},   {"users", 4}, {"vrg", 9},
                                 {"timeouts", 20},      {"modem", 21}, {"gprs", 22}};

// The parameters a section shows: the users' codes and passwords are left out.
std::vector<ListedParam> SectionParams(const ConfigFileRecord& record, const Section& s) {
  std::vector<ListedParam> listed = ListConfigParams(record, s.table);
  std::erase_if(listed,
                [&s](const ListedParam& lp) { return s.table == kUsersTable && lp.credential; });
  return listed;
}

int ShowConfig(CliContext& c) {
  CommandArgs a;
  if (!ParseArgs(c, {"--json"}, {}, 1, a) || a.operands.size() != 1) {
    return UsageError("show-config FILE [--json]");
  }
  ConfigFileRecord record;
  if (!LoadRecord(c, a.operands[0], record)) return kExitFailed;
  const int origin = record.bytes[ConfigFileRecord::kOriginOffset];
  if (a.Has("--json")) {
    JsonWriter j;
    j.BeginObject().Field("file", a.operands[0]).Field("origin", origin);
    j.Key("sections").BeginArray();
    for (const Section& s : kSections) {
      j.BeginObject().Field("name", s.name).Field("table", s.table);
      j.Key("params").BeginArray();
      const uint8_t* bytes = s.table == 0 ? record.Identification() : record.Table(s.table);
      for (const ListedParam& sp : SectionParams(record, s)) {
        const ParamSpec& p = *sp.spec;
        j.BeginObject().Field("name", p.name);
        if (IsNumericParam(p.type)) {
          j.Field("value", GetNumber(bytes, p));
        } else {
          j.Field("value", FormatParam(bytes, p));
        }
        j.Field("unit", p.unit).Field("in_range", sp.in_range);
        if (!IsTextParam(p.type)) j.Field("min", sp.min).Field("max", sp.max);
        if (!p.title.empty()) j.Field("title", p.title);
        j.EndObject();
      }
      j.EndArray().EndObject();
    }
    j.EndArray().EndObject();
    std::printf("%s\n", j.Text().c_str());
    return kExitOk;
  }
  std::printf("origin = %d\n", origin);
  for (const Section& s : kSections) {
    std::printf("\n[%s]\n", s.name);
    for (const ListedParam& sp : SectionParams(record, s)) {
      std::printf("%s\n", ListedParamLine(sp, false).c_str());
    }
  }
  return kExitOk;
}

// ---------------------------------------------------------------- new-config

int NewConfig(CliContext& c) {
  CommandArgs a;
  if (!ParseArgs(c, {"--force"}, {}, 1, a) || a.operands.size() != 1) {
    return UsageError("new-config FILE [--force]");
  }
  const std::string path = WithExtension(a.operands[0]);
  if (!MayWrite(path, a.Has("--force"))) return kExitFailed;
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  if (!WriteRecord(path, record)) return kExitFailed;
  std::printf("%s\n", path.c_str());
  return kExitOk;
}

// ---------------------------------------------------------------- diff-config

int DiffConfig(CliContext& c) {
  CommandArgs a;
  if (!ParseArgs(c, {"--json"}, {}, 1, a) || a.operands.size() != 1) {
    return UsageError("diff-config FILE [--json]");
  }
  ConfigFileRecord file;
  if (!LoadRecord(c, a.operands[0], file)) return kExitFailed;
  CliFlows flows(c);
  ConfigFileRecord controller;
  if (!ReadControllerRecord(c, flows, controller)) {
    ShowMessageWindow(c.host, kMessageExchange, "Параметры конфигурации не прочитаны", "");
    return kExitFailed;
  }
  const std::vector<ConfigDifference> diffs = CompareConfigurations(controller, file);
  if (a.Has("--json")) {
    JsonWriter j;
    j.BeginObject().Field("file", a.operands[0]).Field("equal", diffs.empty());
    j.Key("differences").BeginArray();
    for (const ConfigDifference& d : diffs) {
      j.BeginObject()
          .Field("table", d.table)
          .Field("name", d.name)
          .Field("controller", d.left)
          .Field("file", d.right)
          .EndObject();
    }
    j.EndArray().EndObject();
    std::printf("%s\n", j.Text().c_str());
  } else if (diffs.empty()) {
    std::printf("Конфигурация контроллера совпадает с файлом\n");
  } else {
    for (const ConfigDifference& d : diffs) {
      std::printf("Табл. %2d  %s: контроллер = %s; файл = %s\n", d.table, d.name.c_str(),
                  d.left.c_str(), d.right.c_str());
    }
  }
  return diffs.empty() ? kExitOk : kExitDiffer;
}

// ---------------------------------------------------------------- table-state

int TableState(CliContext& c) {
  CommandArgs a;
  if (!ParseArgs(c, {"--json"}, {}, 0, a)) return UsageError("table-state [--json]");
  if (!ReadTableFields(c.link, c.image, FieldRange{7, 0, 23}, &c.status, true)) {
    return kExitFailed;
  }
  TableWritePlan plan = TableWritePlan::FromImage(c.image);
  TableInfoModel window(c.host, plan);
  window.OnShow();
  if (a.Has("--json")) {
    JsonWriter j;
    j.BeginObject().Key("tables").BeginArray();
    for (const TableInfoModel::Row& row : window.rows) {
      j.BeginObject()
          .Field("table", row.table)
          .Field("name", TableName(row.table))
          .Field("destroyed", plan.destroyed[row.table] != 0)
          .Field("state", static_cast<int>(plan.destroyed[row.table]))
          .EndObject();
    }
    j.EndArray().EndObject();
    std::printf("%s\n", j.Text().c_str());
    return kExitOk;
  }
  size_t width = 0;
  for (const TableInfoModel::Row& row : window.rows)
    width = std::max(width, Utf8Length(row.caption));
  for (const TableInfoModel::Row& row : window.rows) {
    const std::string pad(width - Utf8Length(row.caption) + 2, ' ');
    std::printf("%s%s%s\n", row.caption.c_str(), pad.c_str(), row.destroyed_text.c_str());
  }
  return kExitOk;
}

}  // namespace

std::string IdentificationJson(const uint8_t* t0) {
  const IdentificationView v = DecodeIdentification(t0, true);
  JsonWriter j;
  j.BeginObject();
  for (const ParamSpec& p : TableParams(0)) j.Field(p.name, GetNumber(t0, p));
  j.Key("text").BeginObject();
  const std::pair<const char*, const IdentificationValue*> texts[] = {
      {"destroyed", &v.destroyed},
      {"type_code", &v.type_code},
      {"hardware_version", &v.hardware_version},
      {"software_version", &v.software_version},
      {"creation_date", &v.creation_date},
      {"byte_order", &v.byte_order},
      {"different_speeds", &v.different_speeds},
      {"address_fixed", &v.address_fixed},
      {"protocol_version", &v.protocol_version},
      {"modem_type", &v.modem_type},
  };
  for (const auto& [key, value] : texts) j.Field(key, value->text);
  j.EndObject().EndObject();
  return j.Text();
}

void AddConfigCommands(std::vector<CliCommand>& commands) {
  commands.push_back({"save-config", "save-config [FILE] [--force]", 0, -1, true, SaveConfig});
  commands.push_back({"write-config", kWriteUsage, 1, -1, true, WriteConfig});
  commands.push_back({"show-config", "show-config FILE [--json]", 1, -1, false, ShowConfig});
  commands.push_back({"new-config", "new-config FILE [--force]", 1, -1, false, NewConfig});
  commands.push_back({"diff-config", "diff-config FILE [--json]", 1, -1, true, DiffConfig});
  commands.push_back({"table-state", "table-state [--json]", 0, -1, true, TableState});
}

}  // namespace kvarta::cli
