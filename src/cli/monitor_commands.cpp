// command, history, diagnostics, clock, vrg-clocks and session: the
// controller's commands and its monitoring tables, as the desktop program's
// menus and windows give them, played from the command line.
#include <time.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <set>

#include "cli/cli_command.h"
#include "cli/cli_connection.h"
#include "cli/json_writer.h"
#include "link/table_layout.h"
#include "link/table_service.h"
#include "link/whole_table.h"
#include "monitor/clock_windows.h"
#include "monitor/command_history.h"
#include "monitor/command_panel.h"
#include "monitor/command_text.h"
#include "monitor/command_texts.h"
#include "monitor/diagnostics.h"
#include "monitor/monitor_session.h"
#include "monitor/session_record.h"
#include "monitor/stored_comm_model.h"
#include "platform/cp1251.h"
#include "platform/text_format.h"

namespace kvarta::cli {
namespace {

constexpr int kVrgTable = 9;
constexpr int kLinkTable = 3;
constexpr int kIdentificationTable = 0;

// --- the command's own options ---

// How many values an option takes: a flag none, kOptionalValue one value
// unless the next word is an option itself.
constexpr int kOptionalValue = -1;

struct CommandArgs {
  std::vector<std::string> operands;
  std::map<std::string, std::vector<std::string>> options;

  bool Has(const std::string& name) const { return options.count(name) != 0; }
  const std::vector<std::string>& Values(const std::string& name) const {
    static const std::vector<std::string> none;
    const auto it = options.find(name);
    return it == options.end() ? none : it->second;
  }
};

bool IsOption(const std::string& word) {
  return word.size() > 2 && word.compare(0, 2, "--") == 0;
}

// False after printing why: an option the command does not take, one given
// twice or without its values.
bool ParseArgs(const std::vector<std::string>& args, const std::map<std::string, int>& known,
               CommandArgs& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    std::string word = args[i];
    if (!IsOption(word)) {
      out.operands.push_back(word);
      continue;
    }
    std::vector<std::string> values;
    bool inline_value = false;
    if (const size_t eq = word.find('='); eq != std::string::npos) {
      values.push_back(word.substr(eq + 1));
      word = word.substr(0, eq);
      inline_value = true;
    }
    const auto spec = known.find(word);
    if (spec == known.end()) {
      PrintError("Неизвестный параметр " + word);
      return false;
    }
    if (out.Has(word)) {
      PrintError("Параметр " + word + " задан дважды");
      return false;
    }
    const int arity = spec->second;
    if (arity == 0 && inline_value) {
      PrintError("Параметр " + word + " задается без значения");
      return false;
    }
    if (arity == kOptionalValue) {
      if (!inline_value && i + 1 < args.size() && !IsOption(args[i + 1])) {
        values.push_back(args[++i]);
      }
    } else {
      while (static_cast<int>(values.size()) < arity) {
        if (i + 1 >= args.size() || IsOption(args[i + 1])) {
          PrintError("Не задано значение параметра " + word);
          return false;
        }
        values.push_back(args[++i]);
      }
      if (static_cast<int>(values.size()) != arity) {
        PrintError("Недопустимое значение параметра " + word);
        return false;
      }
    }
    out.options[word] = values;
  }
  return true;
}

// --- what the models are given ---

// The line of one command: opened after the command line was checked,
// closed (a call hung up) when the command ends.
class Line {
 public:
  explicit Line(CliContext& c) : c_(c) {}
  ~Line() {
    if (open_) c_.connector.Close();
  }
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  bool Open() {
    if (!OpenConnection(c_.connector, c_.line)) return false;
    c_.link.SetCredentials(Utf8ToCp1251(c_.options.password), Utf8ToCp1251(c_.options.code));
    open_ = true;
    return true;
  }

