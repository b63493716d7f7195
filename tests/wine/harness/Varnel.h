#pragma once
// Driving the running program from outside: its message boxes, VrnCtl.dll,
// the clipboard it fills, and what its process uses.

#include <windows.h>

#include <optional>
#include <string>

#include "Process.h"

namespace harness {

// A fresh settings tree for a test run of the program: current generation
// (no upgrade message), no toolbar, no date prompt.
void WriteQuietSettings();

// A visible message box or dialog (dialog class) with this caption; the
// program keeps a hidden dialog of its own caption, the information message.
HWND WaitForBox(const std::wstring& caption, DWORD timeoutMs = 10000);
std::wstring BoxText(HWND box);
// Presses a button of another process's dialog and waits until it has gone.
void PressButton(HWND box, int id);

// Whether the clipboard offers this format within the timeout.
bool ClipboardOffers(UINT format, DWORD timeoutMs);
// Waits for a stamp after `sequenceBefore`: the clipboard has changed and
// holds the three picture formats. Never opens the clipboard, so it does not
// slow the stamp it waits for.
bool WaitForStampFormats(DWORD sequenceBefore, DWORD timeoutMs);
// The CF_DIB header on the clipboard, retrying while the writer still holds it.
bool ReadDibHeader(BITMAPINFOHEADER& header, DWORD timeoutMs = 2000);

// VrnCtl.dll as another program loads it.
class VrnCtlLibrary {
 public:
  // The library of the program folder (dist/), or the one at path.
  VrnCtlLibrary();
  explicit VrnCtlLibrary(const std::wstring& path);
  ~VrnCtlLibrary();
  VrnCtlLibrary(const VrnCtlLibrary&) = delete;
  VrnCtlLibrary& operator=(const VrnCtlLibrary&) = delete;
  // Calls an export such as "_NameStamp"; -1 when it is missing.
  int Call(const char* name) const;

 private:
  HMODULE module_;
};

struct ProcessUsage {
  SIZE_T workingSet = 0;
  SIZE_T privateBytes = 0;
  DWORD gdiObjects = 0;  // 0 where the platform does not count them
  bool valid = false;
};
ProcessUsage UsageOf(DWORD processId);

// How many more GDI objects this process could create now, found by making
// brushes until the platform refuses one and deleting them again. Where the
// platform does not count a process's objects, the difference of two
// readings is still exactly the objects made (and kept) in between.
int FreeGdiObjects();

// The real program for one test: started from dist/, its hidden window and
// stamp pad found, and ended through control code 5 and its confirmation.
class VarnelRun {
 public:
  ~VarnelRun() { Stop(); }
  // From the program folder (dist/), or from another folder's Varnel.exe.
  bool Start(const std::wstring& folder = L"");
  void Stop();
  // Chooses an item of the stamp pad's menu, as a click on it does.
  void PadCommand(UINT id) const { PostMessageW(pad, WM_COMMAND, id, 0); }
  DWORD ProcessId() const { return program_ ? program_->Id() : 0; }
  HWND tray = nullptr, pad = nullptr;

 private:
  std::optional<RunningProgram> program_;
};

// Writes bytes to a file, replacing it.
bool WriteWholeFile(const std::wstring& path, const void* data, size_t size);
// The whole file, or nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

}  // namespace harness
