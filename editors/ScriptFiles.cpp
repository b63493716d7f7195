#include "ScriptFiles.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "FileSave.h"
#include "ProgramFolder.h"
#include "Text.h"
#include "UniqueHandle.h"

namespace {

// The filter of both dialogs: description and pattern, NUL-separated.
constexpr wchar_t kFilter[] = L"Varnel印鑑グラフィックスクリプト (*.vgs)\0*.vgs\0";

std::optional<std::wstring> AskFileName(HWND owner, const std::wstring& name, bool save) {
  std::vector<wchar_t> buffer(32768, L'\0');
  name.copy(buffer.data(), std::min(name.size(), buffer.size() - 1));
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = kFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrDefExt = L"vgs";
  ofn.lpstrTitle = save ? L"名前を付けて保存" : L"ファイルを開く";
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
              (save ? 0 : OFN_FILEMUSTEXIST);
  // The current directory stays where it was, whichever folder the user
  // browsed to (the open dialog ignores OFN_NOCHANGEDIR).
  const KeepCurrentDirectory keep;
  const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) return std::nullopt;
  return std::wstring(buffer.data());
}

}  // namespace

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring WithVgsExtension(const std::wstring& path) {
  // The extension starts at the last dot after the last folder or drive separator.
  const std::size_t mark = path.find_last_of(L".\\/:");
  if (mark != std::wstring::npos && path[mark] == L'.') return path.substr(0, mark) + L".vgs";
  return path + L".vgs";
}

std::optional<std::wstring> AskScriptToOpen(HWND owner, const std::wstring& name) {
  return AskFileName(owner, name, false);
}

std::optional<std::wstring> AskScriptToSave(HWND owner, const std::wstring& name) {
  return AskFileName(owner, name, true);
}

std::string PreviewBytes(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(kCodePage932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, "?",
                                    nullptr);
  if (n <= 0) return {};
  std::string bytes(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(kCodePage932, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, "?", nullptr);
  return bytes;
}

std::wstring EditText(std::string_view cp932) {
  if (cp932.empty()) return {};
  const int n = MultiByteToWideChar(kCodePage932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring text(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(kCodePage932, 0, cp932.data(), static_cast<int>(cp932.size()), text.data(), n);
  return text;
}

TemporaryScriptFile::TemporaryScriptFile() {
  wchar_t folder[MAX_PATH + 1] = {};
  wchar_t name[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  // GetTempFileName makes the file, so the name is ours alone.
  if (length > 0 && length <= MAX_PATH && GetTempFileNameW(folder, L"vgs", 0, name) != 0) path_ = name;
}

TemporaryScriptFile::~TemporaryScriptFile() {
  if (!path_.empty()) DeleteFileW(path_.c_str());
}

bool TemporaryScriptFile::Write(std::string_view bytes) { return !path_.empty() && WriteWholeFile(path_, bytes); }

std::string TemporaryScriptFile::ReaderPath() const {
  if (path_.empty()) return {};
  if (std::optional<std::string> path = Cp932FromWide(path_)) return *path;
  // A user name outside code page 932 in the folder's name: its short form is plain ASCII.
  wchar_t shortPath[MAX_PATH + 1] = {};
  const DWORD n = GetShortPathNameW(path_.c_str(), shortPath, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return {};
  return Cp932FromWide(shortPath).value_or(std::string());
}
