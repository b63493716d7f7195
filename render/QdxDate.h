#pragma once
// The program's own date: a running day count on the Gregorian calendar
// (1900-01-01 = 1), the date text the seals print, and the year within a
// Japanese era from the user's era table.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Clock.h"
#include "Records.h"

// The record and the clock given to the constructor must outlive the object.
class TQdx_Date {
 public:
  explicit TQdx_Date(const OptionRecord& options = OptionSettings, const Clock& clock = SystemClock());

  char Text[20];            // the formatted date, NUL-terminated
  std::int32_t DayNumber;   // 1900-01-01 = 1
  std::int32_t EraMode;     // nonzero: Text carries the era year
  std::int32_t NoZeroPad;   // nonzero: month and day without leading zeros

  void Clear();
  static bool IsLeapYear(int year);
  int YearOfDay(int& day) const;                    // leaves the day of the year in day
  int MonthOfDay(int& dayOfYear, int year) const;   // leaves the day of the month
  void FormatDay(TQdx_Date& target, int dayNumber) const;
  bool SplitDateText(std::string_view text, int& year, int& month, int& day) const;
  // 0 when the text is not a date text or its day leaves the 32-bit range.
  int DayNumberOf(std::string_view text) const;
  bool SetToday();
  // False (and nothing changes) when the day would leave the 32-bit range.
  bool AddDays(int n);
  int EraYearOf(std::string_view dateText) const;

 private:
  const OptionRecord* options_;
  const Clock* clock_;
};

// Whether text is a start date the era lookup reads: a real calendar date
// written as a four-digit year, month and day separated by "/".
bool IsEraStartDate(std::string_view text);

// The longest middle text of the date seal and the script's Date text.
inline constexpr std::size_t kDateTextMaxBytes = 63;

// Years 0: Text without its first two characters; 1 and 2: Text; any other: "".
std::string DateTextForYears(const TQdx_Date& date, int years);

// header + today's date in the year style (EraMode = years == 1, NoZeroPad as
// given), cut to 63 bytes at a character boundary: the date seal's middle text
// and the script's Date text.
std::string ComposeDateText(std::string_view header, int years, bool noZeroPad, const Clock& clock,
                            const OptionRecord& options = OptionSettings);

// The date-change dialog's step: moves date by days with the dialog's flag
// rules (EraMode from Years 1 / 0 or 2, NoZeroPad from DateNZ 1 / 0, other
// values leave the flag) and returns Header + DateTextForYears, cut to 63 bytes.
std::string StepDateText(TQdx_Date& date, int days, std::string_view header, int years, int dateNZ);
