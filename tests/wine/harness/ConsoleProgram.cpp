#include "ConsoleProgram.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "Process.h"
#include "UniqueHandle.h"

namespace harness {

namespace {

struct Pipe {
  UniqueHandleObject read;
  UniqueHandleObject write;  // inherited by the child
};

Pipe MakeInheritablePipe() {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  Pipe pipe;
  if (!CreatePipe(pipe.read.put(), pipe.write.put(), &inherit, 0))
    throw std::runtime_error("cannot create a pipe");
  SetHandleInformation(pipe.read.get(), HANDLE_FLAG_INHERIT, 0);
  return pipe;
}

// Reads what is there without blocking, so neither pipe can fill up and
// stall the child while the other one is being read.
void Drain(HANDLE pipe, std::string& into) {
  DWORD available = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    char buffer[4096];
    DWORD read = 0;
    if (!ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) || read == 0) return;
    into.append(buffer, read);
  }
}

}  // namespace

ConsoleResult RunConsoleProgram(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs) {
  Pipe out = MakeInheritablePipe();
  Pipe err = MakeInheritablePipe();
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                           nullptr);
  UniqueHandleObject input(nul == INVALID_HANDLE_VALUE ? nullptr : nul);

  std::vector<wchar_t> mutableLine = CommandLineFor(exe, arguments);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = input.get();
  si.hStdOutput = out.write.get();
  si.hStdError = err.write.get();
  PROCESS_INFORMATION pi{};
  // Wine on a machine busy with other work now and then refuses one start:
  // the program is started once more before the test gives up.
  bool started = false;
  for (int attempt = 0; attempt < 2 && !started; ++attempt) {
    if (attempt > 0) Sleep(500);
    started = CreateProcessW(exe.c_str(), mutableLine.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                             nullptr, &si, &pi) != FALSE;
  }
  if (!started)
    throw std::runtime_error("cannot start the console program (error " + std::to_string(GetLastError()) + ")");
  UniqueHandleObject process(pi.hProcess);
  CloseHandle(pi.hThread);
  out.write.reset();
  err.write.reset();

  ConsoleResult result;
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  bool ended = false;
  while (!ended) {
    ended = WaitForSingleObject(process.get(), 10) == WAIT_OBJECT_0;
    Drain(out.read.get(), result.out);
    Drain(err.read.get(), result.err);
    if (!ended && GetTickCount64() >= end) {
      TerminateProcess(process.get(), STILL_ACTIVE);
      WaitForSingleObject(process.get(), 5000);
      return result;
    }
  }
  GetExitCodeProcess(process.get(), &result.exitCode);
  return result;
}

}  // namespace harness
