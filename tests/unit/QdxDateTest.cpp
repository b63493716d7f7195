#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "Clock.h"
#include "QdxDate.h"
#include "Sjis.h"

namespace {

OptionRecord EraTable(std::initializer_list<const char*> dates) {
  OptionRecord options{};
  int i = 0;
  for (const char* date : dates) CopyToField(options.WarekiDate[i++], date);
  return options;
}

const OptionRecord kDefaultEras = EraTable({"1926/12/25", "1989/01/08", "2019/05/01"});

std::string Formatted(const TQdx_Date& format, int dayNumber) {
  TQdx_Date target(kDefaultEras);
  format.FormatDay(target, dayNumber);
  return target.Text;
}

std::string Western(int dayNumber) { return Formatted(TQdx_Date(kDefaultEras), dayNumber); }

TQdx_Date EraDate(const OptionRecord& options = kDefaultEras) {
  TQdx_Date date(options);
  date.EraMode = 1;
  return date;
}

// An independent calendar for the walk below.
struct Ymd {
  int y, m, d;
  void Next() {
    static const int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    const int length = kLengths[m - 1] + (m == 2 && leap ? 1 : 0);
    if (++d > length) {
      d = 1;
      if (++m > 12) m = 1, ++y;
    }
  }
  std::string Text() const {
    char text[32];
    std::snprintf(text, sizeof text, "%04d.%02d.%02d", y, m, d);
    return text;
  }
};

TEST(QdxDate, DecadeAnchorsAndTheMissingLeapDayOf1900) {
  EXPECT_EQ(Western(1), "1900.01.01");
  EXPECT_EQ(Western(59), "1900.02.28");
  EXPECT_EQ(Western(60), "1900.03.01");
  EXPECT_EQ(Western(36524), "1999.12.31");
  EXPECT_EQ(Western(36525), "2000.01.01");
  EXPECT_EQ(Western(47482), "2029.12.31");
  EXPECT_EQ(Western(47483), "2030.01.01");
  EXPECT_EQ(Western(43585), "2019.05.01");

  const TQdx_Date date(kDefaultEras);
  int day = 36585;  // 2000-03-01, after a 400-year leap day
  EXPECT_EQ(date.YearOfDay(day), 2000);
  EXPECT_EQ(day, 61);
  EXPECT_EQ(date.MonthOfDay(day, 2000), 3);
  EXPECT_EQ(day, 1);
  day = 60;
  EXPECT_EQ(date.MonthOfDay(day, 2020), 2) << "day 60 of a leap year is 29 February";
  EXPECT_EQ(day, 29);

  EXPECT_FALSE(TQdx_Date::IsLeapYear(1900));
  EXPECT_TRUE(TQdx_Date::IsLeapYear(2000));
  EXPECT_TRUE(TQdx_Date::IsLeapYear(2024));
  EXPECT_FALSE(TQdx_Date::IsLeapYear(2100));
}

TEST(QdxDate, EveryDayFrom1900To2100FormatsAsTheCalendarAndReadsBack) {
  const TQdx_Date date(kDefaultEras);
  Ymd expected{1900, 1, 1};
  int dayNumber = 1;
  for (; expected.y <= 2100; ++dayNumber, expected.Next()) {
    const std::string text = Western(dayNumber);
    ASSERT_EQ(text, expected.Text()) << "day " << dayNumber;
    ASSERT_EQ(date.DayNumberOf(text), dayNumber) << text;
  }
  EXPECT_EQ(dayNumber - 1, 73414) << "days up to 2100-12-31";
}

TEST(QdxDate, HugeAndNegativeDayNumbersStayFastAndRoundTrip) {
  const TQdx_Date date(kDefaultEras);
  for (int dayNumber : {INT_MAX, INT_MAX - 1, 146097 * 1000 + 47482, 1'000'000'000, 73415}) {
    const std::string text = Western(dayNumber);
    EXPECT_EQ(date.DayNumberOf(text), dayNumber) << text;
  }
  EXPECT_EQ(Western(INT_MAX), "5881510.07.11");

  // Zero and negative days stay in January 1900, and the longest text fits.
  EXPECT_EQ(Western(0), "1900.01.00");
  EXPECT_EQ(Western(INT_MIN), "1900.01.-2147483648");
  int day = -5;
  EXPECT_EQ(date.YearOfDay(day), 1900);
  EXPECT_EQ(day, -5);

  // Years beyond the calendar conversion have no era year.
  EXPECT_EQ(Formatted(EraDate(), INT_MAX), "00.07.11");
}

TEST(QdxDate, DayNumberOfReadsSeparatorsAndShortYears) {
  const TQdx_Date date(kDefaultEras);
  const int mayDay2019 = 43585;
  for (const char* text : {"2019/05/01", "2019.05.01", "2019-05-01", "2019/5/1", "19/5/1", "2019.05/01"})
    EXPECT_EQ(date.DayNumberOf(text), mayDay2019) << text;
  EXPECT_EQ(Western(date.DayNumberOf("80/1/1")), "1980.01.01");
  EXPECT_EQ(Western(date.DayNumberOf("79/1/1")), "2079.01.01");
  EXPECT_EQ(Western(date.DayNumberOf("0/1/1")), "2000.01.01");
  EXPECT_EQ(Western(date.DayNumberOf("100/1/1")), "1900.01.01") << "years 100 and more stay as written";
  // Parts read as atol does: leading digits only.
  EXPECT_EQ(date.DayNumberOf(" 2019x/05y/01z"), mayDay2019);

  const TQdx_Date era = EraDate();
  EXPECT_EQ(Western(era.DayNumberOf("31/4/30")), "2019.04.30") << "era years count from 1989";
  EXPECT_EQ(Western(era.DayNumberOf("1/1/8")), "1989.01.08");
}

TEST(QdxDate, DayNumberOfLetsOddMonthsAndDaysRunOn) {
  const TQdx_Date date(kDefaultEras);
  EXPECT_EQ(Western(date.DayNumberOf("2019/02/30")), "2019.03.02");
  EXPECT_EQ(Western(date.DayNumberOf("2020/02/30")), "2020.03.01");
  EXPECT_EQ(Western(date.DayNumberOf("2019/13/05")), "2019.01.05") << "month 13 counts as January";
  EXPECT_EQ(Western(date.DayNumberOf("2019/0/05")), "2019.01.05");
  EXPECT_EQ(Western(date.DayNumberOf("2019/12/400")), "2021.01.03");
  EXPECT_EQ(date.DayNumberOf("1900/01/00"), 0);
  // A year before 1900 counts no whole years, only its month and day.
  EXPECT_EQ(date.DayNumberOf("1850/03/01"), 60);
}

TEST(QdxDate, TextsThatAreNoDateTextGiveZero) {
  const TQdx_Date date(kDefaultEras);
  int year = -1, month = -1, day = -1;
  for (const char* text : {"", "2019", "2019/05", "2019/05/01/", "2019/05/01/07", "2019/05/-1", "//-/", "2019 05 01"}) {
    EXPECT_FALSE(date.SplitDateText(text, year, month, day)) << text;
    EXPECT_EQ(date.DayNumberOf(text), 0) << text;
  }
  EXPECT_TRUE(date.SplitDateText("2019//", year, month, day)) << "empty parts read as 0";
  EXPECT_EQ(year, 2019);
  EXPECT_EQ(month, 0);
  EXPECT_EQ(day, 0);

  // Each part may hold 19 bytes, not 20.
  const std::string nineteen = "0000000000000002019";
  EXPECT_TRUE(date.SplitDateText(nineteen + "/5/1", year, month, day));
  EXPECT_EQ(year, 2019);
  EXPECT_EQ(date.DayNumberOf("0" + nineteen + "/5/1"), 0);
  EXPECT_EQ(date.DayNumberOf("2019/5/0" + nineteen), 0);

  // Text after a NUL is not part of the date text.
  EXPECT_EQ(date.DayNumberOf(std::string_view("2019/05/01\0/9", 13)), 43585);
}

TEST(QdxDate, HugeYearsAreFastAndOutOfRangeDaysAreInvalid) {
  const TQdx_Date date(kDefaultEras);
  EXPECT_EQ(date.DayNumberOf("999999999/1/1"), 0);
  EXPECT_EQ(date.DayNumberOf("99999999999999999/1/1"), 0);
  EXPECT_EQ(date.DayNumberOf("5881510/7/11"), INT_MAX);
  EXPECT_EQ(date.DayNumberOf("5881510/7/12"), 0);
  EXPECT_EQ(date.DayNumberOf("1900/1/2147483647"), INT_MAX);
  EXPECT_EQ(date.DayNumberOf("2019/5/2147483647"), 0);
  EXPECT_EQ(date.DayNumberOf("1900/1/99999999999"), INT_MAX) << "the day saturates as atol";

  int year = 0, month = 0, day = 0;
  EXPECT_FALSE(EraDate().SplitDateText("2147483647/1/1", year, month, day))
      << "the era fix-up would leave the 32-bit range";
  EXPECT_TRUE(date.SplitDateText("+2147483647/+1/+1", year, month, day));
  EXPECT_EQ(year, INT_MAX);
}

TEST(QdxDate, EraYearsAtTheBoundariesOfTheDefaultTable) {
  const TQdx_Date era = EraDate();
  EXPECT_EQ(era.EraYearOf("2019/04/30"), 31);
  EXPECT_EQ(era.EraYearOf("2019/05/01"), 1);
  EXPECT_EQ(era.EraYearOf("1989/01/07"), 64);
  EXPECT_EQ(era.EraYearOf("1989/01/08"), 1);
  EXPECT_EQ(era.EraYearOf("1926/12/24"), 0);
  EXPECT_EQ(era.EraYearOf("1926/12/25"), 1);
  EXPECT_EQ(era.EraYearOf("2019/12/31"), 1);
  EXPECT_EQ(era.EraYearOf("2020/01/01"), 2) << "the era year steps up on 1 January";
  EXPECT_EQ(era.EraYearOf("2019/5/1"), 1);

  EXPECT_EQ(Formatted(era, era.DayNumberOf("31/04/30")), "31.04.30");
  EXPECT_EQ(Formatted(era, 43585), "01.05.01");
  EXPECT_EQ(Formatted(era, 32514), "64.01.07");
  EXPECT_EQ(Formatted(era, 32515), "01.01.08");
  EXPECT_EQ(Formatted(era, 1), "00.01.01") << "before every era";

  TQdx_Date noPad = EraDate();
  noPad.NoZeroPad = 1;
  EXPECT_EQ(Formatted(noPad, 43585), "01.5.1");
  TQdx_Date western(kDefaultEras);
  western.NoZeroPad = 1;
  EXPECT_EQ(Formatted(western, 45634), "2024.12.9");
}

TEST(QdxDate, EraTableIsReadInTableOrderAndStopsAtAnEntryThatIsNoDate) {
  // The later-starting era also matches, but the last match in table order wins.
  const OptionRecord unordered = EraTable({"2019/05/01", "1989/01/08", "", "", ""});
  EXPECT_EQ(EraDate(unordered).EraYearOf("2020/06/01"), 32);
  EXPECT_EQ(EraDate(unordered).EraYearOf("2019/04/30"), 31);

  const OptionRecord gaps = EraTable({"", "1989/01/08", "", "2019/05/01", ""});
  EXPECT_EQ(EraDate(gaps).EraYearOf("2020/06/01"), 2) << "empty entries are skipped";

  const OptionRecord badSecond = EraTable({"1926/12/25", "1989/02/30", "2019/05/01"});
  EXPECT_EQ(EraDate(badSecond).EraYearOf("2020/06/01"), 95);
  for (const char* bad : {"1989/13/08", "89/01/08", "1989/01", "1989/01/08x", "1989-01-08", " "}) {
    const OptionRecord badFirst = EraTable({bad, "2019/05/01"});
    EXPECT_EQ(EraDate(badFirst).EraYearOf("2020/06/01"), 0) << bad;
  }

  // A leap day is a date only in a leap year.
  EXPECT_EQ(EraDate(EraTable({"2020/02/29"})).EraYearOf("2020/03/01"), 1);
  EXPECT_EQ(EraDate(EraTable({"2019/02/29"})).EraYearOf("2020/03/01"), 0);

  const TQdx_Date era = EraDate();
  for (const char* notADate : {"", "2019/04/31", "2019/00/01", "19/04/30", "12019/01/01", "0000/01/01"})
    EXPECT_EQ(era.EraYearOf(notADate), 0) << notADate;
}

TEST(QdxDate, AddDaysMovesAcrossLeapDaysAndRefusesToLeaveTheRange) {
  TQdx_Date date(kDefaultEras);
  date.DayNumber = date.DayNumberOf("2020/03/01");
  EXPECT_TRUE(date.AddDays(-1));
  EXPECT_STREQ(date.Text, "2020.02.29");
  EXPECT_TRUE(date.AddDays(307));
  EXPECT_STREQ(date.Text, "2021.01.01");

  date.DayNumber = INT_MAX - 1;
  EXPECT_TRUE(date.AddDays(1));
  EXPECT_EQ(date.DayNumber, INT_MAX);
  EXPECT_FALSE(date.AddDays(1));
  EXPECT_EQ(date.DayNumber, INT_MAX);
  EXPECT_STREQ(date.Text, "5881510.07.11");

  date.DayNumber = INT_MIN + 1;
  EXPECT_FALSE(date.AddDays(INT_MIN));
  EXPECT_EQ(date.DayNumber, INT_MIN + 1);
}

TEST(QdxDate, SetTodayReadsTheClockThroughATwoDigitYear) {
  FixedClock clock({2019, 5, 1});
  TQdx_Date date(kDefaultEras, clock);
  date.Clear();
  EXPECT_TRUE(date.SetToday());
  EXPECT_EQ(date.DayNumber, 43585);
  EXPECT_STREQ(date.Text, "2019.05.01");

  date.EraMode = 1;
  date.NoZeroPad = 1;
  EXPECT_TRUE(date.SetToday());
  EXPECT_EQ(date.DayNumber, 43585) << "the year of the clock is Western even in era mode";
  EXPECT_STREQ(date.Text, "01.5.1");
  EXPECT_EQ(date.EraMode, 1);

  date.Clear();
  clock.Set({2080, 2, 29});
  EXPECT_TRUE(date.SetToday());
  EXPECT_STREQ(date.Text, "1980.02.29");
  clock.Set({1979, 12, 31});
  EXPECT_TRUE(date.SetToday());
  EXPECT_STREQ(date.Text, "2079.12.31");
  clock.Set({-1, 1, 1});
  EXPECT_TRUE(date.SetToday());
  EXPECT_STREQ(date.Text, "1999.01.01");

  // A month with a minus sign makes a fourth part: no date.
  clock.Set({2019, -1, 1});
  EXPECT_FALSE(date.SetToday());
  EXPECT_EQ(date.DayNumber, 0);
}

TEST(QdxDate, ComposedTextsFollowTheYearStyle) {
  const FixedClock clock({2019, 5, 1});
  EXPECT_EQ(ComposeDateText("", 0, false, clock, kDefaultEras), "19.05.01");
  EXPECT_EQ(ComposeDateText("", 1, false, clock, kDefaultEras), "01.05.01");
  EXPECT_EQ(ComposeDateText("", 2, false, clock, kDefaultEras), "2019.05.01");
  EXPECT_EQ(ComposeDateText("", 2, true, clock, kDefaultEras), "2019.5.1");
  EXPECT_EQ(ComposeDateText("令和", 1, true, clock, kDefaultEras), "令和01.5.1");
  EXPECT_EQ(ComposeDateText("H", 3, false, clock, kDefaultEras), "H");
  EXPECT_EQ(ComposeDateText("H", -1, false, clock, kDefaultEras), "H");

  TQdx_Date empty(kDefaultEras);
  EXPECT_EQ(DateTextForYears(empty, 0), "");
  CopyToField(empty.Text, "7");
  EXPECT_EQ(DateTextForYears(empty, 0), "");

  // The text is cut to 63 bytes without splitting a double-byte character.
  std::string header = "AB";
  for (int i = 0; i < 31; ++i) header += "令";
  const std::string cut = ComposeDateText(header, 2, false, clock, kDefaultEras);
  EXPECT_EQ(cut.size(), 62u);
  EXPECT_EQ(cut, header.substr(0, 62));
  EXPECT_EQ(ComposeDateText(std::string(60, 'x'), 2, false, clock, kDefaultEras), std::string(60, 'x') + "201");
}

TEST(QdxDate, DialogStepsAccumulateAndFollowTheFlagRules) {
  const FixedClock clock({2019, 5, 1});
  TQdx_Date date(kDefaultEras, clock);
  date.Clear();
  ASSERT_TRUE(date.SetToday());

  EXPECT_EQ(StepDateText(date, -1, "H", 1, 0), "H31.04.30");
  EXPECT_EQ(StepDateText(date, 1, "R", 1, 0), "R01.05.01");
  EXPECT_EQ(StepDateText(date, 1, "", 0, 0), "19.05.02");
  EXPECT_EQ(StepDateText(date, 1, "", 2, 1), "2019.5.3");
  EXPECT_EQ(StepDateText(date, 1, "", 2, 5), "2019.5.4") << "DateNZ 5 leaves the flag";
  EXPECT_EQ(StepDateText(date, 1, "", 2, 0), "2019.05.05");
  EXPECT_EQ(StepDateText(date, 1, "H", 7, 0), "H") << "other Years print nothing";
  EXPECT_EQ(date.EraMode, 0);
  EXPECT_EQ(date.DayNumber, 43585 + 5);

  date.EraMode = 1;
  StepDateText(date, 0, "", 9, 0);
  EXPECT_EQ(date.EraMode, 1) << "Years 9 leaves the era flag";
  EXPECT_STREQ(date.Text, "01.05.06");

  for (int i = 0; i < 239; ++i) StepDateText(date, 1, "", 1, 0);
  EXPECT_EQ(StepDateText(date, 1, "", 1, 0), "02.01.01");
}

}  // namespace
