// The name and date seals saved as files: the bitmap as drawn, the picture
// metafile exactly as the clipboard gets it, or a PNG with a transparent
// background for programs that take no metafiles.

#include "Export.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "DateSeal.h"
#include "Dib.h"
#include "FileSave.h"
#include "ImageCodec.h"
#include "Mainform.h"
#include "NameSeal.h"
#include "Settings.h"

namespace {

constexpr wchar_t kFilter[] =
    L"ビットマップ(*.bmp)\0*.bmp\0"
    L"メタファイル(*.wmf)\0*.wmf\0"
    L"PNG画像（透過）(*.png)\0*.png\0";

std::wstring Environment(const wchar_t* name) {
  const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return {};
  std::vector<wchar_t> value(n, L'\0');
  const DWORD written = GetEnvironmentVariableW(name, value.data(), n);
  return written > 0 && written < n ? std::wstring(value.data(), written) : std::wstring();
}

}  // namespace

bool ExportSaveDialog::Execute(HWND owner, const wchar_t* title) {
  std::vector<wchar_t> file(32768, L'\0');
  lstrcpynW(file.data(), FileName.c_str(), static_cast<int>(file.size()));
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = static_cast<DWORD>(FilterIndex);
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  dialog.lpstrTitle = title;
  // No overwrite question: the extension is forced after the dialog.
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return false;
  FileName = file.data();
  FilterIndex = static_cast<int>(dialog.nFilterIndex);
  return true;
}

std::wstring WithExtension(std::wstring_view path, std::wstring_view extension) {
  const std::size_t folderEnd = path.find_last_of(L"\\/:");
  const std::size_t nameStart = folderEnd == std::wstring_view::npos ? 0 : folderEnd + 1;
  const std::size_t dot = path.find_last_of(L'.');
  const std::wstring_view stem = dot != std::wstring_view::npos && dot >= nameStart ? path.substr(0, dot) : path;
  return std::wstring(stem) + std::wstring(extension);
}

// HOMEPATH alone has no drive and would point at the current drive, which
// is the program's.
std::wstring HomeFolder() {
  const std::wstring drive = Environment(L"HOMEDRIVE"), path = Environment(L"HOMEPATH");
  if (!drive.empty() && !path.empty()) return drive + path;
  return Environment(L"USERPROFILE");
}

std::vector<std::uint8_t> InkOnTransparent(const PackedDib& sealOnWhite) {
  const DibView view(sealOnWhite);
  if (!view.Valid() || view.BitCount() != 24) return {};
  const int width = view.Width(), height = view.Height();
  // How far each pixel is from white: its palest channel's distance.
  auto inkOf = [](const std::uint8_t* p) { return 255 - std::min({p[0], p[1], p[2]}); };
  int strongest = 0;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = view.Row(y);
    for (int x = 0; x < width; ++x) strongest = std::max(strongest, inkOf(row + 3 * x));
  }
  std::vector<std::uint8_t> bgra(static_cast<std::size_t>(width) * height * 4, 0);
  if (strongest == 0) return bgra;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = view.Row(y);
    std::uint8_t* out = bgra.data() + static_cast<std::size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, in += 3, out += 4) {
      const int ink = inkOf(in);
      if (ink == 0) continue;
      const int alpha = std::min(255, (ink * 255 + strongest / 2) / strongest);
      // The colour that, laid on white with this coverage, gives the pixel.
      for (int c = 0; c < 3; ++c)
        out[c] = static_cast<std::uint8_t>(std::clamp(255 - ((255 - in[c]) * 255 + alpha / 2) / alpha, 0, 255));
      out[3] = static_cast<std::uint8_t>(alpha);
    }
  }
  return bgra;
}

void TForm1::mNameExpClick() {
  ExportSeal(
      NameSealResolution(), true, L"認印画像をファイル化", [this] { LoadNameSealSettings(store_); },
      [this] { DrawNameSealBitmap(Seal); });
}

void TForm1::mDateExpClick() {
  ExportSeal(
      DateSealResolution(), false, L"日付印画像をファイル化", [this] { LoadDateSealSettings(store_); },
      [this] { DrawDateSealBitmap(Seal, true); });
}

void TForm1::ExportSeal(int resolution, bool fromHome, const wchar_t* title, const std::function<void()>& reload,
                        const std::function<void()>& draw) {
  if (Policy.FileOutputOff()) return;
  const BusyScope busy(*this);
  if (!PasswordGate()) return;
  if (fromHome) SaveDialog.InitialDir = HomeFolder();
  if (!SaveDialog.Execute(hwnd_, title)) return;
  const std::wstring chosen = SaveDialog.FileName;
  reload();
  CreateWorkImage();
  draw();
  std::wstring path;
  DWORD error = ERROR_SUCCESS;
  switch (SaveDialog.FilterIndex) {
    case ExportSaveDialog::kBitmap: {
      path = WithExtension(chosen, L".bmp");
      const PackedDib dib = Work().BitmapAsDib24();
      error = SaveReplacing(path, [&](const std::wstring& temporary) { return WriteBmpFile(temporary, dib); });
      break;
    }
    case ExportSaveDialog::kMetafile:
      path = WithExtension(chosen, L".wmf");
      error = SaveSealPicture(resolution, path);
      break;
    case ExportSaveDialog::kTransparentPng:
      path = WithExtension(chosen, L".png");
      error = SaveSealPng(resolution, path);
      break;
  }
  FreeWorkImage();
  if (error != ERROR_SUCCESS) {
    ReportSaveFailure(hwnd_, path, error);
    return;
  }
  if (!path.empty()) SaveDialog.FileName = path;
}

// The metafile the clipboard would get, written as an enhanced metafile.
DWORD TForm1::SaveSealPicture(int resolution, const std::wstring& fileName) {
  const UniqueHenhmetafile picture = BuildSealPicture(resolution);
  if (!picture) return ERROR_NOT_ENOUGH_MEMORY;
  return SaveReplacing(fileName, [&](const std::wstring& temporary) {
    return static_cast<bool>(UniqueHenhmetafile(CopyEnhMetaFileW(picture.get(), temporary.c_str())));
  });
}

// The seal as drawn, its paper made transparent, with the stamp resolution
// as its physical size.
DWORD TForm1::SaveSealPng(int resolution, const std::wstring& fileName) {
  const PackedDib dib = Work().BitmapAsDib24();
  const std::vector<std::uint8_t> bgra = InkOnTransparent(dib);
  if (bgra.empty()) return ERROR_NOT_ENOUGH_MEMORY;
  const int width = Work().BitmapWidth(), height = Work().BitmapHeight();
  return SaveReplacing(fileName, [&](const std::wstring& temporary) {
    return EncodePngFile(temporary, bgra.data(), width, height, resolution);
  });
}