 private:
  CliContext& c_;
  bool open_ = false;
};

// The session as far as the tool has read the controller.
class CliMonitorSession : public MonitorSession {
 public:
  explicit CliMonitorSession(ConnectionKind kind) : kind_(kind) {}
  std::array<uint8_t, kVrgParamsSize> VrgParamsCopy() const override { return vrg_params; }
  int ServerCount() const override { return server_count; }
  std::string ServerLabel(int server) const override { return Format("Сервер %d", server + 1); }
  // The controller itself refuses what the credentials do not allow.
  bool WriteAccessGranted() const override { return true; }
  ConnectionKind Kind() const override { return kind_; }

  std::array<uint8_t, kVrgParamsSize> vrg_params{};
  int server_count = 1;

 private:
  ConnectionKind kind_;
};

// The windows, played: each command says what happens when one opens.
class CliMonitorDialogs : public MonitorDialogs {
 public:
  bool OpenCommData(CommDataModel&) override { return false; }  // periods come from the line
  int OpenStoredComm(StoredCommModel&) override { return StoredCommModel::kNothing; }
  void OpenOutoControl(OutoControlModel& m) override {
    if (on_outo_control) on_outo_control(m);
  }
  void OpenDt(DtModel& m) override {
    if (on_dt) on_dt(m);
  }
  void OpenSumDatePar(SumDateParModel& m) override {
    if (on_sum_date_par) on_sum_date_par(m);
  }
  void OpenSeansAudit(SeansAuditModel& m) override {
    if (on_seans_audit) on_seans_audit(m);
  }
  bool OpenNeedSeansWr(NeedSeansWrModel& m) override {
    m.OnChoose(recording_mode);
    m.OnAccept();
    return m.accepted();
  }
  std::optional<std::string> ChooseFileToOpen(const FileDialogSpec&) override {
    return std::nullopt;
  }
  // The save dialog chooses --save's file (or the proposed name) once; shown
  // again (the file was there and not to be replaced) it is cancelled.
  std::optional<std::string> ChooseFileToSave(const FileDialogSpec& spec) override {
    if (save_used) return std::nullopt;
    save_used = true;
    chosen = save_path.empty() ? spec.file_name : save_path;
    return chosen;
  }

  std::function<void(OutoControlModel&)> on_outo_control;
  std::function<void(DtModel&)> on_dt;
  std::function<void(SumDateParModel&)> on_sum_date_par;
  std::function<void(SeansAuditModel&)> on_seans_audit;
  int recording_mode = -1;
  std::string save_path;
  bool save_used = false;
  std::string chosen;
};

// A refreshing window's timer: the tool's loop ticks while it runs.
class CliTimer : public HostTimer {
 public:
  void Start() override { running = true; }
  void Stop() override { running = false; }
  bool running = false;
};

// StatusBar1 of the tool: printed with --verbose, and panel 2 kept, where
// the VRG clocks report a failed read.
class KeptStatus : public StatusBar {
 public:
  explicit KeptStatus(StatusBar& shown) : shown_(shown) {}
  void SetPanelText(int panel, const std::string& utf8) override {
    if (panel == 2) progress = utf8;
    shown_.SetPanelText(panel, utf8);
  }
  std::string progress;

 private:
  StatusBar& shown_;
};

// Waits ms, ending early at Ctrl-C.
void Pause(int ms) {
  for (int waited = 0; waited < ms && !CliHost::Interrupted(); waited += 10) {
    const timespec step{0, 10 * 1000 * 1000};
    nanosleep(&step, nullptr);
  }
}

void PrintLine(const std::string& line) {
  std::printf("%s\n", line.c_str());
}

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) PrintLine(line);
  std::fflush(stdout);
}

std::string WithoutLeadingBlank(const std::string& text) {
  return !text.empty() && text[0] == ' ' ? text.substr(1) : text;
}

// Label2's text as lines of the terminal.
std::string LabelText(const std::string& label) {
  std::string out = label;
  for (size_t at = out.find("\r\n"); at != std::string::npos; at = out.find("\r\n", at)) {
    out.replace(at, 2, "\n");
  }
  return out;
}

