#include "app/service_report.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "config/config_listing.h"
#include "config/identification.h"
#include "config/table_info_model.h"
#include "link/controller_link.h"
#include "link/host.h"
#include "link/message_window.h"
#include "link/result_messages.h"
#include "link/table_catalogue.h"
#include "link/table_layout.h"
#include "link/table_service.h"
#include "monitor/diagnostics.h"
#include "platform/atomic_file.h"
#include "platform/cp1251.h"
#include "platform/file_names.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr int kStateTable = 7;
constexpr int kVrgTable = 9;
constexpr int kProgressPanel = 2;

// The table-state window's rows need a host only for what its buttons do.
class NoQuestions : public Host {
 public:
  bool ShowMessage(const MessageWindowModel&) override { return false; }
};

// Pads a UTF-8 text with blanks to width characters.
std::string Pad(const std::string& utf8, size_t width) {
  const size_t chars = Utf8Length(utf8);
  return chars < width ? utf8 + std::string(width - chars, ' ') : utf8;
}

class ReportText {
 public:
  void Line(const std::string& line) { text_ += line + "\n"; }
  void Lines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) Line(line);
  }
  void Section(const char* key, const std::string& title) {
    sections_.push_back(key);
    text_ += "\n== " + title + " ==\n";
  }
  ServiceReport Take() { return {std::move(text_), std::move(sections_)}; }

 private:
  std::string text_;
  std::vector<std::string> sections_;
};

std::string ControllerName(const ConfigImage& image) {
  return GetText(image.Table(3), Param(3, "name"));
}

void TableStates(ReportText& out, const ConfigImage& image) {
  TableWritePlan plan = TableWritePlan::FromImage(image);
  NoQuestions host;
  TableInfoModel window(host, plan);
  window.OnShow();
  size_t width = 0;
  for (const TableInfoModel::Row& row : window.rows) {
    width = std::max(width, Utf8Length(row.caption));
  }
  out.Line(Pad(TableInfoModel::kNameHeading, width + 2) + "Разрушена");
  for (const TableInfoModel::Row& row : window.rows) {
    out.Line(Pad(row.caption, width + 2) + row.destroyed_text);
  }
}

void Configuration(ReportText& out, const ConfigImage& image) {
  ConfigFileRecord record;
  NewConfigFileRecord(record);
  FillConfigFileRecord(record, image);
  for (int t : kConfigurationTables) {
    out.Line("");
    out.Line(Format("[Табл. %d. %s]", t, TableName(t).c_str()));
    for (const ListedParam& p : ListConfigParams(record, t)) out.Line(ListedParamLine(p, true));
  }
}

void Clocks(ReportText& out, const std::vector<ClockRowView>& rows) {
  const std::array<std::string, 4> headings = {"Устройство", "Адрес ВРГ", "Дата и время",
                                               "Отклонение от контроллера, с"};
  std::array<size_t, 3> width{};
  auto cells = [](const ClockRowView& r) {
    const std::string device =
        !r.device.empty() && r.device[0] == ' ' ? r.device.substr(1) : r.device;
    return std::array<std::string, 4>{device, r.address, r.date_time, r.deviation};
  };
  for (size_t k = 0; k < width.size(); ++k) width[k] = Utf8Length(headings[k]);
  for (const ClockRowView& r : rows) {
    const auto c = cells(r);
    for (size_t k = 0; k < width.size(); ++k) width[k] = std::max(width[k], Utf8Length(c[k]));
  }
  auto line = [&width](const std::array<std::string, 4>& c) {
    std::string text;
    for (size_t k = 0; k < width.size(); ++k) text += Pad(c[k], width[k] + 2);
    return text + c[3];
  };
  out.Line(line(headings));
  for (const ClockRowView& r : rows) out.Line(line(cells(r)));
}

// Records the VRG clock window's failure (told in panel 2) while passing
// everything on to the real status bar.
class KeptProgress : public StatusBar {
 public:
  explicit KeptProgress(StatusBar* shown) : shown_(shown) {}
  void SetPanelText(int panel, const std::string& utf8) override {
    if (panel == kProgressPanel) text = utf8;
    if (shown_) shown_->SetPanelText(panel, utf8);
  }
  void Repaint() override {
    if (shown_) shown_->Repaint();
  }
  std::string text;

 private:
  StatusBar* shown_;
};

bool Failed(ConfigContext& ctx, const std::string& what) {
  ShowMessageWindow(ctx.host, kMessageExchange, kServiceReportNotMade, what);
  return false;
}

