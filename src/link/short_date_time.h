// The controller's six-byte date and time: year - 2000, month, day, hour,
// minute, second. A month of 0 means "no value".
#pragma once

#include <cstdint>

namespace kvarta {

struct ShortDateTime {
  uint8_t year = 0;  // year minus 2000
  uint8_t month = 0;
  uint8_t day = 0;
  uint8_t hour = 0;
  uint8_t minute = 0;
  uint8_t second = 0;

  bool HasValue() const { return month != 0; }
  static ShortDateTime FromBytes(const uint8_t* b) { return {b[0], b[1], b[2], b[3], b[4], b[5]}; }
  void ToBytes(uint8_t* b) const {
    b[0] = year, b[1] = month, b[2] = day, b[3] = hour, b[4] = minute, b[5] = second;
  }
  friend bool operator==(const ShortDateTime&, const ShortDateTime&) = default;
};

// Units for StepShortDateTime.
enum class DateTimeUnit : int { kHour = 0, kDay = 1, kMonth = 2, kMinute = 3, kSecond = 4 };

// Calendar value: days since 1899-12-30 plus the fraction of the day.
double ShortDateTimeToCalendar(const ShortDateTime& t);
ShortDateTime CalendarToShortDateTime(double value);

// Days in month (1..12) of year-2000 y: February has 29 when y % 4 == 0.
int DaysInMonth(int month, int year_minus_2000);

// Advances t by one unit with carries into the larger units.
void StepShortDateTime(ShortDateTime& t, DateTimeUnit unit);

}  // namespace kvarta