bool ReadVrgParams(CliContext& c, CliMonitorSession& session) {
  for (const FieldRange& range : ChunkTable(kVrgTable, false)) {
    if (!ReadTableFields(c.link, c.image, range, &c.status, true)) return false;
  }
  std::memcpy(session.vrg_params.data(), c.image.Table(kVrgTable), kVrgParamsSize);
  return true;
}

std::string HistoryPath(const CliContext& c) {
  return c.store.folders().ini + "/" + kHistoryFileName;
}

bool SaveHistory(const CliContext& c, const CommandHistory& history) {
  if (history.Save(HistoryPath(c))) return true;
  PrintError("Не удалось записать историю команд: " + HistoryPath(c));
  return false;
}

// --- command ---

// The option values as the words of the command text the core reads.
void TargetWords(const CommandArgs& a, std::string& text) {
  const std::pair<const char*, const char*> targets[] = {
      {"--server", "servers"}, {"--vrg", "vrgs"}, {"--run", "runs"}};
  for (const auto& [option, all] : targets) {
    if (!a.Has(option)) continue;
    const std::string& value = a.Values(option)[0];
    text += value == "all" ? Format(" all %s", all) : Format(" %s %s", option + 2, value.c_str());
  }
  for (const char* period : {"--hours", "--days"}) {
    if (!a.Has(period)) continue;
    const auto& v = a.Values(period);
    text += Format(" %s %s..%s", period + 2, v[0].c_str(), v[1].c_str());
  }
}

CommandTargets WidestTargets() {
  CommandTargets t;
  t.vrgs.assign(kMaxVrgs, VrgEntry{0, kMaxRuns});
  t.server_count = 2;
  return t;
}

int Command(CliContext& c) {
  const char* usage =
      "command CODE [--server 1|2|all] [--vrg N|all] [--run N|all] [--hours FROM TO | --days "
      "FROM TO] [--yes]";
  CommandArgs a;
  if (!ParseArgs(c.args,
                 {{"--server", 1},
                  {"--vrg", 1},
                  {"--run", 1},
                  {"--hours", 2},
                  {"--days", 2},
                  {"--yes", 0}},
                 a) ||
      a.operands.size() != 1) {
    return UsageError(usage);
  }
  if (a.Has("--hours") && a.Has("--days")) {
    PrintError("Период задается либо в часах (--hours), либо в сутках (--days)");
    return UsageError(usage);
  }
  long code_value = 0;
  if (!ParseNumber(a.operands[0], 0, 255, code_value) || !KnownCommandCode(code_value)) {
    PrintError("Нет такой команды: " + a.operands[0]);
    return UsageError(usage);
  }
  // What the code's menu offers, and nothing else.
  const CommandChoices offered = ChoicesOf(static_cast<int>(code_value));
  const struct {
    const char* option;
    bool offered;
    const char* missing;
  } choices[] = {
      {"--server", offered.server, "Не задан сервер (--server N|all)"},
      {"--vrg", offered.vrg, "Не задан ВРГ (--vrg N|all)"},
      {"--run", offered.run, "Не задана нитка (--run N|all)"},
      {"--hours", offered.period == CommandPeriod::kHours, nullptr},
      {"--days", offered.period == CommandPeriod::kDays, nullptr},
  };
  for (const auto& choice : choices) {
    if (a.Has(choice.option) && !choice.offered) {
      PrintError(Format("Команда %ld не принимает параметр %s", code_value, choice.option));
      return UsageError(usage);
    }
    if (!a.Has(choice.option) && choice.offered && choice.missing) {
      PrintError(choice.missing);
      return UsageError(usage);
    }
  }
  std::string text = a.operands[0];
  TargetWords(a, text);
  CommandFields fields{};
  std::string error;
  // The words first, against any controller: nothing is opened for a typo.
  if (!ParseCommandText(text, WidestTargets(), fields, error)) {
    PrintError(error);
    return UsageError(usage);
  }
  const uint8_t code = fields[0];
  const bool yes = a.Has("--yes");
  if (code == kPayTrafficCode && !yes && !c.options.interactive) {
    PrintError("Оплата трафика подтверждается параметром --yes");
    return UsageError(usage);
  }

  Line line(c);
  if (!line.Open()) return kExitFailed;
  CliMonitorSession session(c.line.kind);
  if (offered.vrg && !ReadVrgParams(c, session)) return kExitFailed;
  if (offered.server) {
    if (!ReadTableFields(c.link, c.image, FieldRange{kLinkTable, layout::t3::kServers, 1},
                         &c.status, true)) {
      return kExitFailed;
    }
    session.server_count = *c.image.Field(kLinkTable, layout::t3::kServers);
  }
  // Now the choice as the menu of this controller offers it.
  if (!ParseCommandText(text, TargetsOf(session), fields, error)) {
    PrintError(error);
    return UsageError(usage);
  }

  CommandHistory history;
  history.Load(HistoryPath(c));
  RememberedPeriods periods = RememberedPeriods::Today(c.link.clock.LocalNow());
  CliMonitorDialogs dialogs;
  CommandPanel panel(c.link, &c.status, history, periods, session, dialogs);
  c.host.answer_questions_yes = yes;
  const CommandOutcome outcome = panel.RunCommand(fields);
  c.host.answer_questions_yes = false;
  if (code == kRestartCode) return outcome == CommandOutcome::kDelivered ? kExitOk : kExitFailed;
  if (outcome == CommandOutcome::kCancelled) return kExitFailed;
  // The command stays in the history whether or not it was delivered.
  PrintLine(LabelText(panel.label));
  const bool saved = SaveHistory(c, history);
  return outcome == CommandOutcome::kDelivered && saved ? kExitOk : kExitFailed;
}

