#pragma once
// Every emptying of the clipboard, and the one window that owns the
// clipboard for every write the program makes: the clear timer two minutes
// after a stamp, the retries while another program holds the clipboard, the
// clear that other programs ask for, and the clear at the program's end.

#include <windows.h>

#include "Window.h"

class ClipboardClearing : public Window {
 public:
  ClipboardClearing() = default;
  ~ClipboardClearing() override;

  // The message-only window that owns the clipboard and the timers.
  bool Create();
  HWND Owner() const { return hwnd_; }

  // Empties the clipboard for a new stamp; false when another program holds
  // it. The seal a pending retry was meant for is gone: the retries stop.
  bool EmptyForStamp();

  // ClipBrdClear 2: armed by a stamp. Arming it while it runs does not
  // restart it: the clipboard is cleared two minutes after the first stamp
  // of a run.
  void EnableClearTimer();
  void ClearTimerTimer();
  bool ClearTimerEnabled() const { return clearTimerEnabled_; }

  // Empties the clipboard now; when another program holds it, tries again
  // every few seconds for a minute.
  void ClearClipboardAutomatically();
  bool ClearRetryPending() const { return clearRetriesLeft_ > 0; }

  // What another program asks for (control code 4): the clipboard emptied
  // now, with the retries, and the clear timer stopped, so that it cannot
  // later empty what the user has put on the clipboard since.
  void ClearOnRequest();

  // At the program's end: one attempt, no retries left behind.
  void ClearAtExit();

  static constexpr UINT_PTR kClearTimerId = 1;
  static constexpr UINT kClearTimerMs = 120000;
  static constexpr UINT_PTR kClearRetryTimerId = 3;
  static constexpr UINT kClearRetryMs = 5000;
  static constexpr int kClearRetries = 12;

 protected:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void StopClearTimer();
  void ClearRetryTimer();
  void StopClearRetries();

  bool clearTimerEnabled_ = false;
  int clearRetriesLeft_ = 0;
};
