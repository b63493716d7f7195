#include "Clipboard.h"

#include <cstring>

namespace harness {
namespace {

// Another process may hold the clipboard for a moment.
class ClipboardSession {
 public:
  ClipboardSession() {
    for (int i = 0; i < 100 && !(open_ = OpenClipboard(nullptr)); ++i) Sleep(10);
  }
  ~ClipboardSession() {
    if (open_) CloseClipboard();
  }
  explicit operator bool() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace

std::vector<UINT> ClipboardFormats() {
  std::vector<UINT> formats;
  ClipboardSession session;
  if (!session) return formats;
  for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f)) formats.push_back(f);
  return formats;
}

std::optional<std::vector<std::uint8_t>> ClipboardBytes(UINT format) {
  ClipboardSession session;
  if (!session) return std::nullopt;
  HANDLE data = GetClipboardData(format);
  if (!data) return std::nullopt;
  const SIZE_T size = GlobalSize(data);
  const void* p = GlobalLock(data);
  if (!p) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<const std::uint8_t*>(p), static_cast<const std::uint8_t*>(p) + size);
  GlobalUnlock(data);
  return bytes;
}

std::optional<ENHMETAHEADER> ClipboardEnhMetaHeader() {
  ClipboardSession session;
  if (!session) return std::nullopt;
  auto emf = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
  ENHMETAHEADER header{};
  if (!emf || GetEnhMetaFileHeader(emf, sizeof header, &header) == 0) return std::nullopt;
  return header;
}

std::optional<METAFILEPICT> ClipboardMetafilePict() {
  ClipboardSession session;
  if (!session) return std::nullopt;
  HANDLE data = GetClipboardData(CF_METAFILEPICT);
  if (!data) return std::nullopt;
  const auto* p = static_cast<const METAFILEPICT*>(GlobalLock(data));
  if (!p) return std::nullopt;
  METAFILEPICT pict = *p;
  GlobalUnlock(data);
  return pict;
}

bool PutClipboardText(const char* text) {
  ClipboardSession session;
  if (!session || !EmptyClipboard()) return false;
  const std::size_t size = std::strlen(text) + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return false;
  std::memcpy(GlobalLock(block), text, size);
  GlobalUnlock(block);
  if (!SetClipboardData(CF_TEXT, block)) {
    GlobalFree(block);
    return false;
  }
  return true;  // the clipboard owns the block now
}

ClipboardHeld::ClipboardHeld()
    : held_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  thread_.reset(CreateThread(nullptr, 0, Hold, this, 0, nullptr));
  WaitForSingleObject(held_.get(), 5000);
}

ClipboardHeld::~ClipboardHeld() {
  SetEvent(release_.get());
  WaitForSingleObject(thread_.get(), 5000);
}

DWORD WINAPI ClipboardHeld::Hold(void* self) {
  auto* held = static_cast<ClipboardHeld*>(self);
  const bool open = OpenClipboard(nullptr);
  SetEvent(held->held_.get());
  WaitForSingleObject(held->release_.get(), 20000);
  if (open) CloseClipboard();
  return 0;
}

}  // namespace harness
