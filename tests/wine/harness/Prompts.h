#pragma once
// Answering prompts the way a user would: typing into a field key by key
// (so the field's limits apply, unlike WM_SETTEXT) and finding the message
// boxes the program shows.

#include <windows.h>

#include <string>

namespace harness {

// Sends each character to the control as the keyboard would.
void TypeText(HWND dialog, int id, const std::wstring& text);

// Waits up to timeoutMs for a visible window of this process with this caption
// that holds a control reading `text`; null when none appears.
HWND WaitForMessageBox(const std::wstring& caption, const std::wstring& text, DWORD timeoutMs = 5000);

// Finds that message box, presses its OK and waits until it has gone;
// false when no such box appeared.
bool AnswerMessageBox(const std::wstring& caption, const std::wstring& text);

// Posts a click, for buttons whose handler opens a modal window of its own
// (a sent BM_CLICK would wait for that window to close).
void PostClick(HWND dialog, int id);

}  // namespace harness
