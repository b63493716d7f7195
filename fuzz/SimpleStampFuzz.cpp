// The square-stamp toolbar's settings from arbitrary stored strings and its
// text stamps from arbitrary texts. The input's first line is the stamp text,
// the following lines are given in turn to every value the toolbar reads;
// the whole input is also read as a name-seal and a date-seal format file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "MemoryStore.h"
#include "RecordingCanvas.h"
#include "SealFormatFile.h"
#include "SimpleStampSettings.h"
#include "TextStamps.h"

namespace {

// The value names in the order the toolbar reads them.
const std::vector<std::string>& ValueNames() {
  static const std::vector<std::string> names = [] {
    MemoryStore probe;
    SimpleStampState state;
    LoadSimpleStamp(probe, state);
    std::vector<std::string> read = probe.ValueNames(VarnelKeyPath(kSimpleStampSection));
    for (int n = 0; n < kSlotCount; ++n) {
      read.push_back("SimpleStampFormt" + std::to_string(n));
      read.push_back("RotateTextFormt" + std::to_string(n));
    }
    return read;
  }();
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::vector<std::string_view> lines = SplitText(input.RestText(), '\n');
  const std::vector<std::string>& names = ValueNames();
  MemoryStore store;
  const std::string path = VarnelKeyPath(kSimpleStampSection);
  for (std::size_t i = 1; i < lines.size() && i - 1 < names.size(); ++i) store.Set(path, names[i - 1], lines[i]);

  SimpleStampState state;
  LoadSimpleStamp(store, state);
  SaveSimpleStamp(store, state, -1, 1);
  SimpleStampState reloaded;
  LoadSimpleStamp(store, reloaded);

  const std::string_view text = lines[0].substr(0, 256);
  for (int n = 0; n < kSlotCount; ++n) {
    MemoryWorkImage square, rotated;
    DrawSquareStamp(square, text, SquareStampFont(reloaded.SquareFormats[n], reloaded.Common));
    const RotatedTextFormat& record = reloaded.RotatedFormats[n];
    DrawRotatedText(rotated, text, RotatedTextFont(record, reloaded.Common), record.Angle);
  }
  const std::string_view bytes = input.RestText();
  NameSealFromFormatFile(bytes.substr(0, kNameSealFileBytes));
  DateSealFromFormatFile(bytes.substr(0, kDateSealFileBytes));
  return 0;
}
