#include "link/short_date_time.h"

#include <cmath>

#include "platform/clock.h"

namespace kvarta {
namespace {

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kSecondsPerDay = 86400;
constexpr int kFirstYear = 2000;
constexpr int kLastYear = 2000 + 255;

struct CivilDate {
  int64_t year;
  int month;
  int day;
};

// Inverse of DaysSinceEpoch1899 (proleptic Gregorian).
CivilDate DateFromDays1899(int64_t days) {
  const int64_t z = days - 25569 + 719468;  // days since 0000-03-01
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  return {year, month, day};
}

}  // namespace

double ShortDateTimeToCalendar(const ShortDateTime& t) {
  if (t.month < 1 || t.month > 12) return 0;
  const int64_t days = DaysSinceEpoch1899(kFirstYear + t.year, t.month, t.day);
  const int seconds = t.hour * 3600 + t.minute * 60 + t.second;
  return static_cast<double>(days) + static_cast<double>(seconds) / kSecondsPerDay;
}

ShortDateTime CalendarToShortDateTime(double value) {
  if (!std::isfinite(value)) return {};
  double whole_days = std::floor(value);
  // Round to the nearest second so that 09:04:00 does not come back as 09:03:59.
  int64_t seconds = std::llround((value - whole_days) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {
    seconds -= kSecondsPerDay;
    whole_days += 1;
  }
  if (whole_days < static_cast<double>(DaysSinceEpoch1899(kFirstYear, 1, 1)) ||
      whole_days > static_cast<double>(DaysSinceEpoch1899(kLastYear, 12, 31))) {
    return {};  // outside what six bytes can hold: "no value"
  }
  const CivilDate d = DateFromDays1899(static_cast<int64_t>(whole_days));
  ShortDateTime t;
  t.year = static_cast<uint8_t>(d.year - kFirstYear);
  t.month = static_cast<uint8_t>(d.month);
  t.day = static_cast<uint8_t>(d.day);
  t.hour = static_cast<uint8_t>(seconds / 3600);
  t.minute = static_cast<uint8_t>(seconds / 60 % 60);
  t.second = static_cast<uint8_t>(seconds % 60);
  return t;
}

int DaysInMonth(int month, int year_minus_2000) {
  if (month < 1 || month > 12) return 0;
  if (month == 2 && year_minus_2000 % 4 == 0) return 29;
  return kMonthDays[month - 1];
}

void StepShortDateTime(ShortDateTime& t, DateTimeUnit unit) {
  if (!t.HasValue() || t.month > 12) return;  // nothing sensible to step

  auto next_year = [&] {
    if (t.year < 255) ++t.year;  // the last representable year stays
  };
  auto next_month = [&] {
    if (++t.month > 12) {
      t.month = 1;
      next_year();
    }
  };
  auto next_day = [&] {
    if (++t.day > DaysInMonth(t.month, t.year)) {
      t.day = 1;
      next_month();
    }
  };
  auto next_hour = [&] {
    if (++t.hour > 23) {
      t.hour = 0;
      next_day();
    }
  };
  auto next_minute = [&] {
    if (++t.minute > 59) {
      t.minute = 0;
      next_hour();
    }
  };

  switch (unit) {
    case DateTimeUnit::kSecond:
      if (++t.second > 59) {
        t.second = 0;
        next_minute();
      }
      break;
    case DateTimeUnit::kMinute:
      next_minute();
      break;
    case DateTimeUnit::kHour:
      next_hour();
      break;
    case DateTimeUnit::kDay:
      next_day();
      break;
    case DateTimeUnit::kMonth: {
      next_month();
      // 31 January plus a month is the last day of February, not 3 March.
      const int last = DaysInMonth(t.month, t.year);
      if (t.day > last) t.day = static_cast<uint8_t>(last);
      break;
    }
  }
}

}  // namespace kvarta
