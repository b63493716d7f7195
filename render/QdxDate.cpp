#include "QdxDate.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <tuple>

#include "Settings.h"
#include "Sjis.h"

namespace {

// Days of the year before the first of each month, in a common year.
constexpr int kMonthStart[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// Decade anchors: the day number of 31 December before each anchor year.
struct Anchor {
  int year;
  int daysBefore;
};
constexpr Anchor kAnchors[] = {{2030, 47482}, {2020, 43829}, {2010, 40177},
                               {2000, 36524}, {1990, 32872}, {1900, 0}};
constexpr Anchor kFirstAnchor = {1900, 0};

// Every run of 400 Gregorian years has the same number of days.
constexpr int kDaysPer400Years = 146097;

// Each part of a date text had a 19-byte buffer; a longer part is no date.
constexpr std::size_t kMaxPartBytes = 19;

int DaysInYear(int year) { return TQdx_Date::IsLeapYear(year) ? 366 : 365; }

int MonthStart(int month, bool leap) { return kMonthStart[month - 1] + (leap && month > 2 ? 1 : 0); }

int DaysInMonth(int year, int month) {
  const bool leap = TQdx_Date::IsLeapYear(year);
  const int next = month == 12 ? DaysInYear(year) : MonthStart(month + 1, leap);
  return next - MonthStart(month, leap);
}

bool FitsInt32(std::int64_t value) {
  return value >= std::numeric_limits<std::int32_t>::min() &&
         value <= std::numeric_limits<std::int32_t>::max();
}

// Leap years among 1..year (year >= 0).
std::int64_t LeapYearsThrough(std::int64_t year) { return year / 4 - year / 100 + year / 400; }

bool IsSeparator(char c) { return c == '/' || c == '.' || c == '-'; }

// The text cut at its first NUL, as the C string it stands for.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// Splits text into year, month and day, applying the year fix-up for the
// given mode (era years count from 1989; two-digit Western years fall in
// 1980..2079).
bool SplitWithYearStyle(std::string_view text, bool eraYears, int& year, int& month, int& day) {
  text = UpToNul(text);
  std::string_view parts[3];
  int count = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsSeparator(text[i])) continue;
    if (count == 2) return false;
    parts[count++] = text.substr(start, i - start);
    start = i + 1;
  }
  parts[count++] = text.substr(start);
  if (count != 3) return false;
  for (std::string_view part : parts)
    if (part.size() > kMaxPartBytes) return false;

  std::int64_t fullYear = ParseDecimal(parts[0]);
  if (eraYears)
    fullYear += 1988;
  else if (fullYear >= 80 && fullYear <= 99)
    fullYear += 1900;
  else if (fullYear < 80)
    fullYear += 2000;
  if (!FitsInt32(fullYear)) return false;
  year = static_cast<int>(fullYear);
  month = ParseDecimal(parts[1]);
  day = ParseDecimal(parts[2]);
  return true;
}

// The highest anchor below the year; 1900 for 1900 and earlier.
const Anchor& AnchorBelow(int year) {
  for (const Anchor& anchor : kAnchors)
    if (year > anchor.year) return anchor;
  return kFirstAnchor;
}

// The day number of 31 December before the year, counting whole years from
// the anchor; a year before 1900 counts no years at all.
std::int64_t DaysBeforeYear(int year) {
  const Anchor& anchor = AnchorBelow(year);
  if (year <= anchor.year) return anchor.daysBefore;
  const std::int64_t leapDays = LeapYearsThrough(year - 1) - LeapYearsThrough(anchor.year - 1);
  return anchor.daysBefore + 365 * std::int64_t{year - anchor.year} + leapDays;
}

int DayNumberWithYearStyle(std::string_view text, bool eraYears) {
  int year = 0, month = 0, day = 0;
  if (!SplitWithYearStyle(text, eraYears, year, month, day)) return 0;
  if (month < 1 || month > 12) month = 1;
  const std::int64_t dayNumber =
      DaysBeforeYear(year) + MonthStart(month, TQdx_Date::IsLeapYear(year)) + day;
  return FitsInt32(dayNumber) ? static_cast<int>(dayNumber) : 0;
}

struct CalendarDate {
  int year, month, day;
  bool operator<=(const CalendarDate& other) const {
    return std::tie(year, month, day) <= std::tie(other.year, other.month, other.day);
  }
};

// Reads n digits (at least minDigits, at most maxDigits) from text at pos.
std::optional<int> ReadDigits(std::string_view text, std::size_t& pos, int minDigits, int maxDigits) {
  int value = 0, digits = 0;
  while (pos < text.size() && digits < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos++] - '0');
    ++digits;
  }
  if (digits < minDigits) return std::nullopt;
  return value;
}

bool ReadSlash(std::string_view text, std::size_t& pos) {
  if (pos >= text.size() || text[pos] != '/') return false;
  ++pos;
  return true;
}

// A real calendar date written as yyyy/m/d (month and day with one or two
// digits), as the era table and the era lookup's scratch text hold it; the
// calendar conversion covers the years 1 to 9999.
std::optional<CalendarDate> ParseCalendarDate(std::string_view text) {
  text = UpToNul(text);
  std::size_t pos = 0;
  const auto year = ReadDigits(text, pos, 4, 4);
  if (!year || !ReadSlash(text, pos)) return std::nullopt;
  const auto month = ReadDigits(text, pos, 1, 2);
  if (!month || !ReadSlash(text, pos)) return std::nullopt;
  const auto day = ReadDigits(text, pos, 1, 2);
  if (!day || pos != text.size()) return std::nullopt;
  if (*year < 1 || *month < 1 || *month > 12) return std::nullopt;
  if (*day < 1 || *day > DaysInMonth(*year, *month)) return std::nullopt;
  return CalendarDate{*year, *month, *day};
}

