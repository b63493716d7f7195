// The stamp pad's bitmap seal items: the cutter that makes the seal, erasing
// it, and what the administrator policy switches off of them and of the
// file export.

#include <optional>
#include <string>

#include "FileSave.h"
#include "Imagecut.h"
#include "Mainform.h"
#include "MenuIds.h"
#include "Settings.h"
#include "Sjis.h"
#include "Tasktray.h"
#include "Text.h"

void TForm1::BitmapEditClick() {
  if (Policy.BitmapEditOff()) return;
  const BusyScope busy(*this);
  {
    const TrayMenuOff disabled(tray_);
    const int resolution = OptionSettings.Bitmap1Resolution;
    RunImageCutter(hwnd_, store_);
    // The resolution chosen counts even when no seal was saved; the
    // preview below reloads the options, so it is stored now.
    if (OptionSettings.Bitmap1Resolution != resolution)
      if (auto root = store_.Open(VarnelKeyPath("")))
        root->Write("Bitmap1Resolution", std::to_string(OptionSettings.Bitmap1Resolution));
  }
  LoadBitmapSealPreview();
}

void TForm1::EraseStampClick() {
  if (Policy.BitmapEditOff() || FieldText(OptionSettings.Bitmap1) == "0") return;
  const BusyScope busy(*this);
  if (MessageBoxW(hwnd_, L"保管されているﾋﾞｯﾄﾏｯﾌﾟ印鑑を削除します", L"Varnel印鑑", MB_OKCANCEL | MB_ICONQUESTION) !=
      IDOK)
    return;
  const std::optional<std::wstring> file = WideFromCp932(FieldText(OptionSettings.Bitmap1));
  if (file && DeleteFileW(file->c_str())) {
    CopyToField(OptionSettings.Bitmap1, "0");
    SaveOptionSettings(store_);
  } else if (const DWORD error = GetLastError(); file && error != ERROR_FILE_NOT_FOUND &&
                                                 error != ERROR_PATH_NOT_FOUND) {
    // The seal stays; the user learns why it could not go.
    const std::wstring text = L"ビットマップ印を削除できませんでした。\n" + *file + L"\n\n" + SystemErrorText(error);
    MessageBoxW(hwnd_, text.c_str(), L"Varnel印鑑", MB_OK | MB_ICONERROR);
  }
  LoadBitmapSealPreview();
}

