#pragma once
// Reading the real clipboard the way a pasting program would.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "UniqueHandle.h"

namespace harness {

// The formats on the clipboard in the order they were put there.
std::vector<UINT> ClipboardFormats();
// A copy of the bytes of an HGLOBAL format (CF_DIB, CF_TEXT, ...).
std::optional<std::vector<std::uint8_t>> ClipboardBytes(UINT format);
// The enhanced metafile's header, when CF_ENHMETAFILE is present.
std::optional<ENHMETAHEADER> ClipboardEnhMetaHeader();
// The METAFILEPICT record, when CF_METAFILEPICT is present.
std::optional<METAFILEPICT> ClipboardMetafilePict();
// Empties the clipboard and puts one text on it (to see that a stamp replaces it).
bool PutClipboardText(const char* text);

// Another program's hold on the clipboard: opened on a thread of its own
// from construction (which returns once it is held) until destruction.
class ClipboardHeld {
 public:
  ClipboardHeld();
  ~ClipboardHeld();
  ClipboardHeld(const ClipboardHeld&) = delete;
  ClipboardHeld& operator=(const ClipboardHeld&) = delete;

 private:
  static DWORD WINAPI Hold(void* self);
  UniqueHandleObject held_, release_, thread_;
};

}  // namespace harness