// --- history ---

void PrintHistoryJson(const CommandHistory& history) {
  JsonWriter j;
  j.BeginObject();
  j.Field("count", history.Count());
  if (history.Empty()) {
    j.Key("current").Null();
  } else {
    j.Field("current", history.CurrentIndex() + 1);
  }
  j.Key("entries").BeginArray();
  for (int i = 0; i < history.Count(); ++i) {
    const CommandRecord record = history.Entry(i);
    const CommandTexts t = record.Texts();
    j.BeginObject();
    j.Field("number", i + 1);
    j.Field("current", i == history.CurrentIndex());
    j.Field("short_name", t.short_name);
    j.Field("second_line", t.second_line);
    j.Field("target", t.target);
    j.Field("label", LabelText(CommandLabel(t)));
    j.Field("table", static_cast<int>(record.Table()));
    j.Field("first_field", static_cast<int>(record.FirstField()));
    j.Key("fields").BeginArray();
    const CommandFields f = record.Fields();
    for (int k = 0; k < record.FieldCount() && k < static_cast<int>(f.size()); ++k) {
      j.Number(f[static_cast<size_t>(k)]);
    }
    j.EndArray();
    j.EndObject();
  }
  j.EndArray();
  j.EndObject();
  PrintLine(j.Text());
}

// The rows of the history window; "*" marks the current entry.
void PrintHistoryRows(CliContext& c, CommandHistory& history) {
  StoredCommModel window(c.host, history, 0, 0);
  window.OnShow();
  bool current = false;
  for (size_t r = 0; r < window.rows.size(); ++r) {
    const StoredCommRow& row = window.rows[r];
    if (!row.number.empty()) current = static_cast<int>(r) == window.selected_row;
    std::string line = current ? "*" : " ";
    const std::string number = WithoutLeadingBlank(row.number);
    line += Format("%3s  ", number.c_str());
    line += WithoutLeadingBlank(row.name);
    if (!row.target.empty()) line += "  |  " + WithoutLeadingBlank(row.target);
    PrintLine(line);
  }
}

