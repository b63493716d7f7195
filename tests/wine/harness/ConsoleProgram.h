#pragma once
// Running a console program the way a batch file does, with its output captured.

#include <windows.h>

#include <string>

namespace harness {

struct ConsoleResult {
  DWORD exitCode = STILL_ACTIVE;  // STILL_ACTIVE when it did not end in time (it is then ended)
  std::string out;                // the bytes written to standard output
  std::string err;                // the bytes written to standard error
};

// The program runs without a console of its own, so text it writes arrives
// in the encoding it uses for redirected output.
ConsoleResult RunConsoleProgram(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs);

}  // namespace harness
