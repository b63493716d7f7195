#pragma once
// Reading the real clipboard the way a pasting program would.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

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

}  // namespace harness
