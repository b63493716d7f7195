// The shipped files as Windows shows them: the version resource Explorer's
// Details tab reads, the common controls the running program loads through
// its manifest, and the version its dialog shows.

#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "VarnelVersion.h"
#include "harness/Process.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "MenuIds.h"
#include "UniqueHandle.h"
#include "resource.h"

namespace {

const std::wstring kVersion(VARNEL_VERSION_TEXT, VARNEL_VERSION_TEXT + sizeof VARNEL_VERSION_TEXT - 1);

class VersionInfo {
 public:
  explicit VersionInfo(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return;
    data_.resize(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data_.data())) data_.clear();
  }
  bool Present() const { return !data_.empty(); }
  std::optional<VS_FIXEDFILEINFO> Fixed() const {
    void* value = nullptr;
    UINT length = 0;
    if (!Present() || !VerQueryValueW(data_.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
      return std::nullopt;
    return *static_cast<const VS_FIXEDFILEINFO*>(value);
  }
  // A string of the Japanese (UTF-16) table; empty when missing.
  std::wstring String(const wchar_t* name) const {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
    if (!Present() || !VerQueryValueW(data_.data(), path.c_str(), &value, &length) || length == 0) return L"";
    return std::wstring(static_cast<const wchar_t*>(value));
  }

 private:
  std::vector<BYTE> data_;
};

// The path of the comctl32.dll a process has loaded; empty when none.
std::wstring LoadedCommonControls(HANDLE process) {
  std::vector<HMODULE> modules(512);
  DWORD needed = 0;
  if (!EnumProcessModulesEx(process, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed,
                            LIST_MODULES_ALL))
    return L"";
  modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
  for (HMODULE module : modules) {
    wchar_t path[MAX_PATH] = {};
    if (!GetModuleFileNameExW(process, module, path, MAX_PATH)) continue;
    std::wstring name(path);
    name = name.substr(name.find_last_of(L'\\') + 1);
    if (CompareStringOrdinal(name.c_str(), -1, L"comctl32.dll", -1, TRUE) == CSTR_EQUAL) return path;
  }
  return L"";
}

WORD MajorVersionOf(const std::wstring& file) {
  const auto fixed = VersionInfo(file).Fixed();
  return fixed ? HIWORD(fixed->dwFileVersionMS) : 0;
}

// Version 6 comes from its side-by-side assembly, which the manifest asks
// for; the file's own version says 6 on Windows (Wine's copy says 5).
bool IsCommonControls6(const std::wstring& path) {
  std::wstring lower = path;
  CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
  return lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.") != std::wstring::npos ||
         MajorVersionOf(path) >= 6;
}

TEST(FileResources, EveryShippedFileCarriesTheOneVersionWithJapaneseNames) {
  struct Shipped {
    const wchar_t* file;
    DWORD type;
  };
  std::vector<Shipped> files = {{L"Varnel.exe", VFT_APP}, {L"VrnCtl.dll", VFT_DLL}, {L"vrnctl.exe", VFT_APP}};
  if (GetFileAttributesW(harness::DistPath(L"x64\\VrnCtl.dll").c_str()) != INVALID_FILE_ATTRIBUTES)
    files.push_back({L"x64\\VrnCtl.dll", VFT_DLL});
  std::vector<std::wstring> descriptions;
  for (const Shipped& shipped : files) {
    SCOPED_TRACE(shipped.file);
    const VersionInfo info(harness::DistPath(shipped.file));
    ASSERT_TRUE(info.Present()) << "GetFileVersionInfo finds a version resource";
    const auto fixed = info.Fixed();
    ASSERT_TRUE(fixed.has_value());
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(VARNEL_VERSION_MINOR, VARNEL_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwFileType, shipped.type);
    EXPECT_EQ(info.String(L"FileVersion"), kVersion);
    EXPECT_EQ(info.String(L"ProductVersion"), kVersion);
    EXPECT_EQ(info.String(L"ProductName"), L"Varnel印鑑");
    EXPECT_EQ(info.String(L"CompanyName"), L"Qdx");
    const std::wstring description = info.String(L"FileDescription");
    EXPECT_EQ(description.rfind(L"Varnel印鑑 ", 0), 0u) << "a Japanese description of the file";
    EXPECT_GT(description.size(), std::wstring(L"Varnel印鑑 ").size());
    descriptions.push_back(description);
  }
  EXPECT_NE(descriptions[0], descriptions[1]) << "each file says what it is";
  EXPECT_NE(descriptions[1], descriptions[2]);
}

TEST(FileResources, TheRunningProgramLoadsCommonControls6AndShowsItsVersion) {
  harness::WriteQuietSettings();
  harness::VarnelRun varnel;
  ASSERT_TRUE(varnel.Start());
  UniqueHandleObject process(
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, varnel.ProcessId()));
  ASSERT_TRUE(process);
  const std::wstring controls = LoadedCommonControls(process.get());
  ASSERT_FALSE(controls.empty()) << "the program has loaded the common controls";
  EXPECT_TRUE(IsCommonControls6(controls)) << controls;
  // This test program has no manifest: it gets the old controls, so the
  // check above tells the two apart.
  const std::wstring own = LoadedCommonControls(GetCurrentProcess());
  if (!own.empty()) {
    EXPECT_FALSE(IsCommonControls6(own)) << own;
  }

  varnel.PadCommand(IDM_N4);
  HWND about = harness::WaitForBox(L"ﾊﾞｰｼﾞｮﾝ情報");
  ASSERT_NE(about, nullptr);
  wchar_t text[64] = {};
  GetDlgItemTextW(about, IDC_ABOUT_VERSION, text, 64);
  EXPECT_EQ(std::wstring(text), L"Version " + kVersion);
  harness::PressButton(about, IDOK);
  varnel.Stop();
  harness::DeleteTree(L"Software\\Qdx");
}

}  // namespace
