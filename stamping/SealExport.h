#pragma once
// Saving the name and date seals as files: the stamp pad's save dialog and
// the pictures it writes.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "GdiWorkImage.h"
#include "SealVectors.h"
#include "StampDesk.h"

// The stamp pad's save dialog, one object for both exports: it remembers the
// last file and the filter chosen for the next run.
class ExportSaveDialog {
 public:
  // Filter indexes, from 1 as the dialog counts them.
  static constexpr int kBitmap = 1, kMetafile = 2, kTransparentPng = 3, kSvg = 4;

  // Runs the dialog; false when the user cancelled.
  bool Execute(HWND owner, const wchar_t* title);

  std::wstring InitialDir;  // empty: the dialog's own choice
  std::wstring FileName;    // as chosen, before its extension is forced
  int FilterIndex = kBitmap;
};

// One export: the seal's resolution, whether the dialog starts in the
// user's home folder, its title, how the seal is reloaded and drawn (as the
// bitmap, and after it as outlines for an SVG file), and for the stamp log
// which seal it is and what it says.
struct SealExportRequest {
  int resolution = 0;
  bool fromHome = false;
  const wchar_t* title = L"";
  std::function<void()> reload;
  std::function<void()> draw;
  std::function<VectorDrawing(const VectorTools&)> drawVector;
  StampSeal seal = StampSeal::kName;
  std::function<std::string()> words;
};

// Asks the password when the options say so, then the file, then writes the
// seal in the chosen form; the program is busy throughout. A file that
// cannot be written is reported with the platform's reason.
void ExportSeal(StampDesk& desk, ExportSaveDialog& dialog, HWND owner, const SealExportRequest& request);

// The picture metafile the clipboard would get, written as an enhanced
// metafile; 0 or the platform's error code.
DWORD SaveSealPicture(GdiWorkImage& seal, int resolution, const std::wstring& fileName, HWND owner,
                      bool pressed = false);
// The seal as drawn, its paper transparent, with the stamp resolution as its
// physical size; 0 or the platform's error code.
DWORD SaveSealPng(GdiWorkImage& seal, int resolution, const std::wstring& fileName);
// The copy guard's marks below a seal drawn as outlines, laid out as on the
// clipboard's picture, when the options ask for them and the user gives the
// document ID; the drawing then has the reference resolution.
void MarkForCopyGuard(VectorDrawing& drawing, int& resolution, const VectorTools& tools, HWND owner);
// The seal as outlines in an SVG file at its designed size, with the copy
// guard's marks below it when the options ask for them and the document ID
// is given; 0 or the platform's error code.
DWORD SaveSealSvgFile(const SealExportRequest& request, const std::wstring& fileName, HWND owner);

// The path with the extension of its file name replaced by extension (which
// starts with a dot), or the extension added when the name has none.
std::wstring WithExtension(std::wstring_view path, std::wstring_view extension);

// The user's home folder, HOMEDRIVE and HOMEPATH together; empty when unset.
std::wstring HomeFolder();
