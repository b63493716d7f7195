// The name and date seals saved as files: the bitmap as drawn, the picture
// metafile exactly as the clipboard gets it, or a PNG with a transparent
// background for programs that take no metafiles.

#include "SealExport.h"

#include <commdlg.h>

#include <vector>

#include "Dib.h"
#include "Docidform.h"
#include "FileSave.h"
#include "GdiGlyphSource.h"
#include "ImageCodec.h"
#include "SealOutput.h"
#include "SealSvgFile.h"
#include "Security.h"
#include "Settings.h"
#include "Sjis.h"

namespace {

constexpr wchar_t kFilter[] =
    L"ビットマップ(*.bmp)\0*.bmp\0"
    L"メタファイル(*.wmf)\0*.wmf\0"
    L"PNG画像（透過）(*.png)\0*.png\0"
    L"SVG画像(*.svg)\0*.svg\0";

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

void ExportSeal(StampDesk& desk, ExportSaveDialog& dialog, HWND owner, const SealExportRequest& request) {
  const StampDesk::BusyScope busy(desk);
  if (!desk.PasswordGate(owner)) return;
  if (request.fromHome) dialog.InitialDir = HomeFolder();
  if (!dialog.Execute(owner, request.title)) return;
  const std::wstring chosen = dialog.FileName;
  SealForm& seal = desk.Seal();
  request.reload();
  CreateWorkImage(seal);
  request.draw();
  // A saved seal is pressed as a stamp of it would be.
  const InkImpression ink = desk.Impression();
  ApplyInkEffect(Work(seal), request.resolution, ink);
  const SIZE pixels{Work(seal).BitmapWidth(), Work(seal).BitmapHeight()};
  std::wstring path;
  DWORD error = ERROR_SUCCESS;
  StampPicture picture = StampPicture::kFileBmp;
  switch (dialog.FilterIndex) {
    case ExportSaveDialog::kBitmap: {
      path = WithExtension(chosen, L".bmp");
      const PackedDib dib = Work(seal).BitmapAsDib24();
      error = SaveReplacing(path, [&](const std::wstring& temporary) { return WriteBmpFile(temporary, dib); });
      break;
    }
    case ExportSaveDialog::kMetafile:
      path = WithExtension(chosen, L".wmf");
      error = SaveSealPicture(Work(seal), request.resolution, path, owner, ink.Any());
      picture = StampPicture::kFileEmf;
      break;
    case ExportSaveDialog::kTransparentPng:
      path = WithExtension(chosen, L".png");
      error = SaveSealPng(Work(seal), request.resolution, path);
      picture = StampPicture::kFilePng;
      break;
    case ExportSaveDialog::kSvg:
      path = WithExtension(chosen, L".svg");
      error = SaveSealSvgFile(request, path, owner);
      picture = StampPicture::kFileSvg;
      break;
  }
  FreeWorkImage(seal);
  if (error != ERROR_SUCCESS) {
    ReportSaveFailure(owner, path, error);
    return;
  }
  if (path.empty()) return;
  dialog.FileName = path;
  if (auto label = FileLabel(path, picture, request.seal, request.words ? request.words() : std::string(),
                             request.resolution, pixels))
    desk.Record(*label, owner);
}

void MarkForCopyGuard(VectorDrawing& drawing, int& resolution, const VectorTools& tools, HWND owner) {
  if (OptionSettings.CopyGuard == 0) return;
  const DocumentIdAnswer documentId = AskDocumentId(owner);
  if (!documentId.Accepted) return;
  // Laid out as the clipboard's picture lays out its marks: in reference pixels.
  const std::string code = MakeAuthCode(FieldText(OptionSettings.UIDK));
  const int screen = GdiWorkImage::ReferencePixelsPerMetre();
  drawing = WithSecurityMarks(drawing, resolution, {documentId.Text, code}, screen, OptionSettings.RezoHosei, tools);
  resolution = screen;
}

DWORD SaveSealSvgFile(const SealExportRequest& request, const std::wstring& fileName, HWND owner) {
  if (!request.drawVector) return ERROR_NOT_SUPPORTED;
  GdiGlyphSource glyphs;
  const VectorTools tools{glyphs, InkOnTransparent};
  VectorDrawing drawing = request.drawVector(tools);
  int resolution = request.resolution;
  MarkForCopyGuard(drawing, resolution, tools, owner);
  return SaveSealSvg(fileName, drawing, resolution, request.words ? request.words() : std::string());
}

// The metafile the clipboard would get, written as an enhanced metafile.
DWORD SaveSealPicture(GdiWorkImage& seal, int resolution, const std::wstring& fileName, HWND owner,
                      bool pressed) {
  const UniqueHenhmetafile picture = BuildSealPicture(seal, resolution, owner, pressed).metafile;
  if (!picture) return ERROR_NOT_ENOUGH_MEMORY;
  return SaveReplacing(fileName, [&](const std::wstring& temporary) {
    return static_cast<bool>(UniqueHenhmetafile(CopyEnhMetaFileW(picture.get(), temporary.c_str())));
  });
}

// The seal as drawn, its paper made transparent, with the stamp resolution
// as its physical size.
DWORD SaveSealPng(GdiWorkImage& seal, int resolution, const std::wstring& fileName) {
  const PackedDib dib = seal.BitmapAsDib24();
  const std::vector<std::uint8_t> bgra = InkOnTransparent(dib);
  if (bgra.empty()) return ERROR_NOT_ENOUGH_MEMORY;
  const int width = seal.BitmapWidth(), height = seal.BitmapHeight();
  return SaveReplacing(fileName, [&](const std::wstring& temporary) {
    return EncodePngFile(temporary, bgra.data(), width, height, resolution);
  });
}