int History(CliContext& c) {
  const char* usage = "history [--json] | history repeat [N] | history clear";
  CommandArgs a;
  if (!ParseArgs(c.args, {{"--json", 0}}, a)) return UsageError(usage);
  CommandHistory history;
  history.Load(HistoryPath(c));
  const std::string action = a.operands.empty() ? "" : a.operands[0];
  if (action.empty()) {
    if (a.operands.size() > 1) return UsageError(usage);
    if (a.Has("--json")) {
      PrintHistoryJson(history);
    } else if (history.Empty()) {
      PrintError("История команд пуста");
    } else {
      PrintHistoryRows(c, history);
    }
    return kExitOk;
  }
  if (a.Has("--json")) return UsageError(usage);
  if (action == "clear") {
    if (a.operands.size() != 1) return UsageError(usage);
    history.Clear();
    return SaveHistory(c, history) ? kExitOk : kExitFailed;
  }
  if (action != "repeat" || a.operands.size() > 2) return UsageError(usage);
  if (history.Empty()) {
    PrintError("История команд пуста");
    return kExitFailed;
  }
  long number = history.CurrentIndex() + 1;
  if (a.operands.size() == 2 && !ParseNumber(a.operands[1], 1, history.Count(), number)) {
    PrintError("Нет такой команды в истории: " + a.operands[1]);
    return UsageError(usage);
  }
  history.SetCurrent(static_cast<int>(number - 1));
  if (!SaveHistory(c, history)) return kExitFailed;
  PrintLine(LabelText(CommandLabel(history.Current().Texts())));
  Line line(c);
  if (!line.Open()) return kExitFailed;
  CliMonitorSession session(c.line.kind);
  RememberedPeriods periods = RememberedPeriods::Today(c.link.clock.LocalNow());
  CliMonitorDialogs dialogs;
  CommandPanel panel(c.link, &c.status, history, periods, session, dialogs);
  return panel.OnRepeatClick() == CommandOutcome::kDelivered ? kExitOk : kExitFailed;
}

// --- diagnostics ---

void PrintDiagnostics(const std::vector<std::string>& lines, bool json) {
  if (!json) {
    PrintLines(lines);
    return;
  }
  JsonWriter j;
  j.BeginObject().Key("lines").BeginArray();
  for (const std::string& line : lines) j.String(line);
  j.EndArray().EndObject();
  PrintLine(j.Text());
  std::fflush(stdout);
}

// A refreshing window's tick after ms, until Ctrl-C or until the window
// closed itself (a lost modem link); after_read runs after each read.
// False when the window closed itself.
template <typename Model, typename AfterRead>
bool Watch(Model& model, CliTimer& timer, int ms, AfterRead after_read) {
  model.OnRefreshSwitch();
  while (timer.running && !CliHost::Interrupted()) {
    Pause(ms);
    if (CliHost::Interrupted()) break;
    model.OnTimer();
    if (model.closed()) return false;
    after_read();
  }
  return true;
}

void LostLink(CliContext& c) {
  PrintError(FormatResultMessage(c.link));
}

int Diagnostics(CliContext& c) {
  CommandArgs a;
  if (!ParseArgs(c.args, {{"--watch", 0}, {"--json", 0}}, a) || !a.operands.empty()) {
    return UsageError("diagnostics [--watch] [--json]");
  }
  const bool json = a.Has("--json");
  Line line(c);
  if (!line.Open()) return kExitFailed;
  CliMonitorDialogs dialogs;
  CliTimer timer;
  int rc = kExitOk;
  dialogs.on_outo_control = [&](OutoControlModel& m) {
    m.SetTimer(&timer);
    m.OnShow();
    PrintDiagnostics(m.lines, json);
    if (!a.Has("--watch")) return;
    int shown = m.decode_count();
    const bool kept = Watch(m, timer, OutoControlModel::kTimerMs, [&] {
      // Printed again only when the 140 bytes changed.
      if (m.decode_count() == shown) return;
      shown = m.decode_count();
      if (!json) PrintLine("");
      PrintDiagnostics(m.lines, json);
    });
    if (!kept) {
      LostLink(c);
      rc = kExitFailed;
    }
  };
  if (!ShowDiagnostics(c.link, c.image, &c.status, dialogs)) return kExitFailed;
  return rc;
}

// --- clock ---

