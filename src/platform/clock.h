// Time sources. All waits of the link and the connection layer are measured on
// the monotonic clock; the calendar clock only stamps exchanges and names files.
#pragma once

#include <cstdint>

namespace kvarta {

struct LocalDateTime {
  int year = 0;   // e.g. 2026
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic time in nanoseconds (arbitrary origin).
  virtual int64_t NowNs() const = 0;
  // Sleeps without burning a core; a fake clock just advances.
  virtual void SleepNs(int64_t ns) = 0;
  // Returns at deadline_ns on the monotonic clock, not noticeably later: for
  // the pauses the protocol fixes to the millisecond.
  virtual void SleepUntilNs(int64_t deadline_ns) { SleepNs(deadline_ns - NowNs()); }
  // Local calendar date and time.
  virtual LocalDateTime LocalNow() const = 0;

  int64_t NowMs() const { return NowNs() / 1000000; }
};

class SystemClock : public Clock {
 public:
  int64_t NowNs() const override;
  void SleepNs(int64_t ns) override;
  // Sleeps to just short of the deadline and finishes on the clock, so that
  // neither the timer's slack nor its granularity lengthens the pause.
  void SleepUntilNs(int64_t deadline_ns) override;
  LocalDateTime LocalNow() const override;
};

// The program-wide real clock.
SystemClock& RealClock();

constexpr int64_t MsToNs(int64_t ms) {
  return ms * 1000000;
}

}  // namespace kvarta

namespace kvarta {

// Calendar value of a local date and time: days since 1899-12-30 plus the
// fraction of the day (Gregorian calendar).
double CalendarValue(const LocalDateTime& t);
// Whole days since 1899-12-30 of a Gregorian date.
int64_t DaysSinceEpoch1899(int year, int month, int day);

}  // namespace kvarta
