// show and set: the parameter tables by the names of the table description.
// A table is read as its menu action reads it, and set changes it through
// its window's model, so that the tool checks, refuses and writes exactly as
// the program does.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>

#include "cli/cli_command.h"
#include "cli/cli_connection.h"
#include "cli/json_writer.h"
#include "config/con_vu_model.h"
#include "config/configuration_session.h"
#include "config/ini_modem_model.h"
#include "config/inter_par_model.h"
#include "config/modem_ans_time_model.h"
#include "config/param_menus.h"
#include "config/vrg_par_model.h"
#include "link/message_window.h"
#include "link/table_layout.h"
#include "link/whole_table.h"
#include "platform/baud_rates.h"
#include "platform/cp1251.h"
#include "platform/text_format.h"

namespace kvarta::cli {
namespace {

constexpr int kShowTables[] = {0, 1, 3, 7, 9, 20, 21, 22};
constexpr int kSetTables[] = {3, 9, 20, 21, 22};
constexpr int kMaxDigits = 18;
const char kOnlyTwoServers[] = "%s: только при двух серверах (servers = 2)";
const char kOutOfRange[] = "%s = %s: вне допустимого диапазона %s";

bool Listed(std::span<const int> tables, int t) {
  return std::find(tables.begin(), tables.end(), t) != tables.end();
}

std::string TableList(std::span<const int> tables) {
  std::string out;
  for (int t : tables) out += (out.empty() ? "" : ", ") + std::to_string(t);
  return out;
}

bool ParseTableOperand(const std::string& text, std::span<const int> tables, int& t) {
  long v = 0;
  if (!ParseNumber(text, 0, kTableCount - 1, v) || !Listed(tables, static_cast<int>(v))) {
    PrintError(
        Format("Нет такой таблицы: %s (таблицы %s)", text.c_str(), TableList(tables).c_str()));
    return false;
  }
  t = static_cast<int>(v);
  return true;
}

bool IsBoolean(const ParamSpec& p) {
  return p.type == ParamType::kBit || (p.type == ParamType::kUnsigned && p.min == 0 && p.max == 1);
}

bool IsInterface(const ParamSpec& p) {
  return p.table == 9 && p.name.size() > 10 && p.name.ends_with(".interface");
}

std::string RangeOf(const ParamSpec& p) {
  return Format("(%lld...%lld)", static_cast<long long>(p.min), static_cast<long long>(p.max));
}

// ---- NAME=VALUE ----

struct Assignment {
  const ParamSpec* param = nullptr;
  std::string value;   // as given
  std::string text;    // what goes into the window: the text, or the number in decimal
  int64_t number = 0;  // numbers, booleans, interface (0 or 2), rates in bit/s
};

// Everything of the table's description but what other windows edit.
bool Settable(const ParamSpec& p) {
  return p.name != "recording_mode";
}

bool ParseDigits(const std::string& s, int64_t& v) {
  if (s.empty() || s.size() > kMaxDigits) return false;
  v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  return true;
}

bool ParseAssignment(int t, const std::string& word, Assignment& a, std::string& error) {
  const size_t eq = word.find('=');
  if (eq == std::string::npos || eq == 0) {
    error = "Параметр задается как ИМЯ=ЗНАЧЕНИЕ: " + word;
    return false;
  }
  const std::string name = word.substr(0, eq);
  a.value = word.substr(eq + 1);
  a.param = FindParam(t, name);
  if (a.param == nullptr || !Settable(*a.param)) {
    error = Format("Неизвестный параметр таблицы %d: %s", t, name.c_str());
    return false;
  }
  const ParamSpec& p = *a.param;
  const std::string bad = "Недопустимое значение параметра " + name + ": " + a.value;
  if (IsInterface(p)) {
    if (a.value == "rs232" || a.value == "0") {
      a.number = layout::t9::kInterfaceRs232;
    } else if (a.value == "bell202" || a.value == "2") {
      a.number = layout::t9::kInterfaceBell202;
    } else {
      error = bad + " (rs232 или bell202)";
      return false;
    }
  } else if (IsBoolean(p)) {
    if (a.value != "0" && a.value != "1") {
      error = bad + " (0 или 1)";
      return false;
    }
    a.number = a.value == "1";
  } else if (p.type == ParamType::kText) {
    if (static_cast<int64_t>(Utf8Chars(a.value)) > p.max) {
      error = Format("%s (не более %lld символов)", bad.c_str(), static_cast<long long>(p.max));
      return false;
    }
    if (p.name == "connection_type" && !InterParModel::ConnectionTypeAllowed(a.value)) {
      error = bad + " (цифры, латинские буквы и _)";
      return false;
    }
    a.text = a.value;
    return true;
  } else if (!ParseDigits(a.value, a.number)) {
    error = bad;
    return false;
  }
  a.text = std::to_string(a.number);
  return true;
}

bool ParseAssignments(int t, const std::vector<std::string>& words, std::vector<Assignment>& out) {
  for (const std::string& word : words) {
    Assignment a;
    std::string error;
    if (!ParseAssignment(t, word, a, error)) {
      PrintError(error);
      return false;
    }
    for (const Assignment& earlier : out) {
      if (earlier.param == a.param) {
        PrintError("Параметр задан дважды: " + a.param->name);
        return false;
      }
    }
    out.push_back(a);
  }
  return true;
}

// ---- the windows, worked by the tool ----

// Messages of the windows as they are shown, kept for --json.
class RecordingHost : public Host {
 public:
  explicit RecordingHost(Host& inner) : inner_(inner) {}
  void PumpMessages() override { inner_.PumpMessages(); }
  bool TakeEscape() override { return inner_.TakeEscape(); }
  void SetCursor(CursorShape shape) override { inner_.SetCursor(shape); }
  bool ShowMessage(const MessageWindowModel& w) override {
    for (const std::string* line : {&w.caption, &w.line1, &w.line2}) {
      if (!line->empty()) lines.push_back(*line);
    }
    return inner_.ShowMessage(w);
  }

