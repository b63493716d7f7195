#include "Bitmapsave.h"

#include <algorithm>

#include "Dialog.h"
#include "Records.h"
#include "Text.h"
#include "resource.h"

namespace {

constexpr std::wstring_view kExtension = L".bmp";

bool IsReservedDeviceName(std::wstring stem) {
  std::transform(stem.begin(), stem.end(), stem.begin(),
                 [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; });
  if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL") return true;
  return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) && stem[3] >= L'1' &&
         stem[3] <= L'9';
}

bool HasForbiddenCharacter(std::wstring_view name) {
  constexpr std::wstring_view kForbidden = L"<>\"|?*";
  return std::any_of(name.begin(), name.end(),
                     [&](wchar_t c) { return c < 0x20 || kForbidden.find(c) != std::wstring_view::npos; });
}

class TBmpSaveForm : public ModalDialog {
 public:
  explicit TBmpSaveForm(std::wstring suggestion) : suggestion_(std::move(suggestion)) {}
  std::optional<std::string> Name;

 protected:
  void OnInitDialog() override {
    SetItemText(IDC_BMPSAVE_EDIT, suggestion_);
    SendMessageW(Item(IDC_BMPSAVE_EDIT), EM_SETSEL, 0, -1);
    SetFocus(Item(IDC_BMPSAVE_EDIT));
  }
  // The dialog manager turns Enter into IDOK (result 1) and Esc into
  // IDCANCEL (result 2).
  bool OnCommand(int id, int code) override {
    if (code != BN_CLICKED) return false;
    if (id == IDOK) {
      OkClick();
      return true;
    }
    if (id == IDCANCEL) {
      End(IDCANCEL);
      return true;
    }
    return false;
  }

 private:
  void OkClick() {
    std::wstring problem;
    Name = BitmapSealFileName(ItemText(IDC_BMPSAVE_EDIT), problem);
    if (Name) {
      End(IDOK);
      return;
    }
    MessageBoxW(hwnd_, problem.c_str(), L"", MB_OK);
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_BMPSAVE_EDIT)), TRUE);
  }

  std::wstring suggestion_;
};

}  // namespace

std::optional<std::string> BitmapSealFileName(std::wstring_view typed, std::wstring& problem) {
  const std::size_t folderEnd = typed.find_last_of(L"\\/:");
  std::wstring name(folderEnd == std::wstring_view::npos ? typed : typed.substr(folderEnd + 1));
  if (const std::size_t dot = name.find_last_of(L'.'); dot != std::wstring::npos) name.erase(dot);
  // Windows drops spaces and dots at the end of a file name.
  while (!name.empty() && (name.back() == L' ' || name.back() == L'.')) name.pop_back();
  name.erase(0, std::min(name.size(), name.find_first_not_of(L' ')));
  if (name.empty()) {
    problem = L"ファイル名を入力してください";
    return std::nullopt;
  }
  if (HasForbiddenCharacter(name) || IsReservedDeviceName(name)) {
    problem = L"ファイル名に使用できない文字が含まれています";
    return std::nullopt;
  }
  const std::optional<std::string> bytes = Cp932FromWide(name + std::wstring(kExtension));
  if (!bytes) {
    problem = L"ファイル名に使用できない文字が含まれています";
    return std::nullopt;
  }
  // Bitmap1 holds the name with its terminator.
  if (bytes->size() >= sizeof(OptionRecord{}.Bitmap1)) {
    problem = L"ファイル名が長すぎます";
    return std::nullopt;
  }
  return bytes;
}

std::optional<std::string> AskBitmapSealName(HWND owner, const std::wstring& suggestion) {
  TBmpSaveForm form(suggestion);
  if (form.Run(IDD_BMPSAVE, owner) != IDOK) return std::nullopt;
  return form.Name;
}
