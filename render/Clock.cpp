#include "Clock.h"

#include <ctime>

namespace {
class LocalClock : public Clock {
 public:
  LocalDate Today() const override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
  }
  std::int64_t Now() const override { return static_cast<std::int64_t>(std::time(nullptr)); }
};
}  // namespace

const Clock& SystemClock() {
  static const LocalClock clock;
  return clock;
}
