#pragma once
// The local date and time, replaceable in tests.

#include <cstdint>

struct LocalDate {
  int year = 0, month = 0, day = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDate Today() const = 0;
  // Seconds since 1970, the seed of the random tilt.
  virtual std::int64_t Now() const = 0;
};

// The system's local clock.
const Clock& SystemClock();

// A clock that always shows the same moment.
class FixedClock : public Clock {
 public:
  explicit FixedClock(LocalDate date, std::int64_t now = 0) : date_(date), now_(now) {}
  LocalDate Today() const override { return date_; }
  std::int64_t Now() const override { return now_; }
  void Set(LocalDate date) { date_ = date; }

 private:
  LocalDate date_;
  std::int64_t now_;
};
