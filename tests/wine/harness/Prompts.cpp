#include "Prompts.h"

namespace harness {

void TypeText(HWND dialog, int id, const std::wstring& text) {
  HWND control = GetDlgItem(dialog, id);
  for (wchar_t c : text) SendMessageW(control, WM_CHAR, c, 1);
}

void PostClick(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

namespace {

struct BoxSearch {
  const std::wstring* caption;
  const std::wstring* text;
  HWND found;
};

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

BOOL CALLBACK MatchChild(HWND child, LPARAM lParam) {
  auto* search = reinterpret_cast<BoxSearch*>(lParam);
  if (TextOf(child) != *search->text) return TRUE;
  search->found = GetParent(child);
  return FALSE;
}

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<BoxSearch*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(hwnd) || TextOf(hwnd) != *search->caption) return TRUE;
  EnumChildWindows(hwnd, MatchChild, lParam);
  return search->found ? FALSE : TRUE;
}

}  // namespace

HWND WaitForMessageBox(const std::wstring& caption, const std::wstring& text, DWORD timeoutMs) {
  BoxSearch search{&caption, &text, nullptr};
  for (DWORD waited = 0; waited <= timeoutMs && !search.found; waited += 10) {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(10);
  }
  return search.found;
}

bool AnswerMessageBox(const std::wstring& caption, const std::wstring& text) {
  HWND box = WaitForMessageBox(caption, text);
  if (!box) return false;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 500 && IsWindow(box); ++i) Sleep(10);
  return true;
}

}  // namespace harness
