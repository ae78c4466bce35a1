#include <gtest/gtest.h>

#include <cmath>

#include "link/short_date_time.h"

namespace kvarta {
namespace {

ShortDateTime T(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return {static_cast<uint8_t>(y), static_cast<uint8_t>(mo), static_cast<uint8_t>(d),
          static_cast<uint8_t>(h), static_cast<uint8_t>(mi), static_cast<uint8_t>(s)};
}

ShortDateTime Stepped(ShortDateTime t, DateTimeUnit unit) {
  StepShortDateTime(t, unit);
  return t;
}

TEST(ShortDateTime, ConvertsToAndFromCalendarValueWhereRepresentable) {
  const double v = ShortDateTimeToCalendar(T(15, 3, 5, 9, 4, 0));
  EXPECT_NEAR(v, 42068.0 + (9 * 3600 + 4 * 60) / 86400.0, 1e-9);
  EXPECT_EQ(CalendarToShortDateTime(v), T(15, 3, 5, 9, 4, 0));
  EXPECT_DOUBLE_EQ(ShortDateTimeToCalendar(T(0, 1, 1)), 36526.0);
  EXPECT_DOUBLE_EQ(ShortDateTimeToCalendar(T(24, 3, 1)) - ShortDateTimeToCalendar(T(24, 2, 28)),
                   2.0);
  EXPECT_DOUBLE_EQ(ShortDateTimeToCalendar(T(23, 3, 1)) - ShortDateTimeToCalendar(T(23, 2, 28)),
                   1.0);

  // Every second of a day survives the round trip, including 23:59:59.
  for (int s = 0; s < 86400; s += 7) {
    const ShortDateTime t = T(26, 12, 31, s / 3600, s / 60 % 60, s % 60);
    ASSERT_EQ(CalendarToShortDateTime(ShortDateTimeToCalendar(t)), t) << s;
  }
  EXPECT_EQ(CalendarToShortDateTime(ShortDateTimeToCalendar(T(26, 12, 31, 23, 59, 59))),
            T(26, 12, 31, 23, 59, 59));
  // A value a hair below midnight rounds to the next day.
  EXPECT_EQ(CalendarToShortDateTime(ShortDateTimeToCalendar(T(24, 2, 29)) - 1e-9), T(24, 2, 29));

  // No value, and dates before 2000 or not a number at all.
  EXPECT_EQ(ShortDateTimeToCalendar(T(15, 0, 5, 9)), 0.0);
  EXPECT_FALSE(CalendarToShortDateTime(0.0).HasValue());      // 1899-12-30
  EXPECT_FALSE(CalendarToShortDateTime(36525.5).HasValue());  // 1999-12-31
  EXPECT_FALSE(CalendarToShortDateTime(NAN).HasValue());
  EXPECT_EQ(CalendarToShortDateTime(36526.0), T(0, 1, 1));
}

TEST(ShortDateTime, DaysInMonth) {
  // Month, year, days; months outside 1..12 have none.
  const int cases[][3] = {{2, 0, 29},   {2, 24, 29}, {2, 23, 28}, {4, 23, 30},
                          {12, 23, 31}, {0, 23, 0},  {13, 23, 0}};
  for (const auto& [month, year, days] : cases) EXPECT_EQ(DaysInMonth(month, year), days) << month;
}

TEST(ShortDateTime, StepsCarryIntoLargerUnits) {
  using U = DateTimeUnit;
  EXPECT_EQ(Stepped(T(15, 12, 31, 23, 59, 59), U::kSecond), T(16, 1, 1, 0, 0, 0));
  EXPECT_EQ(Stepped(T(15, 3, 5, 9, 4, 7), U::kSecond), T(15, 3, 5, 9, 4, 8));
  EXPECT_EQ(Stepped(T(15, 4, 30, 23, 59, 10), U::kMinute), T(15, 5, 1, 0, 0, 10));
  EXPECT_EQ(Stepped(T(15, 4, 30, 23, 5, 10), U::kHour), T(15, 5, 1, 0, 5, 10));
  EXPECT_EQ(Stepped(T(23, 2, 28, 1), U::kDay), T(23, 3, 1, 1));
  EXPECT_EQ(Stepped(T(24, 2, 28, 1), U::kDay), T(24, 2, 29, 1));
  EXPECT_EQ(Stepped(T(24, 2, 29, 1), U::kDay), T(24, 3, 1, 1));
  EXPECT_EQ(Stepped(T(15, 12, 31), U::kDay), T(16, 1, 1));
  EXPECT_EQ(Stepped(T(15, 12, 15, 8), U::kMonth), T(16, 1, 15, 8));
  // The day is clamped to the length of the new month.
  EXPECT_EQ(Stepped(T(24, 1, 31), U::kMonth), T(24, 2, 29));
  EXPECT_EQ(Stepped(T(23, 1, 31), U::kMonth), T(23, 2, 28));
  EXPECT_EQ(Stepped(T(23, 3, 31), U::kMonth), T(23, 4, 30));
  // "No value" is left alone.
  EXPECT_EQ(Stepped(T(15, 0, 31, 23, 59, 59), U::kSecond), T(15, 0, 31, 23, 59, 59));
}

}  // namespace
}  // namespace kvarta
