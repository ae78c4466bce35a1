#include "monitor/comm_data_model.h"

#include <algorithm>
#include <tuple>

#include "monitor/command_texts.h"

namespace kvarta {
namespace {

PickerDate DateOf(const ShortDateTime& t) {
  if (!t.HasValue()) return CommDataModel::kEarliestDate;
  return {2000 + t.year, t.month, t.day};
}

PickerDate Clamp(PickerDate d) {
  const auto key = [](const PickerDate& x) { return std::tie(x.year, x.month, x.day); };
  if (key(d) < key(CommDataModel::kEarliestDate)) return CommDataModel::kEarliestDate;
  if (key(d) > key(CommDataModel::kLatestDate)) return CommDataModel::kLatestDate;
  d.month = std::clamp(d.month, 1, 12);
  d.day = std::clamp(d.day, 1, DaysInMonth(d.month, d.year - 2000));
  return d;
}

ShortDateTime Bound(const PickerDate& d, int hour) {
  ShortDateTime t;
  t.year = static_cast<uint8_t>(d.year - 2000);
  t.month = static_cast<uint8_t>(d.month);
  t.day = static_cast<uint8_t>(d.day);
  t.hour = static_cast<uint8_t>(hour);
  return t;
}

}  // namespace

RememberedPeriods RememberedPeriods::Today(const LocalDateTime& now) {
  ShortDateTime today;
  today.year = static_cast<uint8_t>(std::clamp(now.year - 2000, 0, 255));
  today.month = static_cast<uint8_t>(now.month);
  today.day = static_cast<uint8_t>(now.day);
  return {today, today, today, today};
}

CommDataModel::CommDataModel(CommandFields& fields, RememberedPeriods& periods,
                             std::string caption_text)
    : caption(std::move(caption_text)), fields_(fields), periods_(periods) {}

void CommDataModel::OnShow() {
  hour_command_ = ChoicesOf(fields_[0]).period == CommandPeriod::kHours;
  last_caption = hour_command_ ? "за последний окончившийся час"
                               : "за последние окончившиеся контрактные сутки";
  const ShortDateTime& start = hour_command_ ? periods_.hour_start : periods_.day_start;
  const ShortDateTime& end = hour_command_ ? periods_.hour_end : periods_.day_end;
  td_beg = Clamp(DateOf(start));
  td_end = Clamp(DateOf(end));
  cb_beg = hour_command_ ? std::min<int>(start.hour, 23) : 0;
  cb_end = hour_command_ ? std::min<int>(end.hour, 23) : 0;
  hour_lists_visible = hour_command_;
  last_selected = true;
  applied_ = false;
  closed_ = false;
  ApplyChoiceRule();
}

void CommDataModel::ApplyChoiceRule() {
  period_enabled = !last_selected;
  period_color = last_selected ? kGreyColor : kWindowColor;
}

void CommDataModel::OnChooseLast() {
  last_selected = true;
  ApplyChoiceRule();
}

void CommDataModel::OnChoosePeriod() {
  last_selected = false;
  ApplyChoiceRule();
}

void CommDataModel::SetBeginDate(PickerDate date) {
  td_beg = Clamp(date);
}

void CommDataModel::SetEndDate(PickerDate date) {
  td_end = Clamp(date);
}

void CommDataModel::SetBeginHour(int hour) {
  if (hour >= 0 && hour <= 23) cb_beg = hour;
}

void CommDataModel::SetEndHour(int hour) {
  if (hour >= 0 && hour <= 23) cb_end = hour;
}

void CommDataModel::OnApply() {
  if (last_selected) {
    std::fill(fields_.begin() + 4, fields_.end(), 0);
  } else {
    const ShortDateTime start = Bound(td_beg, hour_command_ ? cb_beg : 0);
    const ShortDateTime end = Bound(td_end, hour_command_ ? cb_end : 0);
    fields_[4] = start.year, fields_[5] = start.month, fields_[6] = start.day;
    fields_[7] = start.hour;
    fields_[8] = end.year, fields_[9] = end.month, fields_[10] = end.day;
    fields_[11] = end.hour;
    (hour_command_ ? periods_.hour_start : periods_.day_start) = start;
    (hour_command_ ? periods_.hour_end : periods_.day_end) = end;
  }
  applied_ = true;
  closed_ = true;
}

void CommDataModel::OnCancel() {
  applied_ = false;
  closed_ = true;
}

}  // namespace kvarta