bool Read(ConfigContext& ctx, int t) {
  return ReadTableFields(
      ctx.link, ctx.image,
      FieldRange{static_cast<uint8_t>(t), 0, static_cast<uint8_t>(TableCatalogue(t).field_count)},
      ctx.status, true);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

ServiceReport BuildServiceReport(const ServiceReportInput& in) {
  const ConfigImage& image = *in.image;
  ReportText out;
  out.Line(kServiceReportTitle);
  out.Line(Format("Составлен: %02d.%02d.%04d %02d:%02d:%02d (время ЭВМ)", in.made.day,
                  in.made.month, in.made.year, in.made.hour, in.made.minute, in.made.second));
  const std::string name = ControllerName(image);
  out.Line(Format("Контроллер: %s, адрес %u", name.empty() ? "(без названия)" : name.c_str(),
                  in.address));
  for (const std::string& line : in.connection) out.Line("Связь: " + line);
  out.Line("Пароли, коды и ключ авторизации в отчет не включены (***, в кадрах **).");

  std::vector<std::string> ident = IdentificationLines(image.Table(0));
  out.Section("identification", ident.front());
  out.Lines({ident.begin() + 1, ident.end()});

  out.Section("table_states", "Состояние таблиц параметров конфигурации");
  TableStates(out, image);

  out.Section("configuration", "Параметры конфигурации");
  Configuration(out, image);

  out.Section("diagnostics", OutoControlModel::kCaption);
  const std::vector<std::string> flags = DecodeDiagnostics(image.Table(kDiagnosticTable));
  if (flags.empty()) out.Line("Признаков диагностики нет");
  out.Lines(flags);

  out.Section("clocks", "Дата и время: отклонения");
  Clocks(out, in.clocks);

  const size_t kept = in.frames ? std::min(in.last_frames, in.frames->records().size()) : 0;
  out.Section("frames",
              Format("Последние кадры сеанса связи: %zu из %llu", kept,
                     in.frames ? static_cast<unsigned long long>(in.frames->total()) : 0ULL));
  if (in.frames) out.Lines(FrameLogLines(*in.frames, in.last_frames, false));
  return out.Take();
}

std::string ProposedServiceReportName(const ConfigImage& image, unsigned address,
                                      const LocalDateTime& now) {
  std::string name = ControllerName(image);
  if (name.empty()) name = Format("kvr%02u", image.Byte(0, layout::t0::kControllerType));
  name = CleanFileNamePart(name);
  std::replace(name.begin(), name.end(), ' ', '_');
  return Format("report-%s-%03u-%02d%02d%02d-%02d%02d.txt", name.c_str(), address, now.year % 100,
                now.month, now.day, now.hour, now.minute);
}

bool ReadServiceReportTables(ConfigContext& ctx, std::vector<ClockRowView>& clocks) {
  ctx.host.SetCursor(CursorShape::kBusy);
  struct NormalCursor {
    Host& host;
    ~NormalCursor() { host.SetCursor(CursorShape::kNormal); }
  } normal{ctx.host};
  if (!Read(ctx, 0)) return Failed(ctx, "Параметры идентификации не прочитаны");
  if (!Read(ctx, kStateTable)) return Failed(ctx, "Состояние таблиц не прочитано");
  WaitModel progress(WaitModel::Mode::kReading);
  ctx.dialogs.ShowWait(progress);
  const bool read = ReadConfiguration(ctx, progress);
  ctx.dialogs.CloseWait();
  if (!read) return Failed(ctx, "Параметры конфигурации не прочитаны");
  if (!Read(ctx, kDiagnosticTable)) return Failed(ctx, "Признаки диагностики не прочитаны");

  std::array<uint8_t, kVrgParamsSize> vrg_params{};
  std::memcpy(vrg_params.data(), ctx.image.Table(kVrgTable), kVrgParamsSize);
  KeptProgress status(ctx.status);
  SumDateParModel window(ctx.link, ctx.image, &status, vrg_params);
  window.OnShow();
  if (window.closed() || !status.text.empty()) {
    const std::string why = status.text.empty() ? FormatResultMessage(ctx.link) : status.text;
    return Failed(ctx, "Дата и время ВРГ не прочитаны: " + why);
  }
  clocks = {window.pc_row, window.controller_row};
  for (const ClockRowView& row : window.vrg_rows) {
    if (!row.device.empty()) clocks.push_back(row);
  }
  return true;
}

std::string MakeServiceReport(ConfigContext& ctx, const std::vector<std::string>& connection) {
  std::vector<ClockRowView> clocks;
  if (!ReadServiceReportTables(ctx, clocks)) return "";
  const LocalDateTime now = ctx.clock.LocalNow();
  ServiceReportInput in;
  in.image = &ctx.image;
  in.address = ctx.link.address;
  in.connection = connection;
  in.made = now;
  in.clocks = std::move(clocks);
  in.frames = &ctx.link.frame_log;
  const ServiceReport report = BuildServiceReport(in);

  const std::string proposal =
      ctx.config_folder + "/" + ProposedServiceReportName(ctx.image, in.address, now);
  FileDialogRequest request{kServiceReportDialogTitle,
                            "Text Files (*.txt)|*.txt|All Files (*.*)|*.*", ctx.config_folder,
                            proposal};
  std::string path;
  for (;;) {
    if (!ctx.dialogs.ChooseFileToSave(request, path)) return "";
    if (path == proposal) break;
    if (BaseName(path).find('.') == std::string::npos) path += ".txt";
    if (!FileExists(path)) break;
    if (ShowMessageWindow(ctx.host, kMessageQuestion,
                          Format("Файл %s уже есть.", BaseName(path).c_str()),
                          "Вы хотите заменить существующий файл?")) {
      break;
    }
    request.path = path;
  }
  if (!WriteFileAtomically(path, report.text)) {
    ShowMessageWindow(ctx.host, kMessageError, "Сбой при работе с файлом", path);
    return "";
  }
  ctx.session.StartMessageTimer();
  return path;
}

std::vector<std::string> OverviewConnectionLines(const OverviewModel& overview) {
  std::vector<std::string> lines;
  for (const OverviewSection& section : overview.sections) {
    if (section.title != "Связь") continue;
    for (const OverviewLine& line : section.lines) lines.push_back(line.label + ": " + line.value);
  }
  return lines;
}

}  // namespace kvarta
