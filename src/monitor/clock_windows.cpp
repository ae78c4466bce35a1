#include "monitor/clock_windows.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "link/config_image.h"
#include "link/controller_link.h"
#include "link/function_codes.h"
#include "link/host.h"
#include "link/result_messages.h"
#include "link/table_service.h"
#include "monitor/monitor_session.h"
#include "platform/text_format.h"

namespace kvarta {
namespace {

constexpr int kControllerClockTable = 2;
constexpr int kVrgClockTable = 10;
constexpr int kClockBytes = 6;
constexpr int kProgressPanel = 2;
// Answer layout: bytes 5..7 echo the range, values from byte 8, CRC last.
constexpr int kEchoOffset = 5;
constexpr int kValuesOffset = 8;
constexpr int kCrcBytes = 2;

std::optional<int64_t> LocalSeconds(int year, int month, int day, int hour, int minute,
                                    int second) {
  tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;  // daylight saving as the platform decides
  const time_t s = mktime(&t);
  if (s == static_cast<time_t>(-1)) return {};  // not representable here
  return static_cast<int64_t>(s);
}

ShortDateTime ShortOf(const LocalDateTime& t) {
  ShortDateTime s;
  s.year = static_cast<uint8_t>(std::clamp(t.year - 2000, 0, 255));
  s.month = static_cast<uint8_t>(t.month);
  s.day = static_cast<uint8_t>(t.day);
  s.hour = static_cast<uint8_t>(t.hour);
  s.minute = static_cast<uint8_t>(t.minute);
  s.second = static_cast<uint8_t>(t.second);
  return s;
}

}  // namespace

bool ClockValid(const ShortDateTime& t) {
  return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= DaysInMonth(t.month, t.year) &&
         t.hour <= 23 && t.minute <= 59 && t.second <= 59;
}

std::optional<int64_t> ClockSeconds(const ShortDateTime& t) {
  if (!ClockValid(t)) return {};
  return LocalSeconds(2000 + t.year, t.month, t.day, t.hour, t.minute, t.second);
}

std::optional<int64_t> ClockSeconds(const LocalDateTime& t) {
  return LocalSeconds(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

std::string FormatClockDate(const ShortDateTime& t) {
  return Format("%02d.%02d.%02d", t.day, t.month, t.year);
}

std::string FormatClockTime(const ShortDateTime& t) {
  return Format("%02d:%02d:%02d", t.hour, t.minute, t.second);
}

std::string FormatClockDateTime(const ShortDateTime& t) {
  return FormatClockDate(t) + "  " + FormatClockTime(t);
}

std::string FormatDeviation(int32_t deviation) {
  if (deviation == kUnknownDeviation) return "";
  if (deviation == 0) return "0";
  return Format("%+d", deviation);
}

int32_t Deviation(std::optional<int64_t> a, std::optional<int64_t> b) {
  if (!a || !b) return kUnknownDeviation;
  // Years apart do not fit 32 bits: keep the sign and the order.
  const int64_t d = std::clamp<int64_t>(*a - *b, INT32_MIN + 1, INT32_MAX);
  return static_cast<int32_t>(d);
}

std::vector<ClockRow> SortClockRows(std::vector<ClockRow> rows) {
  std::stable_sort(rows.begin(), rows.end(),
                   [](const ClockRow& x, const ClockRow& y) { return x.deviation > y.deviation; });
  return rows;
}

bool ShowControllerClock(ControllerLink& link, ConfigImage& image, StatusBar* status,
                         MonitorDialogs& dialogs) {
  link.host.SetCursor(CursorShape::kBusy);
  const bool read =
      ReadTableFields(link, image, FieldRange{kControllerClockTable, 0, kClockBytes}, status, true);
  link.host.SetCursor(CursorShape::kNormal);
  if (!read) return false;
  DtModel window(link, image);
  dialogs.OpenDt(window);
  return true;
}

void ShowVrgClocks(ControllerLink& link, ConfigImage& image, StatusBar* status,
                   const std::array<uint8_t, kVrgParamsSize>& vrg_params_copy,
                   MonitorDialogs& dialogs) {
  SumDateParModel window(link, image, status, vrg_params_copy);
  dialogs.OpenSumDatePar(window);
}

// --- controller clock ---

DtModel::DtModel(ControllerLink& link, ConfigImage& image) : link_(link), image_(image) {}

void DtModel::Changed() {
  if (on_change) on_change();
}

void DtModel::OnShow() {
  refreshing_ = false;
  closed_ = false;
  refresh_caption = "Обновлять данные";
  Draw();
  Changed();
}

void DtModel::Draw() {
  const ShortDateTime pc = CalendarToShortDateTime(link_.last_exchange_time);
  const ShortDateTime ctl = ShortDateTime::FromBytes(image_.Table(kControllerClockTable));
  pc_date = FormatClockDate(pc);
  pc_time = FormatClockTime(pc);
  controller_date = FormatClockDate(ctl);
  controller_time = FormatClockTime(ctl);
  const bool same_date = ctl.day == pc.day && ctl.month == pc.month && ctl.year == pc.year;
  const bool same_time = ctl.hour == pc.hour && ctl.minute == pc.minute && ctl.second == pc.second;
  controller_date_color = same_date ? kColorBlack : kColorRed;
  controller_time_color = same_time ? kColorBlack : kColorRed;
}

void DtModel::OnRefreshSwitch() {
  refreshing_ = !refreshing_;
  if (timer_) refreshing_ ? timer_->Start() : timer_->Stop();
  refresh_caption = refreshing_ ? "Не обновлять данные" : "Обновлять данные";
  Changed();
}

void DtModel::OnTimer() {
  if (timer_) timer_->Stop();
  link_.host.PumpMessages();
  if (refreshing_ && !closed_) {
    if (ReadTableFields(link_, image_, FieldRange{kControllerClockTable, 0, kClockBytes}, nullptr,
                        false)) {
      Draw();
      Changed();
    } else if (link_.result_code == kResultCarrierLost) {
      OnClose();
      return;
    }
  }
  link_.host.PumpMessages();
  if (refreshing_ && !closed_ && timer_) timer_->Start();
}

void DtModel::OnExit() {
  OnClose();
}

void DtModel::OnClose() {
  if (timer_) timer_->Stop();
  refreshing_ = false;
  if (!closed_) {
    closed_ = true;
    Changed();
  }
}

// --- VRG clocks ---

SumDateParModel::SumDateParModel(ControllerLink& link, ConfigImage& image, StatusBar* status,
                                 const std::array<uint8_t, kVrgParamsSize>& vrg_params_copy)
    : link_(link), image_(image), status_(status), vrgs_(VrgListOf(vrg_params_copy.data())) {}

void SumDateParModel::Changed() {
  if (on_change) on_change();
}

void SumDateParModel::SetStatus(const std::string& text) {
  if (!status_) return;
  status_->SetPanelText(kProgressPanel, text);
  status_->Repaint();
}

void SumDateParModel::OnShow() {
  pc_row = {" ЭВМ", "", "", "", kColorWindow};
  controller_row = {" Контроллер", "", "", "", kColorWindow};
  for (int k = 0; k < kMaxVrgs; ++k) {
    vrg_rows[k] = {};
    if (k >= vrg_count()) vrg_rows[k].color = kColorGreyCells;
  }
  refresh_caption = "Обновлять данные";
  refreshing_ = false;
  closed_ = false;
  Changed();
  Read();
}

bool SumDateParModel::Request() {
  const uint8_t count = static_cast<uint8_t>(vrg_count() + 1);
  const uint8_t range[3] = {kVrgClockTable, 0, count};
  if (!SendRequest(link_, kReadFunction, range, sizeof range, 0)) {
    SetStatus(FormatResultMessage(link_));
    return false;
  }
  // Only an answer about this range, of its length, is taken into the image.
  const int bytes = count * kClockBytes;
  const bool echo = link_.answer[kEchoOffset] == range[0] &&
                    link_.answer[kEchoOffset + 1] == range[1] &&
                    link_.answer[kEchoOffset + 2] == range[2];
  if (!echo || link_.answer[2] != kValuesOffset + bytes + kCrcBytes) {
    SetStatus("Несоответствие запрошенных и переданных данных");
    return false;
  }
  std::memcpy(image_.Table(kVrgClockTable), link_.answer.data() + kValuesOffset,
              static_cast<size_t>(bytes));
  SetStatus("");
  return true;
}

void SumDateParModel::Read() {
  if (timer_) timer_->Stop();
  link_.host.PumpMessages();
  if (closed_) return;
  if (Request()) {
    Redraw();
  } else if (link_.result_code == kResultCarrierLost) {
    OnClose();
    return;
  } else {
    ShowPcNow();
    pc_row.deviation.clear();
  }
  Changed();
  link_.host.PumpMessages();
  if (refreshing_ && !closed_ && timer_) timer_->Start();
}

void SumDateParModel::ShowPcNow() {
  pc_row.date_time = FormatClockDateTime(ShortOf(link_.clock.LocalNow()));
}

void SumDateParModel::Redraw() {
  const LocalDateTime now = link_.clock.LocalNow();
  pc_row.date_time = FormatClockDateTime(ShortOf(now));
  const uint8_t* t10 = image_.Table(kVrgClockTable);
  const ShortDateTime ctl = ShortDateTime::FromBytes(t10);
  const std::optional<int64_t> ctl_seconds = ClockSeconds(ctl);
  pc_row.deviation = FormatDeviation(Deviation(ClockSeconds(now), ctl_seconds));
  controller_row.date_time = FormatClockDateTime(ctl);

  std::vector<ClockRow> rows;
  for (int i = 0; i < vrg_count(); ++i) {
    ClockRow r;
    r.index = static_cast<uint8_t>(i);
    r.clock = ShortDateTime::FromBytes(t10 + kClockBytes * (i + 1));
    r.deviation = Deviation(ClockSeconds(r.clock), ctl_seconds);
    rows.push_back(r);
  }
  rows = SortClockRows(std::move(rows));
  for (size_t k = 0; k < rows.size(); ++k) {
    const ClockRow& r = rows[k];
    ClockRowView& view = vrg_rows[k];
    view.device = Format(" ВРГ №%d", r.index + 1);
    view.address = Format("%d", vrgs_[r.index].address);
    view.date_time = FormatClockDateTime(r.clock);
    view.deviation = FormatDeviation(r.deviation);
  }
}

void SumDateParModel::OnTimer() {
  if (refreshing_) {
    Read();
  } else if (timer_) {
    timer_->Stop();
  }
}

void SumDateParModel::OnRefreshSwitch() {
  refreshing_ = !refreshing_;
  if (timer_) refreshing_ ? timer_->Start() : timer_->Stop();
  refresh_caption = refreshing_ ? "Не обновлять данные" : "Обновлять данные";
  Changed();
}

void SumDateParModel::OnExit() {
  OnClose();
}

void SumDateParModel::OnClose() {
  if (timer_) timer_->Stop();
  refreshing_ = false;
  SetStatus("");
  if (!closed_) {
    closed_ = true;
    Changed();
  }
}

}  // namespace kvarta
