#include "Dialogs.h"

#include <vector>

namespace harness {

std::wstring ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  const auto length = static_cast<int>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  return buffer.data();
}

void SetControlText(HWND dialog, int id, const std::wstring& text) {
  SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PressKey(HWND dialog, int id, UINT virtualKey) {
  HWND control = GetDlgItem(dialog, id);
  PostMessageW(control, WM_KEYDOWN, virtualKey, 1);
  PostMessageW(control, WM_KEYUP, virtualKey, 0xC0000001);
}

void ChooseFile(HWND fileDialog, const std::wstring& path, int filterIndex) {
  // edt1 in the older dialogs, the combo box cmb13 in the newer; cmb1.
  constexpr int kFileNameEdit = 0x480, kFileNameCombo = 0x47C, kFileTypeCombo = 0x470;
  if (filterIndex > 0) {
    HWND types = GetDlgItem(fileDialog, kFileTypeCombo);
    SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(filterIndex - 1), 0);
    // The dialog reads the filter when told of the choice, as a user's
    // selection tells it.
    for (WORD notification : {CBN_SELCHANGE, CBN_SELENDOK})
      SendMessageW(fileDialog, WM_COMMAND, MAKEWPARAM(kFileTypeCombo, notification), reinterpret_cast<LPARAM>(types));
  }
  HWND name = GetDlgItem(fileDialog, kFileNameEdit);
  if (!name) name = GetDlgItem(fileDialog, kFileNameCombo);
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageW(fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(fileDialog, IDOK)));
}

namespace {
struct Search {
  const std::wstring* caption;
  DWORD process;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  wchar_t title[256] = {}, cls[16] = {};
  GetWindowTextW(hwnd, title, 256);
  GetClassNameW(hwnd, cls, 16);
  // Dialogs and message boxes only: the program's own windows share captions with them.
  if (process == search->process && IsWindowVisible(hwnd) && *search->caption == title &&
      std::wstring(cls) == L"#32770") {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

DialogDriver::DialogDriver(std::wstring caption, std::function<void(HWND)> user)
    : caption_(std::move(caption)), user_(std::move(user)) {
  thread_.reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
}

DWORD WINAPI DialogDriver::Run(void* param) {
  auto* self = static_cast<DialogDriver*>(param);
  Search search{&self->caption_, GetCurrentProcessId(), nullptr};
  for (int i = 0; i < 500 && !search.found; ++i) {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(10);
  }
  if (!search.found) return 0;
  self->found_ = true;
  self->user_(search.found);
  return 0;
}

DialogDriver::~DialogDriver() {
  if (thread_) WaitForSingleObject(thread_.get(), 10000);
}

}  // namespace harness
