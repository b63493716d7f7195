#include "Clipboard.h"

namespace {

constexpr int kOpenAttempts = 50;
constexpr DWORD kOpenRetryMs = 20;

bool OpenPatiently(HWND owner) {
  for (int i = 0; i < kOpenAttempts; ++i) {
    if (OpenClipboard(owner)) return true;
    Sleep(kOpenRetryMs);
  }
  return false;
}

void FreeMetafilePictBlock(HGLOBAL block) {
  GlobalLockGuard lock(block);
  if (auto* pict = static_cast<METAFILEPICT*>(lock.get()); pict && pict->hMF) DeleteMetaFile(pict->hMF);
}

}  // namespace

UINT PngClipboardFormat() {
  static const UINT format = RegisterClipboardFormatW(L"PNG");
  return format;
}

bool EmptyClipboardNow(HWND owner) {
  if (!OpenPatiently(owner)) return false;
  EmptyClipboard();
  CloseClipboard();
  return true;
}

ClipboardWriter::~ClipboardWriter() {
  while (openCount_ > 0) Close();
}

bool ClipboardWriter::Open() {
  if (openCount_ == 0) {
    if (!OpenPatiently(owner_)) {
      failed_ = true;
      return false;
    }
    emptied_ = false;
  }
  ++openCount_;
  return true;
}

void ClipboardWriter::Close() {
  if (openCount_ == 0) return;
  if (--openCount_ == 0) CloseClipboard();
}

bool ClipboardWriter::Put(UINT format, HANDLE data) {
  if (!Open()) return false;
  if (!emptied_) {
    EmptyClipboard();
    emptied_ = true;
  }
  const bool stored = SetClipboardData(format, data) != nullptr;
  Close();
  if (stored) {
    if (format == CF_ENHMETAFILE) placed_.enhMetafile = true;
    if (format == CF_METAFILEPICT) placed_.metafilePict = true;
    if (format == CF_DIB) placed_.dib = true;
    if (format == CF_TEXT) placed_.text = true;
    if (format != 0 && format == PngClipboardFormat()) placed_.png = true;
  }
  return stored;
}

bool ClipboardWriter::PutGlobal(UINT format, UniqueHglobal block) {
  if (!block || !Put(format, block.get())) return false;
  block.release();  // the clipboard owns the block now
  return true;
}

bool ClipboardWriter::PutEnhMetafile(UniqueHenhmetafile metafile) {
  if (!metafile || !Put(CF_ENHMETAFILE, metafile.get())) return false;
  metafile.release();  // the clipboard owns the metafile now
  return true;
}

bool ClipboardWriter::PutMetafilePict(UniqueHglobal block) {
  if (!block) return false;
  if (!Put(CF_METAFILEPICT, block.get())) {
    FreeMetafilePictBlock(block.get());
    return false;
  }
  block.release();  // the clipboard owns the block and its metafile now
  return true;
}