int ClockCommand(CliContext& c) {
  CommandArgs a;
  if (!ParseArgs(c.args, {{"--json", 0}}, a) || !a.operands.empty()) {
    return UsageError("clock [--json]");
  }
  Line line(c);
  if (!line.Open()) return kExitFailed;
  CliMonitorDialogs dialogs;
  dialogs.on_dt = [&](DtModel& m) {
    m.OnShow();
    const ShortDateTime ctl = ShortDateTime::FromBytes(c.image.Table(2));
    const ShortDateTime pc = CalendarToShortDateTime(c.link.last_exchange_time);
    // How far the controller's clock runs ahead of the PC's.
    const int32_t deviation = Deviation(ClockSeconds(ctl), ClockSeconds(pc));
    if (a.Has("--json")) {
      JsonWriter j;
      j.BeginObject();
      j.Key("controller").BeginObject();
      j.Field("date", m.controller_date).Field("time", m.controller_time);
      j.Field("date_matches_pc", m.controller_date_color == kColorBlack);
      j.Field("time_matches_pc", m.controller_time_color == kColorBlack);
      j.EndObject();
      j.Key("pc").BeginObject().Field("date", m.pc_date).Field("time", m.pc_time).EndObject();
      j.Key("deviation_s");
      if (deviation == kUnknownDeviation) {
        j.Null();
      } else {
        j.Number(deviation);
      }
      j.EndObject();
      PrintLine(j.Text());
      return;
    }
    PrintLine("               Дата      Время");
    PrintLine("В контроллере  " + m.controller_date + "  " + m.controller_time);
    PrintLine("В ЭВМ          " + m.pc_date + "  " + m.pc_time);
    PrintLine("Отклонение от ЭВМ, с: " + FormatDeviation(deviation));
  };
  return ShowControllerClock(c.link, c.image, &c.status, dialogs) ? kExitOk : kExitFailed;
}

// --- vrg-clocks ---

std::vector<const ClockRowView*> ShownRows(const SumDateParModel& m) {
  std::vector<const ClockRowView*> rows = {&m.pc_row, &m.controller_row};
  for (const ClockRowView& row : m.vrg_rows) {
    if (!row.device.empty()) rows.push_back(&row);
  }
  return rows;
}

// A deviation cell ("", "0", "+7", "-5") as a number.
std::optional<long> DeviationValue(const std::string& cell) {
  const std::string digits = !cell.empty() && cell[0] == '+' ? cell.substr(1) : cell;
  long value = 0;
  if (!ParseNumber(digits, INT32_MIN, INT32_MAX, value)) return std::nullopt;
  return value;
}

void PrintVrgClocks(const SumDateParModel& m, bool json) {
  if (json) {
    JsonWriter j;
    j.BeginObject().Key("rows").BeginArray();
    for (const ClockRowView* row : ShownRows(m)) {
      j.BeginObject();
      j.Field("device", WithoutLeadingBlank(row->device));
      j.Key("address");
      long address = 0;
      if (ParseNumber(row->address, 0, 255, address)) {
        j.Number(address);
      } else {
        j.Null();
      }
      j.Field("date_time", row->date_time);
      j.Key("deviation_s");
      if (const std::optional<long> d = DeviationValue(row->deviation)) {
        j.Number(*d);
      } else {
        j.Null();
      }
      j.EndObject();
    }
    j.EndArray().EndObject();
    PrintLine(j.Text());
  } else {
    PrintLine("Устройство\tАдрес ВРГ\tДата и время\tОтклонение от контроллера, с");
    for (const ClockRowView* row : ShownRows(m)) {
      PrintLine(WithoutLeadingBlank(row->device) + "\t" + row->address + "\t" + row->date_time +
                "\t" + row->deviation);
    }
  }
  std::fflush(stdout);
}

