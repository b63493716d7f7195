#include "Password.h"

#include <commctrl.h>

#include <cstdint>

#include "Dialog.h"
#include "Dpi.h"
#include "Settings.h"
#include "Text.h"
#include "UniqueHandle.h"
#include "resource.h"

namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr WPARAM kPasswordMaxChars = 18;

// Sets the text colour of one static control after the dialog has set its
// defaults. ModalDialog gives its members no WM_CTLCOLORSTATIC, so the dialog
// window is subclassed; the subclass goes with the window.
LRESULT CALLBACK LabelColourProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR labelId,
                                 DWORD_PTR colour) {
  switch (message) {
    case WM_CTLCOLORSTATIC: {
      const LRESULT brush = DefSubclassProc(hwnd, message, wParam, lParam);
      if (static_cast<UINT_PTR>(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) == labelId)
        SetTextColor(reinterpret_cast<HDC>(wParam), static_cast<COLORREF>(colour));
      return brush;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, LabelColourProc, labelId);
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// The font in bold, its height scaled from one DPI to another.
UniqueHfont BoldVariant(HFONT font, UINT fromDpi, UINT toDpi) {
  LOGFONTW description{};
  if (!font || !GetObjectW(font, sizeof description, &description)) return {};
  description.lfWeight = FW_BOLD;
  description.lfHeight = MulDiv(description.lfHeight, static_cast<int>(toDpi), static_cast<int>(fromDpi));
  return UniqueHfont(CreateFontIndirectW(&description));
}

class TForm5 : public ModalDialog {
 public:
  std::int32_t PasswordOk = 0;

 protected:
  void OnInitDialog() override {
    HWND edit = Item(IDC_PASSWORD_EDIT1);
    SendMessageW(edit, EM_SETPASSWORDCHAR, L'X', 0);
    SendMessageW(edit, EM_LIMITTEXT, kPasswordMaxChars, 0);
    StyleLabel();
    FormShow();
  }
  // The dialog manager turns Enter into IDOK and Esc into IDCANCEL, so these
  // commands are also the form's key handling.
  bool OnCommand(int id, int code) override {
    if (code != BN_CLICKED) return false;
    switch (id) {
      case IDOK: Button1Click(); return true;
      case IDCANCEL: Button2Click(); return true;
    }
    return false;
  }
  void OnClose() override { Button2Click(); }
  // The dialog manager scales the fonts it gave the controls to a new
  // monitor's DPI, but not one of ours: the bold label is made anew.
  bool OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR&) override {
    if (message != WM_DPICHANGED) return false;
    const UINT dpi = HIWORD(wParam);
    if (dpi != 0 && dpi != labelDpi_) SetLabelFont(BoldVariant(labelFont_.get(), labelDpi_, dpi), dpi);
    return false;  // the dialog manager does the rest
  }

 private:
  void StyleLabel() {
    const UINT dpi = WindowDpi(hwnd_);
    SetLabelFont(BoldVariant(reinterpret_cast<HFONT>(SendMessageW(Item(IDC_PASSWORD_LABEL), WM_GETFONT, 0, 0)), dpi,
                             dpi),
                 dpi);
    SetWindowSubclass(hwnd_, LabelColourProc, IDC_PASSWORD_LABEL, kNavy);
  }
  void SetLabelFont(UniqueHfont font, UINT dpi) {
    if (!font) return;
    SendMessageW(Item(IDC_PASSWORD_LABEL), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    labelFont_ = std::move(font);  // the label lets go of the old one above
    labelDpi_ = dpi;
  }
  // Asked from the tray, the program is usually not the active one.
  void FormShow() {
    SetForegroundWindow(hwnd_);
    BringWindowToTop(hwnd_);
  }
  void Button1Click() {
    // A character outside code page 932 cannot be part of a stored password.
    const auto typed = Cp932FromWide(ItemText(IDC_PASSWORD_EDIT1));
    PasswordOk = typed && CheckUserPassword(*typed) ? 1 : 0;
    if (PasswordOk == 1) {
      End(IDOK);
      return;
    }
    MessageBoxW(hwnd_, L"パスワードが違います", L"Varnel印鑑", MB_OK);
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_PASSWORD_EDIT1)), TRUE);
  }
  void Button2Click() {
    PasswordOk = 0;
    End(IDCANCEL);
  }

  // Declared in the form so that it outlives the label that shows it.
  UniqueHfont labelFont_;
  UINT labelDpi_ = kDesignDpi;
};

}  // namespace

bool AskPassword(HWND owner) {
  TForm5 form;
  form.Run(IDD_PASSWORD, owner);
  return form.PasswordOk == 1;
}
