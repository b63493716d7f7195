#pragma once
// Saving the name and date seals as files: the stamp pad's save dialog and
// the pictures it writes.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "WorkImage.h"

// The stamp pad's save dialog, one object for both exports: it remembers the
// last file and the filter chosen for the next run.
class ExportSaveDialog {
 public:
  // Filter indexes, from 1 as the dialog counts them.
  static constexpr int kBitmap = 1, kMetafile = 2, kTransparentPng = 3;

  // Runs the dialog; false when the user cancelled.
  bool Execute(HWND owner, const wchar_t* title);

  std::wstring InitialDir;  // empty: the dialog's own choice
  std::wstring FileName;    // as chosen, before its extension is forced
  int FilterIndex = kBitmap;
};

// The path with the extension of its file name replaced by extension (which
// starts with a dot), or the extension added when the name has none.
std::wstring WithExtension(std::wstring_view path, std::wstring_view extension);

// The user's home folder, HOMEDRIVE and HOMEPATH together; empty when unset.
std::wstring HomeFolder();

// The seal drawn on white as 32-bit top-down BGRA with straight alpha: the
// strongest ink opaque, white transparent, and every pixel between in the
// ink's own colour with the coverage that lays it on white as drawn.
std::vector<std::uint8_t> InkOnTransparent(const PackedDib& sealOnWhite);
