#pragma once
// The document a stamp goes into: the window that was in front before the
// stamp. At the moment of a click the stamp pad, its menu or the tray menu
// is in front, so the program follows the foreground from the start and
// remembers the last window in front that is not one of its own.

#include <windows.h>

#include <string>

struct DocumentWindow {
  std::wstring title;
  std::wstring exe;  // the full path of its program
};

// Follows the foreground while it lives (one at a time: the platform's
// foreground event carries no pointer back to its watcher). Events arrive
// through the thread's message loop.
class ForegroundWatch {
 public:
  ForegroundWatch();
  ~ForegroundWatch();
  ForegroundWatch(const ForegroundWatch&) = delete;
  ForegroundWatch& operator=(const ForegroundWatch&) = delete;

  void Noticed(HWND window);
  // The last other program's window in front, read afresh when it still exists.
  DocumentWindow Last() const;

 private:
  HWINEVENTHOOK hook_ = nullptr;
  HWND last_ = nullptr;
  DocumentWindow lastSeen_;
};

// The window a stamp goes into now: the one in front when it belongs to
// another program (a stamp through VrnCtl from the document's own program),
// else what the live watch saw last, else the first other program's window
// below the program's own; empty when there is none.
DocumentWindow CurrentDocumentWindow();

// The title and program of a window of another process; empty for the
// program's own windows, the shell's, untitled ones and those that are gone.
DocumentWindow DescribeWindow(HWND window);
