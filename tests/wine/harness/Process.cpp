#include "Process.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "HostPath.h"

namespace harness {

std::wstring DistPath(const std::wstring& file) {
  wchar_t buffer[MAX_PATH];
  std::wstring dist;
  if (DWORD n = GetEnvironmentVariableW(L"VARNEL_DIST", buffer, MAX_PATH); n > 0 && n < MAX_PATH)
    dist = buffer;
  else
    dist = L"Z:" VARNEL_DIST_UNIX;  // Wine maps the Unix root to Z:
  for (auto& c : dist)
    if (c == L'/') c = L'\\';
  if (!dist.empty() && dist.back() != L'\\') dist += L'\\';
  return dist + file;
}

std::vector<wchar_t> CommandLineFor(const std::wstring& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  return line;
}

RunningProgram::RunningProgram(const std::wstring& exe, const std::wstring& arguments,
                               const std::wstring& directory) {
  std::wstring folder = directory;
  if (folder.empty()) folder = exe.substr(0, exe.find_last_of(L'\\'));
  std::vector<wchar_t> mutableLine = CommandLineFor(exe, arguments);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &si, &pi))
    throw std::runtime_error("cannot start the program");
  CloseHandle(pi.hThread);
  process_.reset(pi.hProcess);
  id_ = pi.dwProcessId;
}

RunningProgram::RunningProgram(HWND window) {
  GetWindowThreadProcessId(window, &id_);
  if (id_) process_.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id_));
}

// Wine runs a Unix program named by its Z: path; the shell hands the limit
// on to the program and ignores the signal that would otherwise end it at
// the limit.
bool StartUnderFileSizeLimit(const std::wstring& exe, int limitKiB) {
  const std::wstring shell = L"Z:\\bin\\bash";
  const std::wstring script = L"trap '' XFSZ; ulimit -f " + std::to_wstring(limitKiB) +
                              L"; exec \\\"${WINELOADER:-wine}\\\" \\\"$0\\\"";
  std::vector<wchar_t> line = CommandLineFor(shell, L"-c \"" + script + L"\" \"" + exe + L"\"");
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  if (!CreateProcessW(shell.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
    return false;
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  return true;
}

RunningProgram::~RunningProgram() {
  if (process_ && Running()) Terminate();
}

bool RunningProgram::Running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

DWORD RunningProgram::WaitForExit(DWORD timeoutMs) {
  if (!process_) return STILL_ACTIVE;
  if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0)
    return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

void RunningProgram::Terminate() {
  if (!process_) return;
  TerminateProcess(process_.get(), 255);
  WaitForSingleObject(process_.get(), 5000);
}

void PumpFor(DWORD durationMs) {
  const ULONGLONG end = GetTickCount64() + durationMs;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  } while (GetTickCount64() < end);
}

HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs, const wchar_t* className) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (HWND hwnd = FindWindowW(className, title.c_str())) return hwnd;
    if (GetTickCount64() >= end) return nullptr;
    PumpFor(20);
  }
}

bool WaitForWindowGone(const std::wstring& title, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (FindWindowW(nullptr, title.c_str())) {
    if (GetTickCount64() >= end) return false;
    PumpFor(20);
  }
  return true;
}

int RunHostShell(const std::wstring& command, DWORD timeoutMs) {
  static int runs = 0;
  // Wine gives no handle to wait on for a Unix process: the shell leaves its
  // status in a file, renamed into place once written.
  const std::wstring status =
      L"/tmp/varnel-host-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++runs);
  const std::wstring statusFile = HostPath(status);
  DeleteFileW(statusFile.c_str());
  std::vector<wchar_t> line = CommandLineFor(
      L"/bin/sh", L"-c \"" + command + L"; echo $? >" + status + L".new && mv " + status + L".new " + status + L"\"");
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(L"/bin/sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
  for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
    if (FILE* in = _wfopen(statusFile.c_str(), L"r")) {
      int code = -1;
      if (std::fscanf(in, "%d", &code) != 1) code = -1;
      std::fclose(in);
      DeleteFileW(statusFile.c_str());
      return code;
    }
    Sleep(20);
  }
  return -1;
}

}  // namespace harness