  std::vector<std::string> lines;

 private:
  Host& inner_;
};

class ToolDialogs : public ParamDialogOpener {
 public:
  ToolDialogs(std::vector<Assignment> assignments) : assignments_(std::move(assignments)) {}

  void OpenVrgPar(VrgParModel& m) override;
  void OpenVrgConf(VrgConfModel& m) override;
  void OpenConVu(ConVuModel& m) override;
  void OpenDataTiming(DataTimingModel& m) override;
  void OpenModemAnsTime(ModemAnsTimeModel& m) override;
  void OpenIniModem(IniModemModel& m) override;
  void OpenInterPar(InterParModel& m) override;
  void OpenConfig(ConfigModel&) override {}

  // What the tool says in addition to the windows' messages.
  std::vector<std::string> notes;
  // A value did not get into its window, or the window refused it.
  bool refused = false;

 private:
  const Assignment* Find(const std::string& name) const {
    for (const Assignment& a : assignments_) {
      if (a.param->name == name) return &a;
    }
    return nullptr;
  }
  std::vector<const Assignment*> WithPrefix(const std::string& prefix) const {
    std::vector<const Assignment*> out;
    for (const Assignment& a : assignments_) {
      if (a.param->name.rfind(prefix, 0) == 0) out.push_back(&a);
    }
    return out;
  }
  void Refuse(const std::string& line) {
    notes.push_back(line);
    refused = true;
  }
  void OutOfRange(const Assignment& a, const std::string& range) {
    Refuse(Format(kOutOfRange, a.param->name.c_str(), a.value.c_str(), range.c_str()));
  }
  // A box of max characters; a number that does not fit is out of any range.
  void FillBox(EditControl& box, const Assignment& a) {
    if (box.max_chars > 0 && Utf8Chars(a.text) > box.max_chars)
      return OutOfRange(a, RangeOf(*a.param));
    box.SetText(a.text);
  }
  // The item reading the value; a value the list lacks cannot be chosen.
  int Item(const ComboControl& list, const Assignment& a) {
    const int i = list.Find(a.text);
    if (i < 0) OutOfRange(a, RangeOf(*a.param));
    return i;
  }
  // The window's check failed: it has said why; the tool names the value.
  void Failed(const std::string& line) {
    if (!line.empty()) notes.push_back(line);
    refused = true;
  }

