#include "ProgramFolder.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

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
