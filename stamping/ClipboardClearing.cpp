#include "ClipboardClearing.h"

#include "Clipboard.h"

ClipboardClearing::~ClipboardClearing() {
  if (!hwnd_) return;
  KillTimer(hwnd_, kClearTimerId);
  KillTimer(hwnd_, kClearRetryTimerId);
}

bool ClipboardClearing::Create() {
  if (hwnd_) return true;
  return CreateWindowOf(L"VarnelClipboard", 0, 0, L"", 0, 0, 0, 0, HWND_MESSAGE, nullptr);
}

bool ClipboardClearing::EmptyForStamp() {
  if (!EmptyClipboardNow(hwnd_)) return false;
  StopClearRetries();
  return true;
}

void ClipboardClearing::EnableClearTimer() {
  if (clearTimerEnabled_) return;
  if (SetTimer(hwnd_, kClearTimerId, kClearTimerMs, nullptr)) clearTimerEnabled_ = true;
}

// The clear timer fires once: the same clear as one asked for.
void ClipboardClearing::ClearTimerTimer() { ClearOnRequest(); }

void ClipboardClearing::ClearClipboardAutomatically() {
  StopClearRetries();
  if (EmptyClipboardNow(hwnd_)) return;
  // Another program holds the clipboard: the seal must not stay on it.
  if (SetTimer(hwnd_, kClearRetryTimerId, kClearRetryMs, nullptr)) clearRetriesLeft_ = kClearRetries;
}

void ClipboardClearing::ClearOnRequest() {
  StopClearTimer();
  ClearClipboardAutomatically();
}

void ClipboardClearing::ClearAtExit() {
  StopClearTimer();
  StopClearRetries();
  EmptyClipboardNow(hwnd_);
}

void ClipboardClearing::StopClearTimer() {
  if (clearTimerEnabled_) KillTimer(hwnd_, kClearTimerId);
  clearTimerEnabled_ = false;
}

void ClipboardClearing::ClearRetryTimer() {
  if (EmptyClipboardNow(hwnd_) || --clearRetriesLeft_ <= 0) StopClearRetries();
}

void ClipboardClearing::StopClearRetries() {
  if (clearRetriesLeft_ > 0) KillTimer(hwnd_, kClearRetryTimerId);
  clearRetriesLeft_ = 0;
}

LRESULT ClipboardClearing::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    if (wParam == kClearTimerId) ClearTimerTimer();
    if (wParam == kClearRetryTimerId) ClearRetryTimer();
    return 0;
  }
  return Default(message, wParam, lParam);
}
