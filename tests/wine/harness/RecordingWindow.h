#pragma once
// A stand-in for another program's top-level window: found by its title,
// it records every WM_USER posted to it.

#include <windows.h>

#include <string>
#include <vector>

#include "UniqueHandle.h"

namespace harness {

struct PostedMessage {
  WPARAM wParam;
  LPARAM lParam;
};

// The window lives on a thread of its own with its own message loop, so the
// test thread can post to it, start programs and wait without pumping.
class RecordingWindow {
 public:
  explicit RecordingWindow(const std::wstring& title);
  ~RecordingWindow();  // closes the window and waits for its thread
  RecordingWindow(const RecordingWindow&) = delete;
  RecordingWindow& operator=(const RecordingWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  // What arrived so far, after waiting up to timeoutMs for at least `count` messages.
  std::vector<PostedMessage> WaitForMessages(size_t count, DWORD timeoutMs);
  // Only the first parameters, in arrival order.
  std::vector<WPARAM> WaitForCodes(size_t count, DWORD timeoutMs);

 private:
  static DWORD WINAPI Run(void* self);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void Record(WPARAM wParam, LPARAM lParam);
  std::vector<PostedMessage> Snapshot();

  std::wstring title_;
  HWND hwnd_ = nullptr;
  CRITICAL_SECTION lock_;
  std::vector<PostedMessage> received_;
  UniqueHandleObject arrived_;  // auto-reset: set after each recorded message
  UniqueHandleObject created_;
  UniqueHandleObject thread_;
};

}  // namespace harness
