// The date seal drawn from an arbitrary record, copied byte for byte as a
// seal format file brings it, in both forms on the recording canvas; the
// date question is answered with the text after the record.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "Clock.h"
#include "DateSeal.h"
#include "FuzzInput.h"
#include "RecordingCanvas.h"
#include "Records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  input.TakeInto(&DateSealSettings, sizeof DateSealSettings);
  const auto flags = input.Take<std::uint8_t>();
  const std::string answer(input.RestText());
  OptionSettings.Rotate = 0;
  OptionSettings.CheckDate = flags & 1;

  const FixedClock clock({2024, 2, 29});
  SealForm form;
  form.clock = &clock;
  form.AskDate = [&answer](std::string_view) { return answer; };
  form.WorkImage = std::make_unique<MemoryWorkImage>();
  DrawDateSealBitmap(form, true);
  form.WorkImage = std::make_unique<MemoryWorkImage>();
  DrawDateSealMetafile(form, flags & 2);
  return 0;
}
