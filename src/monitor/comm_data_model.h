// The period dialog of the data commands (TFormComm_Data): the last
// completed hour or contract day, or an explicit period from date pickers
// and (for hour commands) hour lists; and the periods it remembers.
#pragma once

#include <cstdint>
#include <string>

#include "link/short_date_time.h"
#include "monitor/command_record.h"
#include "platform/clock.h"

namespace kvarta {

// Start and end of the last hour period and of the last day period, held for
// the program run (not saved).
struct RememberedPeriods {
  ShortDateTime hour_start, hour_end, day_start, day_end;

  // All four at today's date, 00:00:00.
  static RememberedPeriods Today(const LocalDateTime& now);
};

struct PickerDate {
  int year = 2014;
  int month = 1;
  int day = 1;
  friend bool operator==(const PickerDate&, const PickerDate&) = default;
};

class CommDataModel {
 public:
  static constexpr int kWidth = 690;
  static constexpr int kHeight = 220;
  static constexpr const char* kGroupCaption = " Запрос данных в команде ";
  static constexpr const char* kPeriodCaption = "за период";
  static constexpr PickerDate kEarliestDate{2014, 1, 1};
  static constexpr PickerDate kLatestDate{2255, 12, 31};  // year - 2000 fits one byte
  static constexpr uint32_t kGreyColor = 0xD3D3D3;
  static constexpr uint32_t kWindowColor = 0xFFFFFF;  // the window's normal colour

  // fields: the command being built (code and targets set); caption from
  // CommandDialogTitle.
  CommDataModel(CommandFields& fields, RememberedPeriods& periods, std::string caption);

  void OnShow();
  // The two radio buttons.
  void OnChooseLast();
  void OnChoosePeriod();
  // Picker and list changes; dates outside the pickers' range are brought
  // into it, hours outside 0..23 are ignored.
  void SetBeginDate(PickerDate date);
  void SetEndDate(PickerDate date);
  void SetBeginHour(int hour);
  void SetEndHour(int hour);
  // "Применить": fills fields 4..11 and, for a period, remembers it.
  void OnApply();
  // "Отменить" or closing the window.
  void OnCancel();

  bool applied() const { return applied_; }
  bool closed() const { return closed_; }
  bool hour_command() const { return hour_command_; }

  std::string caption;
  std::string last_caption;  // first radio button
  bool last_selected = true;
  // Pickers, hour lists and the labels "с", "по", "ч".
  bool period_enabled = false;
  uint32_t period_color = kGreyColor;
  bool hour_lists_visible = true;
  PickerDate td_beg, td_end;
  int cb_beg = 0, cb_end = 0;

 private:
  void ApplyChoiceRule();

  CommandFields& fields_;
  RememberedPeriods& periods_;
  bool hour_command_ = false;
  bool applied_ = false;
  bool closed_ = false;
};

}  // namespace kvarta
