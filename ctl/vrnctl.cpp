// vrnctl.exe: sends one control request to the running Varnel from a batch
// file. It posts the message itself rather than loading VrnCtl.dll, so it
// works wherever it is copied and cannot fail for a missing library.

#include <windows.h>

#include <string>
#include <string_view>

#include "ControlRequest.h"
#include "UniqueHandle.h"

namespace {

constexpr int kExitPosted = 0;
constexpr int kExitHelp = 0;
constexpr int kExitNotPosted = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotEnded = 3;
// How long an ending Varnel may take to save its settings and go.
constexpr DWORD kEndingMs = 15000;

struct Command {
  const wchar_t* word;
  VarnelRequestCode code;
};

constexpr Command kCommands[] = {
    {L"name", kRequestNameStamp},        {L"date", kRequestDateStamp},
    {L"date-ex", kRequestDateStampEx},   {L"bmp", kRequestBmpStamp},
    {L"clear", kRequestClearClipboard},  {L"exit", kRequestExitVarnel},
    {L"user", kRequestChangeUser},
};

constexpr std::wstring_view kUsage =
    L"使い方: vrnctl 要求\r\n"
    L"起動中のVarnel印鑑に要求を送ります。\r\n"
    L"  name     認印を押印\r\n"
    L"  date     日付印を押印（日付変更の確認なし）\r\n"
    L"  date-ex  日付印を押印（日付変更の確認と説明メッセージあり）\r\n"
    L"  bmp      ビットマップ印を押印\r\n"
    L"  clear    クリップボードを消去\r\n"
    L"  exit     Varnel印鑑を終了（終了の確認あり）\r\n"
    L"  user     ユーザー切替のためにVarnel印鑑を終了\r\n"
    L"  close    Varnel印鑑を確認なしで終了し、終わるまで待つ（設定は保存。インストーラー用）\r\n"
    L"終了コード: 0 要求を送った、1 Varnel印鑑が起動していない、2 引数の誤り、3 終了しなかった\r\n";

// A console takes UTF-16 as it is; redirected output is encoded in the
// console's code page, or in 932 when there is no console at all.
void Write(DWORD stdHandle, std::wstring_view text) {
  HANDLE out = GetStdHandle(stdHandle);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  UINT codePage = GetConsoleOutputCP();
  if (codePage == 0) codePage = 932;
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Batch files are written in any case, as the Windows shell's own words are.
bool SameWord(const wchar_t* typed, const wchar_t* word) {
  return CompareStringOrdinal(typed, -1, word, -1, TRUE) == CSTR_EQUAL;
}

bool AsksForHelp(const wchar_t* typed) {
  return SameWord(typed, L"/?") || SameWord(typed, L"-h") || SameWord(typed, L"--help") ||
         SameWord(typed, L"help");
}

const Command* FindCommand(const wchar_t* typed) {
  for (const Command& command : kCommands)
    if (SameWord(typed, command.word)) return &command;
  return nullptr;
}

int Send(VarnelRequestCode code) {
  switch (PostVarnelRequest(code)) {
    case kPosted:
      return kExitPosted;
    case kVarnelNotRunning:
      Write(STD_ERROR_HANDLE, L"Varnel印鑑が起動していません。\r\n");
      return kExitNotPosted;
    case kPostFailed:
      break;
  }
  Write(STD_ERROR_HANDLE, L"Varnel印鑑に要求を送れませんでした。\r\n");
  return kExitNotPosted;
}

// Ends the Varnel of this desktop as closing its hidden window does: without
// a question, keeping its settings, and waits until it has gone. An
// installer does this before it replaces or removes the program.
int Close() {
  HWND varnelMain = FindWindowW(nullptr, L"VarnelMain");
  if (varnelMain == nullptr) {
    Write(STD_ERROR_HANDLE, L"Varnel印鑑が起動していません。\r\n");
    return kExitNotPosted;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(varnelMain, &processId);
  const UniqueHandleObject process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  if (PostMessageW(varnelMain, WM_CLOSE, 0, 0) && process &&
      WaitForSingleObject(process.get(), kEndingMs) == WAIT_OBJECT_0)
    return kExitPosted;
  Write(STD_ERROR_HANDLE, L"Varnel印鑑が終了しませんでした。\r\n");
  return kExitNotEnded;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  if (argc == 2 && AsksForHelp(argv[1])) {
    Write(STD_OUTPUT_HANDLE, kUsage);
    return kExitHelp;
  }
  if (argc == 2 && SameWord(argv[1], L"close")) return Close();
  const Command* command = argc == 2 ? FindCommand(argv[1]) : nullptr;
  if (command == nullptr) {
    Write(STD_ERROR_HANDLE, kUsage);
    return kExitUsage;
  }
  return Send(command->code);
}
