#include "ProgramFolder.h"

#include <shlobj.h>

#include <optional>
#include <vector>

#include "FileSave.h"
#include "Text.h"

namespace {

bool Exists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A drive ("C:\..."), a share ("\\server\...") or the root of the current
// drive: the name is not looked up in the known folders.
bool IsFullPath(const std::wstring& name) {
  return (name.size() >= 2 && name[1] == L':') || (!name.empty() && (name[0] == L'\\' || name[0] == L'/'));
}

}  // namespace

std::wstring ProgramFolder() {
  // A path longer than MAX_PATH is possible: grow until it fits.
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      const std::wstring file(path.data(), n);
      const std::size_t slash = file.find_last_of(L'\\');
      return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
    }
    path.resize(path.size() * 2);
  }
}

std::wstring ProgramFile(const std::wstring& name) { return ProgramFolder() + L'\\' + name; }

std::wstring UserFolder() {
  PWSTR appData = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &appData)) && appData && *appData)
    folder = std::wstring(appData) + L"\\Qdx\\Varnel";
  CoTaskMemFree(appData);
  return folder;
}

std::wstring UserFile(const std::wstring& name) {
  const std::wstring folder = UserFolder();
  return folder.empty() ? std::wstring() : folder + L'\\' + name;
}

DWORD MakeUserFolder() {
  const std::wstring folder = UserFolder();
  if (folder.empty()) return ERROR_PATH_NOT_FOUND;
  // Both levels, each of which may be there already.
  const std::wstring company = folder.substr(0, folder.find_last_of(L'\\'));
  for (const std::wstring& level : {company, folder})
    if (!CreateDirectoryW(level.c_str(), nullptr))
      if (const DWORD error = GetLastError(); error != ERROR_ALREADY_EXISTS) return error;
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ERROR_SUCCESS
                                                                                          : ERROR_DIRECTORY;
}

std::wstring FindProgramFile(const std::wstring& name) {
  if (name.empty()) return {};
  if (IsFullPath(name)) return Exists(name) ? name : std::wstring();
  for (const std::wstring& folder : {UserFolder(), ProgramFolder()})
    if (const std::wstring path = folder + L'\\' + name; !folder.empty() && Exists(path)) return path;
  return {};
}

bool ProgramFileExists(std::string_view name) {
  const std::optional<std::wstring> wide = WideFromCp932(name);
  return wide && !FindProgramFile(*wide).empty();
}

KeepCurrentDirectory::KeepCurrentDirectory() {
  const DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return;
  std::vector<wchar_t> buffer(n + 1);
  const DWORD written = GetCurrentDirectoryW(n + 1, buffer.data());
  if (written > 0 && written <= n) directory_.assign(buffer.data(), written);
}

KeepCurrentDirectory::~KeepCurrentDirectory() {
  if (!directory_.empty()) SetCurrentDirectoryW(directory_.c_str());
}

bool FolderAcceptsNewFiles(const std::wstring& folder) {
  if (folder.empty()) return false;
  // The one sure answer is to try: permissions, policies and read-only media
  // all have their say.
  const std::wstring probe = TemporaryFileIn(folder);
  return !probe.empty() && DeleteFileW(probe.c_str()) != FALSE;
}

bool ProgramFolderWritable() { return FolderAcceptsNewFiles(ProgramFolder()); }

EraseResult EraseProgramFile(const std::wstring& name) {
  EraseResult result;
  result.path = FindProgramFile(name);
  if (result.path.empty()) return result;
  const bool inProgramFolder = !IsFullPath(name) && result.path == ProgramFile(name);
  if (inProgramFolder && !ProgramFolderWritable()) {
    result.outcome = EraseOutcome::BelongsToInstallation;
    return result;
  }
  if (DeleteFileW(result.path.c_str())) {
    result.outcome = EraseOutcome::Erased;
  } else {
    result.error = GetLastError();
    result.outcome = result.error == ERROR_FILE_NOT_FOUND ? EraseOutcome::Missing : EraseOutcome::Failed;
  }
  return result;
}

void TellBelongsToInstallation(HWND owner, const std::wstring& path) {
  const std::wstring text = L"このビットマップ印はインストールしたVarnel印鑑のフォルダーにあるため、削除できません。\n" +
                            path + L"\n\n削除するには管理者に依頼してください。";
  MessageBoxW(owner, text.c_str(), L"Varnel印鑑", MB_OK | MB_ICONINFORMATION);
}
