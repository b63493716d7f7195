#pragma once
// Writing the clipboard. Another program may hold it open for a moment, so
// opening retries for about a second before it gives up; a writer that could
// not open it remembers that, and the caller reports it instead of success.

#include <windows.h>

#include "UniqueHandle.h"

// Opens, empties and closes the clipboard; false when it could not be opened.
bool EmptyClipboardNow(HWND owner);

// The registered format "PNG" that browsers, chat and most image editors
// take: a PNG file's bytes in a global block.
UINT PngClipboardFormat();

// Which of the program's picture formats a stamp has put on the clipboard.
struct PlacedFormats {
  bool enhMetafile = false;
  bool metafilePict = false;
  bool dib = false;
  bool png = false;
  bool text = false;  // CF_TEXT, from a text file
  bool Any() const { return enhMetafile || metafilePict || dib || png || text; }
  static PlacedFormats All() { return {true, true, true, true}; }
};

// Nested opening as the program's stamps use it: the clipboard is opened
// once around several writes, and the first write after the outermost
// opening empties it, so old and new contents never mix.
class ClipboardWriter {
 public:
  explicit ClipboardWriter(HWND owner) : owner_(owner) {}
  ~ClipboardWriter();
  ClipboardWriter(const ClipboardWriter&) = delete;
  ClipboardWriter& operator=(const ClipboardWriter&) = delete;

  bool Open();
  void Close();
  // Each takes the data; on success the clipboard owns it, otherwise it is freed.
  bool PutGlobal(UINT format, UniqueHglobal block);
  bool PutEnhMetafile(UniqueHenhmetafile metafile);
  bool PutPng(UniqueHglobal block) { return PutGlobal(PngClipboardFormat(), std::move(block)); }
  // A METAFILEPICT block whose record holds a Windows metafile: on failure
  // both the metafile and the block are freed.
  bool PutMetafilePict(UniqueHglobal block);

  // Whether any opening failed.
  bool Failed() const { return failed_; }
  // What the platform accepted.
  const PlacedFormats& Placed() const { return placed_; }

 private:
  bool Put(UINT format, HANDLE data);

  HWND owner_;
  PlacedFormats placed_;
  int openCount_ = 0;
  bool emptied_ = false;
  bool failed_ = false;
};

// Locks a global block for the guard's life.
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
  ~GlobalLockGuard() {
    if (data_) GlobalUnlock(block_);
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  void* get() const { return data_; }

 private:
  HGLOBAL block_;
  void* data_;
};
