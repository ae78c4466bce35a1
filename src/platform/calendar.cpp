#include "platform/clock.h"

namespace kvarta {

int64_t DaysSinceEpoch1899(int year, int month, int day) {
  // Days from civil (proleptic Gregorian), shifted so that 1899-12-30 is day 0.
  const int64_t y = month <= 2 ? year - 1 : year;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t mp = (month + 9) % 12;
  const int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const int64_t unix_days = era * 146097 + doe - 719468;
  return unix_days + 25569;  // 1970-01-01 is day 25569
}

double CalendarValue(const LocalDateTime& t) {
  const double seconds = t.hour * 3600.0 + t.minute * 60.0 + t.second + t.millisecond / 1000.0;
  return static_cast<double>(DaysSinceEpoch1899(t.year, t.month, t.day)) + seconds / 86400.0;
}

}  // namespace kvarta