std::string CutToDateText(std::string text) { return std::string(SjisPrefix(text, kDateTextMaxBytes)); }

}  // namespace

TQdx_Date::TQdx_Date(const OptionRecord& options, const Clock& clock)
    : Text{}, DayNumber(0), EraMode(0), NoZeroPad(0), options_(&options), clock_(&clock) {}

void TQdx_Date::Clear() {
  DayNumber = 0;
  EraMode = 0;
  NoZeroPad = 0;
}

bool TQdx_Date::IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int TQdx_Date::YearOfDay(int& day) const {
  int year = kFirstAnchor.year;
  for (const Anchor& anchor : kAnchors) {
    if (anchor.year != kFirstAnchor.year && day > anchor.daysBefore) {
      day -= anchor.daysBefore;
      year = anchor.year;
      break;
    }
  }
  // Whole 400-year runs are skipped at once so a huge day number stays fast.
  if (day > kDaysPer400Years) {
    const int runs = (day - 1) / kDaysPer400Years;
    day -= runs * kDaysPer400Years;
    year += runs * 400;
  }
  // Zero and negative days stay in the anchor year.
  while (day > DaysInYear(year)) {
    day -= DaysInYear(year);
    ++year;
  }
  return year;
}

int TQdx_Date::MonthOfDay(int& dayOfYear, int year) const {
  const bool leap = IsLeapYear(year);
  for (int month = 12; month >= 2; --month) {
    if (dayOfYear > MonthStart(month, leap)) {
      dayOfYear -= MonthStart(month, leap);
      return month;
    }
  }
  return 1;
}

void TQdx_Date::FormatDay(TQdx_Date& target, int dayNumber) const {
  int day = dayNumber;
  int year = YearOfDay(day);
  const int month = MonthOfDay(day, year);
  if (EraMode) {
    char scratch[32];
    std::snprintf(scratch, sizeof scratch, "%4.4d/%2.2d/%2.2d", year, month, day);
    year = EraYearOf(scratch);
  }
  // The longest text, "1900.01.-2147483648" for the lowest day number, fits.
  if (EraMode)
    std::snprintf(target.Text, sizeof target.Text, NoZeroPad ? "%2.2d.%d.%d" : "%2.2d.%2.2d.%2.2d", year,
                  month, day);
  else
    std::snprintf(target.Text, sizeof target.Text, NoZeroPad ? "%4.4d.%d.%d" : "%4.4d.%2.2d.%2.2d", year,
                  month, day);
}

bool TQdx_Date::SplitDateText(std::string_view text, int& year, int& month, int& day) const {
  return SplitWithYearStyle(text, EraMode != 0, year, month, day);
}

int TQdx_Date::DayNumberOf(std::string_view text) const { return DayNumberWithYearStyle(text, EraMode != 0); }

bool TQdx_Date::SetToday() {
  const LocalDate today = clock_->Today();
  // The clock's date goes through the two-digit-year text, so it lands in
  // 1980..2079 whatever century the clock shows.
  const int twoDigitYear = (today.year % 100 + 100) % 100;
  char text[48];
  std::snprintf(text, sizeof text, "00%2.2d/%2.2d/%2.2d", twoDigitYear, today.month, today.day);
  DayNumber = DayNumberWithYearStyle(text, false);
  if (DayNumber == 0) return false;
  FormatDay(*this, DayNumber);
  return true;
}

bool TQdx_Date::AddDays(int n) {
  const std::int64_t moved = std::int64_t{DayNumber} + n;
  if (!FitsInt32(moved)) return false;
  DayNumber = static_cast<std::int32_t>(moved);
  FormatDay(*this, DayNumber);
  return true;
}

int TQdx_Date::EraYearOf(std::string_view dateText) const {
  const auto date = ParseCalendarDate(dateText);
  if (!date) return 0;
  int result = 0;
  // Every entry is looked at, so with an unordered table the last matching
  // entry in table order wins; an entry that is no date ends the search.
  for (const auto& entry : options_->WarekiDate) {
    const std::string_view entryText = FieldText(entry);
    if (entryText.empty()) continue;
    const auto start = ParseCalendarDate(entryText);
    if (!start) return result;
    if (*start <= *date) result = date->year - start->year + 1;
  }
  return result;
}

bool IsEraStartDate(std::string_view text) {
  return text.find('\0') == std::string_view::npos && ParseCalendarDate(text).has_value();
}

std::string DateTextForYears(const TQdx_Date& date, int years) {
  const std::string_view text = FieldText(date.Text);
  switch (years) {
    case 0:
      return std::string(text.substr(std::min<std::size_t>(2, text.size())));
    case 1:
    case 2:
      return std::string(text);
    default:
      return {};
  }
}

std::string ComposeDateText(std::string_view header, int years, bool noZeroPad, const Clock& clock,
                            const OptionRecord& options) {
  TQdx_Date date(options, clock);
  date.Clear();
  date.EraMode = years == 1 ? 1 : 0;
  date.NoZeroPad = noZeroPad ? 1 : 0;
  date.SetToday();
  return CutToDateText(std::string(header) + DateTextForYears(date, years));
}

std::string StepDateText(TQdx_Date& date, int days, std::string_view header, int years, int dateNZ) {
  if (years == 1)
    date.EraMode = 1;
  else if (years == 0 || years == 2)
    date.EraMode = 0;
  if (dateNZ == 1)
    date.NoZeroPad = 1;
  else if (dateNZ == 0)
    date.NoZeroPad = 0;
  date.AddDays(days);
  return CutToDateText(std::string(header) + DateTextForYears(date, years));
}
