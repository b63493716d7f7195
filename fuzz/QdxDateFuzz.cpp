// Date texts and era arithmetic over an arbitrary era table: the input gives
// the table (names, then start dates, fixed widths), a day step, the flags
// and then the date text.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Clock.h"
#include "FuzzInput.h"
#include "QdxDate.h"
#include "Records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  OptionRecord options{};
  input.TakeInto(options.WarekiName, sizeof options.WarekiName);
  input.TakeInto(options.WarekiDate, sizeof options.WarekiDate);
  const auto step = input.Take<std::int32_t>();
  const auto flags = input.Take<std::uint8_t>();
  const std::string_view text = input.RestText();

  const FixedClock clock({2019, 4, 30});
  TQdx_Date date(options, clock);
  date.EraMode = flags & 1;
  date.NoZeroPad = flags & 2;

  int year = 0, month = 0, day = 0;
  date.SplitDateText(text, year, month, day);
  const int dayNumber = date.DayNumberOf(text);
  date.EraYearOf(text);

  date.FormatDay(date, dayNumber);
  date.EraYearOf(date.Text);
  date.AddDays(step);
  DateTextForYears(date, flags >> 2 & 3);
  StepDateText(date, step, text, flags >> 4 & 3, flags >> 6);
  ComposeDateText(text, flags >> 2 & 3, flags & 2, clock, options);
  return 0;
}