int VrgClocks(CliContext& c) {
  CommandArgs a;
  if (!ParseArgs(c.args, {{"--watch", 0}, {"--json", 0}}, a) || !a.operands.empty()) {
    return UsageError("vrg-clocks [--watch] [--json]");
  }
  const bool json = a.Has("--json");
  Line line(c);
  if (!line.Open()) return kExitFailed;
  CliMonitorSession session(c.line.kind);
  if (!ReadVrgParams(c, session)) return kExitFailed;
  KeptStatus status(c.status);
  CliMonitorDialogs dialogs;
  CliTimer timer;
  int rc = kExitOk;
  // A read the window could not make is told as its status panel tells it.
  const auto report = [&] {
    if (status.progress.empty()) return true;
    PrintError(status.progress);
    return false;
  };
  dialogs.on_sum_date_par = [&](SumDateParModel& m) {
    m.SetTimer(&timer);
    m.OnShow();
    if (m.closed()) {
      LostLink(c);
      rc = kExitFailed;
      return;
    }
    const bool first_read = report();
    if (!a.Has("--watch")) {
      if (first_read) {
        PrintVrgClocks(m, json);
      } else {
        rc = kExitFailed;
      }
      return;
    }
    if (first_read) PrintVrgClocks(m, json);
    const bool kept = Watch(m, timer, SumDateParModel::kTimerMs, [&] {
      if (!report()) return;
      if (!json) PrintLine("");
      PrintVrgClocks(m, json);
    });
    if (!kept) {
      LostLink(c);
      rc = kExitFailed;
    }
  };
  ShowVrgClocks(c.link, c.image, &status, session.vrg_params, dialogs);
  return rc;
}

// --- session ---

void PrintViewer(SeansAuditModel& viewer, bool hex) {
  if (hex) viewer.OnSwitchView();
  PrintLines(viewer.lines);
  PrintLine(viewer.free_label);
  std::fflush(stdout);
}

// What the proposed file name is made of: table 0 and the name and address
// of table 3, which the desktop program has read at start-up.
bool ReadNaming(CliContext& c) {
  if (!ReadTableFields(c.link, c.image, FieldRange{kIdentificationTable, 0, 18}, &c.status, true)) {
    return false;
  }
  for (const FieldRange& range : ChunkTable(kLinkTable, false)) {
    if (!ReadTableFields(c.link, c.image, range, &c.status, true)) return false;
  }
  // The name's last byte is its terminator.
  *c.image.Field(kLinkTable, layout::t3::kNameTerminator) = 0;
  return true;
}

int SessionRead(CliContext& c, const CommandArgs& a) {
  const bool save = a.Has("--save");
  Line line(c);
  if (!line.Open()) return kExitFailed;
  std::string text;
  switch (ReadSessionRecord(c.link, c.image, &c.status, text)) {
    case SessionReadResult::kFailed:
      return kExitFailed;
    case SessionReadResult::kEmpty:
      return kExitOk;  // the message has said so
    case SessionReadResult::kText:
      break;
  }
  const LocalDateTime read_time = c.link.clock.LocalNow();
  CliMonitorDialogs dialogs;
  if (save) {
    const auto& values = a.Values("--save");
    if (!values.empty()) dialogs.save_path = values[0];
    if (dialogs.save_path.empty() && !ReadNaming(c)) return kExitFailed;
  }
  SeansAuditModel viewer(c.host, dialogs, text, read_time, c.store.folders().session,
                         SessionFileNaming::FromImage(c.image));
  viewer.OnShow();
  PrintViewer(viewer, a.Has("--hex"));
  if (!save) return kExitOk;
  c.host.answer_questions_yes = a.Has("--yes");
  const bool saved = viewer.OnSave();
  c.host.answer_questions_yes = false;
  if (!saved) {
    PrintError("Содержание сеанса связи не сохранено");
    return kExitFailed;
  }
  // The viewer gives a name without an extension ".txt", as it wrote it.
  std::string path = dialogs.chosen;
  const size_t slash = path.find_last_of('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = base.find_last_of('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == base.size()) path += ".txt";
  PrintError("Сохранено в файле " + path);
  return kExitOk;
}