  std::vector<Assignment> assignments_;
  std::vector<const Assignment*> pending_;  // of the VRG record or schedule being worked
};

void ToolDialogs::OpenConVu(ConVuModel& m) {
  if (const Assignment* a = Find("servers")) {
    if (const int i = Item(m.servers, *a); i >= 0) m.OnServersChange(i);
  }
  if (const Assignment* a = Find("address")) {
    if (Utf8Chars(a->text) > m.address_text.max_chars) {
      OutOfRange(*a, RangeOf(*a->param));
    } else {
      m.OnAddressText(a->text);
    }
  }
  if (const Assignment* a = Find("answer_preambles")) FillBox(m.preambles, *a);
  if (const Assignment* a = Find("delivery_attempts")) {
    if (const int i = Item(m.attempts, *a); i >= 0) m.OnAttemptsChange(i);
  }
  if (const Assignment* a = Find("answer_wait_s")) FillBox(m.answer_wait, *a);
  if (const Assignment* a = Find("name")) m.name.SetText(a->text);
  if (const Assignment* a = Find("send_server1")) m.OnServer1Check(a->number != 0);
  if (const Assignment* a = Find("send_server2")) {
    if (!m.send_server2_enabled) {
      Refuse(Format(kOnlyTwoServers, "send_server2"));
    } else {
      m.OnServer2Check(a->number != 0);
    }
  }
  if (const Assignment* a = Find("use_schedule")) m.OnScheduleCheck(a->number != 0);
  pending_ = WithPrefix("schedule.");
  if (!refused && !pending_.empty()) {
    if (!m.schedule_button_enabled) {
      Refuse("schedule: расписание не используется (use_schedule = 0)");
    } else {
      m.OnSchedule();
    }
  }
  if (refused) return m.OnCancel();
  m.OnAccept();
  if (m.closed()) return;
  static const std::pair<ConVuModel::Control, const char*> kNames[] = {
      {ConVuModel::kAddress, "address"},
      {ConVuModel::kPreambles, "answer_preambles"},
      {ConVuModel::kAttempts, "delivery_attempts"},
      {ConVuModel::kServers, "servers"},
      {ConVuModel::kAnswerWait, "answer_wait_s"}};
  std::string line;
  for (const auto& [control, name] : kNames) {
    if (m.focus == control) line = std::string(name) + " " + RangeOf(Param(3, name));
  }
  Failed(line);
  m.OnCancel();
}

void ToolDialogs::OpenDataTiming(DataTimingModel& m) {
  for (const Assignment* a : pending_) {
    // schedule.H.server1 | server2 | modem
    const std::string& name = a->param->name;
    const size_t dot = name.find('.', 9);
    const int hour = std::stoi(name.substr(9, dot - 9));
    const std::string kind = name.substr(dot + 1);
    const DataTimingModel::Grid grid = kind == "server1"   ? DataTimingModel::kServer1
                                       : kind == "server2" ? DataTimingModel::kServer2
                                                           : DataTimingModel::kModem;
    if (grid == DataTimingModel::kServer2 && !m.server2_enabled) {
      Refuse(Format(kOnlyTwoServers, name.c_str()));
      continue;
    }
    const std::string wanted = " " + a->text;
    // A click moves a cell on by one value: at most three reach any of them.
    for (int clicks = 0; clicks < 3 && m.cells[grid][hour] != wanted; ++clicks) {
      m.OnCellClick(grid, hour);
    }
    if (m.cells[grid][hour] != wanted) OutOfRange(*a, RangeOf(*a->param));
  }
  if (refused) return m.OnCancel();
  m.OnAccept();
}

void ToolDialogs::OpenVrgPar(VrgParModel& m) {
  if (const Assignment* a = Find("vrg_count")) {
    if (const int i = Item(m.vrg_count, *a); i >= 0) m.OnVrgCountChange(i);
  }
  for (int k = 1; k <= layout::t9::kMaxVrgs && !refused; ++k) {
    pending_ = WithPrefix(Format("vrg%d.", k));
    if (pending_.empty()) continue;
    if (k > static_cast<int>(m.rows.size())) {
      Refuse(Format("vrg%d: ВРГ № %d не входит в количество ВРГ (vrg_count = %zu)", k, k,
                    m.rows.size()));
      break;
    }
    m.OnEdit(k - 1);
  }
  if (const Assignment* a = Find("vrg_speed"); a && !refused) {
    if (!m.speed.enabled) {
      Refuse("vrg_speed: скорость задается только при ВРГ с интерфейсом RS232");
    } else if (const int i = m.speed.Find(a->text); i < 0) {
      Refuse(Format("vrg_speed = %s: скорость не поддерживается контроллером", a->value.c_str()));
    } else {
      m.OnSpeedChange(i);
    }
  }
  if (const Assignment* a = Find("vrg_preambles")) FillBox(m.preambles, *a);
  if (const Assignment* a = Find("vrg_answer_wait_ds")) FillBox(m.answer_wait, *a);
  if (const Assignment* a = Find("failed_exchanges")) {
    if (const int i = Item(m.failed_exchanges, *a); i >= 0) m.failed_exchanges.Select(i);
  }
  if (const Assignment* a = Find("send_delay_min")) {
    if (const int i = Item(m.send_delay, *a); i >= 0) m.send_delay.Select(i);
  }
  if (refused) return m.OnCancel();
  m.OnAccept();
  if (m.closed()) return;
  std::string line;
  switch (m.focus) {
    case VrgParModel::kVrgCount:
      line = "vrg_count " + RangeOf(Param(9, "vrg_count"));
      break;
    case VrgParModel::kSpeed:
      line = "vrg_speed: скорость не выбрана";
      break;
    case VrgParModel::kPreambles:
      line = "vrg_preambles " + RangeOf(Param(9, "vrg_preambles"));
      break;
    case VrgParModel::kAnswerWait:
      line = "vrg_answer_wait_ds " + RangeOf(Param(9, "vrg_answer_wait_ds"));
      break;
    case VrgParModel::kRecord: {
      const int k = m.current_row + 1;
      line = Format("vrg%d.address (1...254), vrg%d.interface (rs232, bell202)", k, k);
      break;
    }
    default:
      break;
  }
  Failed(line);
  m.OnCancel();
}

void ToolDialogs::OpenVrgConf(VrgConfModel& m) {
  const std::string prefix = Format("vrg%d.", m.number());
  for (const Assignment* a : pending_) {
    const std::string field = a->param->name.substr(prefix.size());
    if (field == "address") {
      if (Utf8Chars(a->text) > m.address_text.max_chars) {
        OutOfRange(*a, RangeOf(*a->param));
      } else {
        m.OnAddressText(a->text);
      }
    } else if (field == "group") {
      FillBox(m.group, *a);
    } else if (field == "interface") {
      m.line.Select(a->number == layout::t9::kInterfaceRs232 ? 0 : 1);
    } else if (field == "runs") {
      if (const int i = Item(m.runs, *a); i >= 0) m.runs.Select(i);
    } else if (field == "server1") {
      m.server1.Select(static_cast<int>(a->number));
    } else if (field == "server2") {
      if (!m.server2.enabled) {
        Refuse(Format(kOnlyTwoServers, a->param->name.c_str()));
      } else {
        m.server2.Select(static_cast<int>(a->number));
      }
    }
  }
  if (refused) return m.OnCancel();
  m.OnAccept();
  if (m.closed()) return;
  static const std::pair<VrgConfModel::Control, const char*> kNames[] = {
      {VrgConfModel::kAddress, "address"}, {VrgConfModel::kGroup, "group"},
      {VrgConfModel::kLine, "interface"},  {VrgConfModel::kRuns, "runs"},
      {VrgConfModel::kServer1, "server1"}, {VrgConfModel::kServer2, "server2"}};
  std::string line;
  for (const auto& [control, name] : kNames) {
    if (m.focus != control) continue;
    const std::string full = prefix + name;
    line = full +
           (m.focus == VrgConfModel::kLine ? " (rs232, bell202)" : " " + RangeOf(Param(9, full)));
  }
  Failed(line);
  m.OnCancel();
}

void ToolDialogs::OpenModemAnsTime(ModemAnsTimeModel& m) {
  if (!m.confirm_enabled) {
    Refuse(Format("Неизвестный код типа требуемого модема (%u) в устройстве", m.modem_code()));
    return m.OnCancel();
  }
  const std::span<const ParamSpec> params = TableParams(20);
  for (const Assignment& a : assignments_) {
    const size_t i = a.param->field;
    if (Utf8Chars(a.text) > m.boxes[i].max_chars) {
      OutOfRange(a, m.range_labels[i]);
    } else {
      m.boxes[i].SetText(a.text);
    }
  }
  if (refused) return m.OnCancel();
  m.OnAccept();
  if (m.closed()) return;
  const size_t i = static_cast<size_t>(m.failed_box);
  Failed(i < params.size() ? params[i].name + " " + m.range_labels[i] : "");
  m.OnCancel();
}

void ToolDialogs::OpenIniModem(IniModemModel& m) {
  for (const Assignment& a : assignments_) {
    for (int i = 0; i < IniModemModel::kBoxCount; ++i) {
      if (&IniModemModel::BoxParam(i) == a.param) m.boxes[i].SetText(a.text);
    }
  }
  m.OnAccept();
}

void ToolDialogs::OpenInterPar(InterParModel& m) {
  for (const Assignment& a : assignments_) {
    for (int i = 0; i < InterParModel::kBoxCount; ++i) {
      if (&InterParModel::BoxParam(i) != a.param) continue;
      if (!m.boxes[i].enabled) {
        Refuse(Format(kOnlyTwoServers, a.param->name.c_str()));
      } else {
        m.boxes[i].SetText(a.text);
      }
    }
  }
  if (refused) return m.OnCancel();
  m.OnAccept();
}

// ---- the tool as the session the editors refresh ----

class ToolSession : public ConfigurationSession {
 public:
  explicit ToolSession(CliContext& c) : c_(c) {}

