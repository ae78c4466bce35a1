#include "platform/clock.h"

#include <ctime>

namespace kvarta {

int64_t SystemClock::NowNs() const {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void SystemClock::SleepNs(int64_t ns) {
  if (ns <= 0) return;
  timespec req{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
  while (nanosleep(&req, &req) != 0) {
  }
}

void SystemClock::SleepUntilNs(int64_t deadline_ns) {
  // What the kernel may add to a sleep, and what is left to watch on the clock.
  constexpr int64_t kFinishNs = 50000;
  const int64_t wake_ns = deadline_ns - kFinishNs;
  if (NowNs() < wake_ns) {
    const timespec at{static_cast<time_t>(wake_ns / 1000000000),
                      static_cast<long>(wake_ns % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) != 0) {
    }
  }
  while (NowNs() < deadline_ns) {
  }
}

LocalDateTime SystemClock::LocalNow() const {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm t{};
  localtime_r(&ts.tv_sec, &t);
  return LocalDateTime{t.tm_year + 1900,
                       t.tm_mon + 1,
                       t.tm_mday,
                       t.tm_hour,
                       t.tm_min,
                       t.tm_sec,
                       static_cast<int>(ts.tv_nsec / 1000000)};
}

SystemClock& RealClock() {
  static SystemClock clock;
  return clock;
}

}  // namespace kvarta
