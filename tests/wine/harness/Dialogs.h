#pragma once
// Driving dialogs the way a user would: found by caption, controls by ID.

#include <windows.h>

#include <functional>
#include <string>

#include "UniqueHandle.h"

namespace harness {

// A dialog's text field, control or button.
std::wstring ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::wstring& text);
void Click(HWND dialog, int id);
// Presses a key in a control as the keyboard would (posted down and up).
void PressKey(HWND dialog, int id, UINT virtualKey);

// In the platform's open or save dialog of another program: types the file
// name, picks the filter (counted from 1; 0 leaves it) and presses the
// dialog's OK button.
void ChooseFile(HWND fileDialog, const std::wstring& path, int filterIndex = 0);

// Test files are compiled for code page 932, where <thread> and <chrono>
// cannot be included: the driver's thread is a plain Win32 one.
// Runs `user` on another thread once a dialog (or message box) with this
// caption belonging to this process appears, while the calling thread shows it modally.
class DialogDriver {
 public:
  DialogDriver(std::wstring caption, std::function<void(HWND)> user);
  ~DialogDriver();  // waits for the user thread
  bool Found() const { return found_; }

 private:
  static DWORD WINAPI Run(void* self);
  std::wstring caption_;
  std::function<void(HWND)> user_;
  UniqueHandleObject thread_;
  bool found_ = false;
};

}  // namespace harness
