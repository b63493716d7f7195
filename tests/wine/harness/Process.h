#pragma once
// Starting the product's programs from dist/ and finding their windows.

#include <windows.h>

#include <string>
#include <vector>

#include "UniqueHandle.h"

namespace harness {

// The command line CreateProcessW wants for exe and its arguments: the
// quoted program, the arguments, a terminating NUL, in writable memory.
std::vector<wchar_t> CommandLineFor(const std::wstring& exe, const std::wstring& arguments);

// The program folder as a user would unzip it (VARNEL_DIST, else the build's dist/).
std::wstring DistPath(const std::wstring& file = L"");

class RunningProgram {
 public:
  // Starts exe with the given arguments and current directory (default: its own folder).
  explicit RunningProgram(const std::wstring& exe, const std::wstring& arguments = L"",
                          const std::wstring& directory = L"");
  // A program started some other way, by the process that owns this window.
  explicit RunningProgram(HWND window);
  RunningProgram(RunningProgram&&) = default;
  ~RunningProgram();  // ends the program if it still runs

  bool Running() const;
  // The exit code once the program ended within the timeout, else STILL_ACTIVE.
  DWORD WaitForExit(DWORD timeoutMs);
  void Terminate();
  DWORD Id() const { return id_; }

 private:
  UniqueHandleObject process_;
  DWORD id_ = 0;
};

// Starts exe under Wine from a Unix shell that limits every file the program
// writes to limitKiB, as a volume that is full beyond that: writes past it
// fail. The program has no handle here; find it by its window.
bool StartUnderFileSizeLimit(const std::wstring& exe, int limitKiB);

// The first top-level window with this exact title, waiting up to timeout.
HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs,
                   const wchar_t* className = nullptr);
// Waits until no top-level window has this title.
bool WaitForWindowGone(const std::wstring& title, DWORD timeoutMs);
// Pumps this thread's messages while waiting.
void PumpFor(DWORD durationMs);

// Runs a command line of the host's shell, such as an X11 client on the
// same display (Wine starts Unix programs as they are); its exit status, or
// -1 when it could not be started or did not end within the timeout. The
// command must not contain double quotes.
int RunHostShell(const std::wstring& command, DWORD timeoutMs = 20000);

}  // namespace harness