  void SetServerCount(uint8_t) override {}
  // The next runs reach the controller at its new address.
  void ControllerAddressChanged(uint8_t address) override {
    ConnectionSettings& s = c_.store.settings;
    s.Channel(c_.line.kind).adr = address;
    c_.store.Save();
  }
  void SetVrgParamsCopy(const uint8_t*) override {}
  void BuildCommandMenus() override {}
  void SetKeepAliveInterval(int) override {}
  bool WriteAccessGranted() const override {
    return !c_.options.code.empty() || !c_.options.password.empty();
  }
  void SetServerLabels(const ServerLabels&) override {}
  void RefreshMainMenu() override {}
  void StartMessageTimer() override {}

 private:
  CliContext& c_;
};

// ---- output ----

void JsonValue(JsonWriter& json, const uint8_t* table, const ParamSpec& p) {
  switch (p.type) {
    case ParamType::kUnsigned:
    case ParamType::kSigned:
    case ParamType::kBit:
      json.Number(GetNumber(table, p));
      return;
    case ParamType::kRateIndex:
      if (const uint32_t rate = RateAt(static_cast<int>(GetNumber(table, p))); rate != 0) {
        json.Number(rate);
        return;
      }
      break;
    default:
      break;
  }
  json.String(FormatParam(table, p));
}

void PrintParams(const CliContext& c, int t, const std::vector<const ParamSpec*>& params,
                 bool as_json) {
  const uint8_t* table = c.image.Table(t);
  if (!as_json) {
    for (const ParamSpec* p : params) {
      std::printf("%s = %s\n", p->name.c_str(), FormatParam(table, *p).c_str());
    }
    return;
  }
  JsonWriter json;
  json.BeginObject().Key("table").Number(t).Key("ok").Bool(true).Key("parameters").BeginObject();
  for (const ParamSpec* p : params) JsonValue(json.Key(p->name), table, *p);
  json.EndObject().EndObject();
  std::printf("%s\n", json.Text().c_str());
}

void PrintSetFailure(int t, const std::vector<std::string>& window_lines,
                     const std::vector<std::string>& notes, const ParamEditOutcome& outcome,
                     bool as_json) {
  for (const std::string& line : notes) PrintError(line);
  if (!as_json) return;
  JsonWriter json;
  json.BeginObject().Key("table").Number(t).Key("ok").Bool(false);
  json.Key("written").Bool(false).Key("writes").BeginArray();
  for (const FieldRange& r : outcome.writes) {
    json.BeginObject().Key("first").Number(r.first).Key("count").Number(r.count).EndObject();
  }
  json.EndArray().Key("messages").BeginArray();
  for (const std::string& line : window_lines) json.String(line);
  for (const std::string& line : notes) json.String(line);
  json.EndArray().EndObject();
  std::printf("%s\n", json.Text().c_str());
}

// ---- the commands ----

// Opens the line for a command that first checked its operands.
bool Connect(CliContext& c) {
  if (!OpenConnection(c.connector, c.line)) return false;
  c.link.SetCredentials(Utf8ToCp1251(c.options.password), Utf8ToCp1251(c.options.code));
  return true;
}

// What the desktop program knows before any editor opens: the
// identification (the GPRS transform, the modem type) and ServerCount.
bool ReadStartFacts(CliContext& c, int t, uint8_t& server_count) {
  if ((t == 0 || t == 20 || t == 22) && !ReadWholeTable(c.link, c.image, 0, &c.status)) {
    return false;
  }
  if (t == 9 || t == 22) {
    const FieldRange servers{3, static_cast<uint8_t>(layout::t3::kServers), 1};
    if (!ReadTableFields(c.link, c.image, servers, &c.status, true)) return false;
    server_count = c.image.Byte(3, layout::t3::kServers);
  }
  return true;
}

int ShowConnected(CliContext& c, int t, bool as_json) {
  uint8_t server_count = 1;
  if (!ReadStartFacts(c, t, server_count)) return kExitFailed;
  if (t == 1 || t == 7) {
    if (!ReadWholeTable(c.link, c.image, t, &c.status)) return kExitFailed;
  } else if (t != 0) {
    ToolDialogs dialogs({});
    ToolSession session(c);
    ParamContext ctx{c.host, c.link, c.image, &c.status, dialogs, session, server_count};
    if (!ReadParamTable(ctx, t)) return kExitFailed;
  }
  std::vector<const ParamSpec*> params;
  for (const ParamSpec& p : TableParams(t)) params.push_back(&p);
  PrintParams(c, t, params, as_json);
  return kExitOk;
}

// Takes the command's own "--json" out of its operands; false (with the
// usage) for any other option or a wrong number of operands.
bool TakeOperands(CliContext& c, size_t min, size_t max, const char* usage, bool& as_json) {
  as_json = false;
  std::vector<std::string> operands;
  for (const std::string& a : c.args) {
    if (a == "--json") {
      as_json = true;
    } else if (a.rfind("--", 0) == 0) {
      PrintError("Неизвестный параметр " + a);
      return false;
    } else {
      operands.push_back(a);
    }
  }
  if (operands.size() < min || operands.size() > max) {
    UsageError(usage);
    return false;
  }
  c.args = std::move(operands);
  return true;
}

constexpr const char* kShowUsage = "show TABLE [--json]";
constexpr const char* kSetUsage = "set TABLE NAME=VALUE... [--json]";

int Show(CliContext& c) {
  bool as_json = false;
  if (!TakeOperands(c, 1, 1, kShowUsage, as_json)) return kExitUsage;
  int t = 0;
  if (!ParseTableOperand(c.args[0], kShowTables, t)) return kExitUsage;
  if (!Connect(c)) return kExitFailed;
  const int rc = ShowConnected(c, t, as_json);
  c.connector.Close();
  return rc;
}

ParamEditOutcome RunEditor(ParamContext& ctx, int t) {
  switch (t) {
    case 3:
      return EditLinkParameters(ctx);
    case 9:
      return EditVrgParameters(ctx);
    case 20:
      return EditTimeouts(ctx);
    case 21:
      return EditModemParameters(ctx);
    default:
      return EditGprsParameters(ctx);
  }
}

int SetConnected(CliContext& c, int t, const std::vector<Assignment>& assignments, bool as_json) {
  uint8_t server_count = 1;
  if (!ReadStartFacts(c, t, server_count)) return kExitFailed;
  RecordingHost host(c.host);
  ToolDialogs dialogs(assignments);
  ToolSession session(c);
  ParamContext ctx{host, c.link, c.image, &c.status, dialogs, session, server_count};
  const ParamEditOutcome outcome = RunEditor(ctx, t);
  if (!outcome.read) return kExitFailed;
  if (dialogs.refused || !outcome.written) {
    PrintSetFailure(t, host.lines, dialogs.notes, outcome, as_json);
    return kExitFailed;
  }
  // Read back: what the controller holds now, at its address now.
  if (!ReadParamTable(ctx, t)) return kExitFailed;
  std::vector<const ParamSpec*> params;
  for (const Assignment& a : assignments) params.push_back(a.param);
  if (!as_json) {
    PrintParams(c, t, params, false);
    return kExitOk;
  }
  const uint8_t* table = c.image.Table(t);
  JsonWriter json;
  json.BeginObject().Key("table").Number(t).Key("ok").Bool(true).Key("written").Bool(true);
  json.Key("writes").BeginArray();
  for (const FieldRange& r : outcome.writes) {
    json.BeginObject().Key("first").Number(r.first).Key("count").Number(r.count).EndObject();
  }
  json.EndArray().Key("parameters").BeginObject();
  for (const ParamSpec* p : params) JsonValue(json.Key(p->name), table, *p);
  json.EndObject().EndObject();
  std::printf("%s\n", json.Text().c_str());
  return kExitOk;
}

int Set(CliContext& c) {
  bool as_json = false;
  if (!TakeOperands(c, 2, SIZE_MAX, kSetUsage, as_json)) return kExitUsage;
  int t = 0;
  if (!ParseTableOperand(c.args[0], kSetTables, t)) return kExitUsage;
  std::vector<Assignment> assignments;
  if (!ParseAssignments(t, {c.args.begin() + 1, c.args.end()}, assignments)) return kExitUsage;
  if (!Connect(c)) return kExitFailed;
  const int rc = SetConnected(c, t, assignments, as_json);
  c.connector.Close();
  return rc;
}

}  // namespace

void AddParamCommands(std::vector<CliCommand>& commands) {
  commands.push_back({"show", kShowUsage, 1, 2, false, Show});
  commands.push_back({"set", kSetUsage, 2, -1, false, Set});
}

}  // namespace kvarta::cli
