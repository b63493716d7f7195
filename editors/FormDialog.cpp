#include "FormDialog.h"

#include <commctrl.h>

#include <vector>

#include "Text.h"

namespace {

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd, buffer.data(), length + 1);
  return buffer.data();
}

// Messages through which the user changes an edit's text (some edits paste
// from their key-down handling and their context menu directly); WM_SETTEXT
// is the program's own and is left alone.
bool IsUserTextChange(UINT message) {
  switch (message) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_CONTEXTMENU:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
    case WM_PASTE:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL:
      return true;
  }
  return false;
}

LRESULT CALLBACK ByteLimitProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR maxBytes) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, ByteLimitProc, id);
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  if (!IsUserTextChange(message)) return DefSubclassProc(hwnd, message, wParam, lParam);
  const std::wstring before = WindowText(hwnd);
  DWORD selStart = 0, selEnd = 0;
  SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  const std::wstring after = WindowText(hwnd);
  if (after == before) return result;
  const auto bytes = Cp932FromWide(after);
  const std::size_t beforeBytes = Narrow(before).size();
  const std::size_t allowed = beforeBytes > maxBytes ? beforeBytes : maxBytes;
  if (bytes && bytes->size() <= allowed) return result;
  DefSubclassProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(before.c_str()));
  SendMessageW(hwnd, EM_SETSEL, selStart, selEnd);
  MessageBeep(MB_OK);
  return result;
}

}  // namespace

int FormDialog::ChoiceIndex(Choice choice) const {
  for (int i = 0; i < choice.count; ++i)
    if (Checked(choice.firstId + i)) return i;
  return -1;
}

void FormDialog::SetChoiceIndex(Choice choice, int index) const {
  for (int i = 0; i < choice.count; ++i) SetChecked(choice.firstId + i, i == index);
}

bool FormDialog::Checked(int id) const {
  return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void FormDialog::SetChecked(int id, bool checked) const {
  SendMessageW(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::wstring FormDialog::WideText(int id) const {
  HWND control = Control(id);
  return control ? WindowText(control) : std::wstring();
}

std::string FormDialog::Cp932Text(int id) const {
  HWND control = Control(id);
  return control ? Cp932FromWide(WindowText(control)).value_or(std::string()) : std::string();
}

void FormDialog::SetCp932Text(int id, std::string_view text) const {
  SetWindowTextW(Control(id), Wide(text).c_str());
}

void FormDialog::LimitBytes(int id, std::size_t maxBytes) const {
  if (HWND edit = Control(id)) SetWindowSubclass(edit, ByteLimitProc, 1, maxBytes);
}

void FormDialog::SetUpDown(int id, int low, int high, int position) const {
  SendMessageW(Control(id), UDM_SETRANGE32, low, high);
  SetUpDownPosition(id, position);
}

int FormDialog::UpDownPosition(int id) const {
  return static_cast<int>(SendMessageW(Control(id), UDM_GETPOS32, 0, 0));
}

void FormDialog::SetUpDownPosition(int id, int position) const {
  SendMessageW(Control(id), UDM_SETPOS32, 0, position);
}

void FormDialog::SetSlider(int id, int low, int high, int position) const {
  HWND slider = Control(id);
  SendMessageW(slider, TBM_SETRANGEMIN, FALSE, low);
  SendMessageW(slider, TBM_SETRANGEMAX, FALSE, high);
  SendMessageW(slider, TBM_SETPAGESIZE, 0, (high - low) / 10 > 1 ? (high - low) / 10 : 1);
  SetSliderPosition(id, position);
}

int FormDialog::SliderPosition(int id) const {
  return static_cast<int>(SendMessageW(Control(id), TBM_GETPOS, 0, 0));
}

void FormDialog::SetSliderPosition(int id, int position) const {
  HWND slider = Control(id);
  // Some trackbars place the thumb only when the position changes, so a new
  // range with an unchanged position would leave the thumb where it was.
  const auto high = static_cast<int>(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0));
  const auto low = static_cast<int>(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0));
  SendMessageW(slider, TBM_SETPOS, FALSE, position == high ? low : high);
  SendMessageW(slider, TBM_SETPOS, TRUE, position);
}

void FormDialog::EnableControl(int id, bool enabled) const { EnableWindow(Control(id), enabled); }

void FormDialog::AddHint(int id, const wchar_t* text) {
  HWND control = Control(id);
  if (!control) return;
  if (!hints_) {
    // Owned by the dialog, so it goes when the dialog goes.
    hints_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, ResourceModule(), nullptr);
    if (!hints_) return;
  }
  TOOLINFOW tool{};
  // The size the common controls of every version accept (no manifest asks for version 6).
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(text);
  SendMessageW(hints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormDialog::ShowValidationMessage(const wchar_t* text) const { MessageBoxW(hwnd_, text, L"", MB_OK); }
