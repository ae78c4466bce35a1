// The clock windows: the controller's clock beside the PC's (TFormDt) and
// the clocks of the controller and of every VRG with their deviations from
// the controller (TFormSum_Date_Par), both re-reading their table while
// refreshing is on.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/short_date_time.h"
#include "monitor/command_record.h"
#include "platform/clock.h"

namespace kvarta {

struct ControllerLink;
class ConfigImage;
class HostTimer;
class StatusBar;
class MonitorDialogs;

// Colours as the windows' colour values (0x00BBGGRR).
inline constexpr uint32_t kColorBlack = 0;
inline constexpr uint32_t kColorRed = 255;
inline constexpr uint32_t kColorGreyCells = 0xE3E3E3;
inline constexpr uint32_t kColorWindow = 0xFFFFFF;

// A clock value that names a real moment: month 1..12, a day of that month,
// hour 0..23, minute and second 0..59. Anything else has no deviation.
bool ClockValid(const ShortDateTime& t);
// Seconds of the value read as the PC's local time; nothing when not valid.
std::optional<int64_t> ClockSeconds(const ShortDateTime& t);
std::optional<int64_t> ClockSeconds(const LocalDateTime& t);

// "дд.мм.гг", "чч:мм:сс" and "дд.мм.гг  чч:мм:сс" of the bytes as they are.
std::string FormatClockDate(const ShortDateTime& t);
std::string FormatClockTime(const ShortDateTime& t);
std::string FormatClockDateTime(const ShortDateTime& t);

inline constexpr int32_t kUnknownDeviation = INT32_MIN;  // 0x80000000
// "" unknown, "0", or "%+d".
std::string FormatDeviation(int32_t deviation);
// a - b in seconds, kept inside the 32-bit range that leaves the unknown
// mark free; unknown when either is missing.
int32_t Deviation(std::optional<int64_t> a, std::optional<int64_t> b);

// One VRG's clock as the VRG window sorts it.
struct ClockRow {
  uint8_t index = 0;  // the VRG, from 0
  ShortDateTime clock;
  int32_t deviation = kUnknownDeviation;
};
// Descending deviation, unknown last, equal deviations in VRG order.
std::vector<ClockRow> SortClockRows(std::vector<ClockRow> rows);

// "Текущие дата и время контроллера" (N3Click): reads table 2 with the retry
// question; false when that failed (the window does not open).
bool ShowControllerClock(ControllerLink& link, ConfigImage& image, StatusBar* status,
                         MonitorDialogs& dialogs);
// "Текущие дата и время ВРГ" (N12Click): the window reads on its own.
void ShowVrgClocks(ControllerLink& link, ConfigImage& image, StatusBar* status,
                   const std::array<uint8_t, kVrgParamsSize>& vrg_params_copy,
                   MonitorDialogs& dialogs);

class DtModel {
 public:
  static constexpr const char* kCaption = "Текущие дата и время контроллера";
  static constexpr int kWidth = 336;
  static constexpr int kHeight = 204;
  static constexpr int kTimerMs = 500;

  // image: table 2 has just been read; the PC time is the link's time stamp
  // of that exchange.
  DtModel(ControllerLink& link, ConfigImage& image);

  void SetTimer(HostTimer* timer) { timer_ = timer; }
  void OnShow();
  void OnTimer();
  void OnRefreshSwitch();  // BitBtn2
  void OnExit();           // "Выход"
  void OnClose();

  bool closed() const { return closed_; }
  bool refreshing() const { return refreshing_; }

  // Row "В контроллере" and row "В ЭВМ".
  std::string controller_date, controller_time;
  uint32_t controller_date_color = kColorBlack;
  uint32_t controller_time_color = kColorBlack;
  std::string pc_date, pc_time;
  std::string refresh_caption;
  std::function<void()> on_change;

 private:
  void Draw();
  void Changed();

  ControllerLink& link_;
  ConfigImage& image_;
  HostTimer* timer_ = nullptr;
  bool refreshing_ = false;
  bool closed_ = false;
};

struct ClockRowView {
  std::string device;  // " ЭВМ", " Контроллер", " ВРГ №2", or empty
  std::string address;
  std::string date_time;
  std::string deviation;
  uint32_t color = kColorWindow;  // the cells' colour
};

class SumDateParModel {
 public:
  static constexpr const char* kCaption = " Текущие дата и время ВРГ";
  static constexpr int kWidth = 424;
  static constexpr int kHeight = 288;
  static constexpr int kTimerMs = 1000;

  // status: StatusBar1, panel 2 tells a failed read; may be null.
  SumDateParModel(ControllerLink& link, ConfigImage& image, StatusBar* status,
                  const std::array<uint8_t, kVrgParamsSize>& vrg_params_copy);

  void SetTimer(HostTimer* timer) { timer_ = timer; }
  // Greys the rows of VRGs not configured and reads once.
  void OnShow();
  void OnTimer();
  void OnRefreshSwitch();  // BitBtn1
  void OnExit();           // "Выход"
  void OnClose();

  bool closed() const { return closed_; }
  bool refreshing() const { return refreshing_; }
  int vrg_count() const { return static_cast<int>(vrgs_.size()); }

  ClockRowView pc_row;
  ClockRowView controller_row;
  std::array<ClockRowView, kMaxVrgs> vrg_rows;  // display rows 1..4
  std::string refresh_caption;
  std::function<void()> on_change;

 private:
  void Read();
  bool Request();
  void Redraw();
  void ShowPcNow();
  void Changed();
  void SetStatus(const std::string& text);

  ControllerLink& link_;
  ConfigImage& image_;
  StatusBar* status_;
  std::vector<VrgEntry> vrgs_;
  HostTimer* timer_ = nullptr;
  bool refreshing_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
