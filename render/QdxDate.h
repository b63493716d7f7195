#pragma once
// TEMPORARY stand-in for the date class being written on wip/date; removed
// before this branch is handed over.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "Clock.h"
#include "Records.h"
#include "Sjis.h"

class TQdx_Date {
 public:
  explicit TQdx_Date(const OptionRecord& options = OptionSettings, const Clock& clock = SystemClock())
      : options_(options), clock_(clock) {}
  char Text[20] = {};
  std::int32_t DayNumber = 0, EraMode = 0, NoZeroPad = 0;
  void Clear() { DayNumber = EraMode = NoZeroPad = 0; }
  bool SetToday() {
    const LocalDate d = clock_.Today();
    year_ = d.year;
    month_ = d.month;
    day_ = d.day;
    DayNumber = 1;
    Format();
    return true;
  }
  bool AddDays(int n) {
    DayNumber += n;
    return true;
  }

 private:
  int EraYear() const {
    int result = 0;
    for (const auto& start : options_.WarekiDate) {
      int y = 0, m = 0, d = 0;
      if (std::sscanf(start, "%d/%d/%d", &y, &m, &d) != 3) continue;
      if (y * 10000 + m * 100 + d <= year_ * 10000 + month_ * 100 + day_) result = year_ - y + 1;
    }
    return result;
  }
  void Format() {
    if (EraMode)
      std::snprintf(Text, sizeof Text, "%2.2d.%2.2d.%2.2d", EraYear() % 100, month_, day_);
    else
      std::snprintf(Text, sizeof Text, "%4.4d.%2.2d.%2.2d", year_ % 10000, month_, day_);
  }
  const OptionRecord& options_;
  const Clock& clock_;
  int year_ = 0, month_ = 0, day_ = 0;
};

inline std::string DateTextForYears(const TQdx_Date& date, int years) {
  const std::string text = FieldText(date.Text).data();
  if (years == 0) return text.size() > 2 ? text.substr(2) : "";
  if (years == 1 || years == 2) return text;
  return "";
}

inline std::string ComposeDateText(std::string_view header, int years, bool noZeroPad, const Clock& clock,
                                   const OptionRecord& options = OptionSettings) {
  TQdx_Date date(options, clock);
  date.Clear();
  date.EraMode = years == 1 ? 1 : 0;
  date.NoZeroPad = noZeroPad ? 1 : 0;
  date.SetToday();
  return std::string(SjisPrefix(std::string(header) + DateTextForYears(date, years), 63));
}