int SessionView(CliContext& c, const CommandArgs& a) {
  std::string text;
  if (!LoadSessionFile(c.host, a.operands[1], text)) return kExitFailed;
  CliMonitorDialogs dialogs;
  SeansAuditModel viewer(c.host, dialogs, text, a.operands[1], c.store.folders().session);
  viewer.OnShow();
  PrintViewer(viewer, a.Has("--hex"));
  return kExitOk;
}

int SessionMode(CliContext& c, const CommandArgs& a) {
  long mode = 0;
  if (!ParseNumber(a.operands[1], 0, 2, mode)) {
    PrintError("Недопустимое значение: " + a.operands[1] + " (0, 1 или 2)");
    return kExitUsage;
  }
  Line line(c);
  if (!line.Open()) return kExitFailed;
  CliMonitorDialogs dialogs;
  dialogs.recording_mode = static_cast<int>(mode);
  if (!SetSessionRecordingMode(c.link, c.image, &c.status, dialogs)) return kExitFailed;
  uint8_t chosen = static_cast<uint8_t>(mode);
  NeedSeansWrModel texts(c.host, chosen);
  texts.OnShow();
  PrintLine(std::string(NeedSeansWrModel::kCaption) + ":" + texts.items[static_cast<size_t>(mode)]);
  return kExitOk;
}

int SessionClear(CliContext& c, const CommandArgs& a) {
  if (!a.Has("--yes") && !c.options.interactive) {
    PrintError("Очистка буфера подтверждается параметром --yes");
    return kExitUsage;
  }
  Line line(c);
  if (!line.Open()) return kExitFailed;
  c.host.answer_questions_yes = a.Has("--yes");
  const bool cleared = ClearSessionRecord(c.link, c.image, &c.status);
  c.host.answer_questions_yes = false;
  return cleared ? kExitOk : kExitFailed;
}

int Session(CliContext& c) {
  const char* usage =
      "session read [--save [FILE]] [--hex] [--yes] | session view FILE [--hex] | session mode "
      "0|1|2 | session clear --yes";
  CommandArgs a;
  if (!ParseArgs(c.args, {{"--save", kOptionalValue}, {"--hex", 0}, {"--yes", 0}}, a) ||
      a.operands.empty()) {
    return UsageError(usage);
  }
  const std::string& action = a.operands[0];
  const auto only = [&a](std::initializer_list<const char*> allowed) {
    for (const auto& [name, values] : a.options) {
      bool ok = false;
      for (const char* n : allowed) ok = ok || name == n;
      if (!ok) return false;
    }
    return true;
  };
  if (action == "read" && a.operands.size() == 1 && only({"--save", "--hex", "--yes"})) {
    return SessionRead(c, a);
  }
  if (action == "view" && a.operands.size() == 2 && only({"--hex"})) return SessionView(c, a);
  if (action == "mode" && a.operands.size() == 2 && only({})) {
    const int rc = SessionMode(c, a);
    return rc == kExitUsage ? UsageError(usage) : rc;
  }
  if (action == "clear" && a.operands.size() == 1 && only({"--yes"})) {
    const int rc = SessionClear(c, a);
    return rc == kExitUsage ? UsageError(usage) : rc;
  }
  return UsageError(usage);
}

}  // namespace

void AddMonitorCommands(std::vector<CliCommand>& commands) {
  // Each opens the line itself once its own command line has been checked.
  commands.push_back({"command", "command CODE ...", 1, -1, false, Command});
  commands.push_back(
      {"history", "history [--json] | history repeat [N] | history clear", 0, -1, false, History});
  commands.push_back({"diagnostics", "diagnostics [--watch] [--json]", 0, -1, false, Diagnostics});
  commands.push_back({"clock", "clock [--json]", 0, -1, false, ClockCommand});
  commands.push_back({"vrg-clocks", "vrg-clocks [--watch] [--json]", 0, -1, false, VrgClocks});
  commands.push_back({"session", "session read|view|mode|clear ...", 1, -1, false, Session});
}

}  // namespace kvarta::cli
