// The date seal drawn from an arbitrary record, copied byte for byte as a
// seal format file brings it, in both forms on the recording canvas. The
// input is a flags byte, the record and the answer to the date question.

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
  const auto flags = input.Take<std::uint8_t>();
  // The reserved tail is never read; leaving it out keeps inputs short.
  DateSealSettings = {};
  input.TakeInto(&DateSealSettings.Main, sizeof DateSealSettings.Main);
  input.TakeInto(&DateSealSettings.Ext, offsetof(DateSealExt, reserved));
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
