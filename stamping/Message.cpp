#include "Message.h"

#include "Dialog.h"
#include "ErrorDisplay.h"
#include "Records.h"
#include "Settings.h"
#include "resource.h"

namespace {

void Perform(const std::function<void()>& action) {
  if (action) action();
}

}  // namespace

TMessageForm::TMessageForm(SettingsStore& store, Actions actions) : store_(store), actions_(std::move(actions)) {}

TMessageForm::~TMessageForm() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool TMessageForm::Create(HWND owner) {
  if (!hwnd_)
    CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(IDD_MESSAGE), owner, Procedure,
                       reinterpret_cast<LPARAM>(this));
  return hwnd_ != nullptr;
}

void TMessageForm::ShowNotice(const StampNotice& notice) {
  if (!hwnd_) return;
  FormShow(notice);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  BringWindowToTop(hwnd_);
}

bool TMessageForm::IsDialogMessage(MSG& msg) {
  if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
    try {
      FormKeyDown(msg.wParam);
    } catch (...) {
      // Closing failed part-way (saving the settings): the form stays usable.
      ShowCurrentException(hwnd_);
    }
    return true;
  }
  return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

INT_PTR CALLBACK TMessageForm::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  TMessageForm* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<TMessageForm*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<TMessageForm*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  if (message == WM_NCDESTROY) {
    self->hwnd_ = nullptr;
    return FALSE;
  }
  try {
    return self->Dispatch(message, wParam);
  } catch (...) {
    // An exception must not unwind through the dialog manager.
    ShowCurrentException(hwnd);
    return TRUE;
  }
}

INT_PTR TMessageForm::Dispatch(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_INITDIALOG: {
      GetWindowRect(hwnd_, &plainWindow_);
      const auto clientRect = [this](int id) {
        RECT r{};
        GetWindowRect(GetDlgItem(hwnd_, id), &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        return r;
      };
      plainOk_ = clientRect(IDOK);
      plainNonDisp_ = clientRect(IDC_MESSAGE_NONDISP);
      return TRUE;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      if (LOWORD(wParam) == IDOK) Button1Click();
      // The dialog manager's Esc, when the program's loop let it through.
      if (LOWORD(wParam) == IDCANCEL) FormClose();
      return TRUE;
    case WM_CLOSE:
      FormClose();
      return TRUE;
  }
  return FALSE;
}

void TMessageForm::FormShow(const StampNotice& notice) {
  const PlacedFormats& placed = notice.placed;
  if (MetafileOnly == 1) {
    SetFormatBoxes(true, false, false, true);
    MetafileOnly = 0;
  } else {
    switch (OptionSettings.ClipboardFormat) {
      case 0: SetFormatBoxes(true, false, false, true); break;
      case 1: SetFormatBoxes(false, true, true, false); break;
      case 2: SetFormatBoxes(true, true, true, true); break;
    }
  }
  // A format that was asked for but refused is not claimed. The bitmap is
  // what the platform makes of the DIB.
  if (!placed.enhMetafile) Tick(IDC_MESSAGE_CHECKBOX1, false);
  if (!placed.dib) Tick(IDC_MESSAGE_CHECKBOX2, false);
  if (!placed.dib) Tick(IDC_MESSAGE_CHECKBOX3, false);
  if (!placed.metafilePict) Tick(IDC_MESSAGE_CHECKBOX4, false);
  // The PNG goes with any picture when the options ask for it, but for one
  // whose picture carries the copy guard's marks, which a PNG would lack.
  Tick(IDC_MESSAGE_CHECKBOX5, OptionSettings.ClipboardPng != 0 && placed.png);
  SetDlgItemTextW(hwnd_, IDC_MESSAGE_CHECKBOX5,
                  notice.pngLeftOut ? L"ＰＮＧ画像（透過）… コピーガードの印が付かないため転送していません"
                                    : L"ＰＮＧ画像（透過）");
  ShowLogNotice(notice.logNotice);
  Tick(IDC_MESSAGE_NONDISP, false);
}

void TMessageForm::ShowLogNotice(const std::wstring& text) {
  HWND note = GetDlgItem(hwnd_, IDC_MESSAGE_LOGNOTE);
  SetWindowTextW(note, text.c_str());
  RECT noteRect{};
  GetWindowRect(note, &noteRect);
  const int grow = text.empty() ? 0 : static_cast<int>(noteRect.bottom - noteRect.top);
  ShowWindow(note, text.empty() ? SW_HIDE : SW_SHOW);
  const auto place = [this, grow](int id, const RECT& plain) {
    SetWindowPos(GetDlgItem(hwnd_, id), nullptr, plain.left, plain.top + grow, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(IDOK, plainOk_);
  place(IDC_MESSAGE_NONDISP, plainNonDisp_);
  RECT window{};
  GetWindowRect(hwnd_, &window);
  SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left, (plainWindow_.bottom - plainWindow_.top) + grow,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMessageForm::Button1Click() { FormClose(); }

void TMessageForm::FormKeyDown(WPARAM key) {
  if (key == VK_RETURN || key == VK_ESCAPE) FormClose();
}

// Closing hides the form. The after-stamp action was left to this moment;
// ticking "don't show again" also skips it, this one time.
void TMessageForm::FormClose() {
  if (!IsWindowVisible(hwnd_)) return;
  if (Ticked(IDC_MESSAGE_NONDISP)) {
    OptionSettings.ShowMessage = 0;
    SaveOptionSettings(store_);
  }
  ShowWindow(hwnd_, SW_HIDE);
  if (OptionSettings.ShowMessage == 0) return;
  // Last: exiting may take the program, and this form, down.
  switch (OptionSettings.TerminateAsStamped) {
    case 1: Perform(actions_.ExitProgram); break;
    case 2: Perform(actions_.HideStampPadAndToolbar); break;
  }
}

void TMessageForm::SetFormatBoxes(bool box1, bool box2, bool box3, bool box4) {
  Tick(IDC_MESSAGE_CHECKBOX1, box1);
  Tick(IDC_MESSAGE_CHECKBOX2, box2);
  Tick(IDC_MESSAGE_CHECKBOX3, box3);
  Tick(IDC_MESSAGE_CHECKBOX4, box4);
}

void TMessageForm::Tick(int id, bool ticked) { CheckDlgButton(hwnd_, id, ticked ? BST_CHECKED : BST_UNCHECKED); }

bool TMessageForm::Ticked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }
