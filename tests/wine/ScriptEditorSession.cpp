#include "ScriptEditorSession.h"

#include <commctrl.h>

#include <vector>

#include "MenuIds.h"
#include "harness/Forms.h"
#include "harness/Pixels.h"
#include "UniqueHandle.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace harness {

namespace {

constexpr wchar_t kEditorCaption[] = L"Varnel印鑑グラフィックスクリプトエディタ";
constexpr DWORD kStartMs = 20000;
constexpr int kFileNameCombo = 0x47C;  // cmb13 of the platform's file dialogs
constexpr int kFileNameEdit = 0x480;   // edt1, where there is no combo

// Children of children too: the builder's fields sit on its pages.
HWND Descendant(HWND top, int id) { return top ? FindControl(top, id) : nullptr; }

bool WaitUntil(const auto& condition, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
  return true;
}

}  // namespace

ScriptEditorSession::~ScriptEditorSession() {
  if (program && program->Running() && !EndProgram()) program->Terminate();
}

bool ScriptEditorSession::Start() {
  program.emplace(DistPath(L"Varnel.exe"));
  return WaitForStampPad();
}

bool ScriptEditorSession::StartUnderFileSizeLimit(int limitKiB) {
  if (!harness::StartUnderFileSizeLimit(DistPath(L"Varnel.exe"), limitKiB) || !WaitForStampPad()) return false;
  program.emplace(tray);
  return program->Running();
}

bool ScriptEditorSession::WaitForStampPad() {
  tray = WaitForWindow(L"VarnelMain", kStartMs);
  pad = WaitForWindow(L"Varnel印鑑", kStartMs, L"TForm1");
  return tray && pad && WaitUntil([this] { return IsWindowVisible(pad) != FALSE; }, kStartMs);
}

bool ScriptEditorSession::WaitForEditor(DWORD timeoutMs) {
  editor = WaitForWindow(kEditorCaption, timeoutMs, L"#32770");
  builder = WaitForWindow(L"GUI Panel", timeoutMs, L"#32770");
  return editor && builder && WaitUntil([this] { return IsWindowVisible(builder) != FALSE; }, 5000);
}

bool ScriptEditorSession::OpenFromPad() {
  PostMessageW(pad, WM_COMMAND, IDM_G1, 0);
  return WaitForEditor();
}

bool ScriptEditorSession::OpenFromPadMenuByKeys(DWORD timeoutMs) {
  PostMessageW(pad, WM_SYSCOMMAND, SC_KEYMENU, L'm');
  Sleep(300);
  for (wchar_t key : {L'e', L'g'}) {
    PostMessageW(pad, WM_CHAR, key, 1);
    Sleep(300);
  }
  return WaitForEditor(timeoutMs);
}

bool ScriptEditorSession::OpenFromTray() {
  PostMessageW(tray, WM_COMMAND, IDM_TRAY_N5, 0);
  return WaitForEditor();
}

bool ScriptEditorSession::Close() {
  PostMessageW(Control(IDC_SCREDIT_SPEEDBUTTON5), BM_CLICK, 0, 0);
  const bool gone = WaitForWindowGone(kEditorCaption, 5000) && WaitForWindowGone(L"GUI Panel", 5000);
  editor = builder = nullptr;
  return gone;
}

bool ScriptEditorSession::EndProgram() {
  PostMessageW(tray, WM_USER, 5, 0);
  if (HWND box = WaitForBox(L"Varnel印鑑", 5000)) PressButton(box, IDOK);
  return program->WaitForExit(10000) == 0;
}

HWND ScriptEditorSession::Control(int id) const {
  if (HWND control = Descendant(editor, id)) return control;
  return Descendant(builder, id);
}

std::wstring ScriptEditorSession::Text(int id) const {
  HWND control = Control(id);
  const auto length = static_cast<int>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  return buffer.data();
}

void ScriptEditorSession::SetText(int id, const std::wstring& text) const {
  SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ScriptEditorSession::Click(int id) const { SendMessageW(Control(id), BM_CLICK, 0, 0); }

void ScriptEditorSession::ClickLater(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }

// Outside button mode, moving the focus selects the tab and tells the builder.
void ScriptEditorSession::SelectTab(int tab) const {
  SendMessageW(Control(IDC_GUI_TABS), TCM_SETCURFOCUS, tab, 0);
}

bool ScriptEditorSession::AnswerFileDialog(const std::wstring& caption, const std::wstring& name) const {
  HWND dialog = WaitForBox(caption, 10000);
  if (!dialog) return false;
  HWND field = GetDlgItem(dialog, kFileNameCombo);
  if (!field) field = GetDlgItem(dialog, kFileNameEdit);
  SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  return WaitUntil([dialog] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000);
}

SIZE ScriptEditorSession::PreviewSize() const {
  HWND image = Control(IDC_SCREDIT_IMAGE);
  RECT r{};
  if (image) GetClientRect(image, &r);
  return {r.right, r.bottom};
}

PackedDib ScriptEditorSession::PreviewOnScreen() const {
  HWND image = Control(IDC_SCREDIT_IMAGE);
  if (!image) return {};
  // Painting happens in the program's own time: the picture counts once two
  // captures a moment apart agree.
  RECT r;
  GetWindowRect(image, &r);
  PackedDib last = CaptureScreen(r);
  for (int i = 0; i < 50; ++i) {
    Sleep(100);
    PackedDib now = CaptureScreen(r);
    if (now == last) return now;
    last = std::move(now);
  }
  return last;
}

bool SaveWindowPicture(HWND hwnd, const std::wstring& path) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return WriteBmp(CaptureScreen(r), path);
}

std::wstring FreshTemporaryFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + name;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

}  // namespace harness
