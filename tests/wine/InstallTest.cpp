// The release as an administrator deploys it: each MSI installed, upgraded
// and removed quietly by msiexec, as a policy does; and the zip unpacked.
// The packages come from scripts/package (release/), the higher version to
// upgrade to from scripts/package --upgrade-fixtures; the unpacked zip from
// check-release. The installed program is started where this host runs its
// bitness: the 64-bit package from a 64-bit test, the 32-bit one from a
// 32-bit test; a 64-bit prefix installs the 32-bit package too.

#include <gtest/gtest.h>

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "VarnelVersion.h"
#include "harness/HostPath.h"
#include "harness/Process.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"

namespace {

constexpr DWORD kMsiexecMs = 180000;
constexpr DWORD kStampMs = 20000;
const std::wstring kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// A setting the user changed before the upgrade.
const std::wstring kChangedText = L"試験";

std::wstring Widen(const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

const std::wstring kVersion = Widen(VARNEL_VERSION_TEXT);
const std::wstring kNextVersion =
    std::to_wstring(VARNEL_VERSION_MAJOR) + L"." + std::to_wstring(VARNEL_VERSION_MINOR + 1);

struct Package {
  std::wstring arch;  // x86 or x64
  bool runsHere;      // the installed program can be started by this test
};

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

std::wstring InstallFolder(const Package& package) {
  return KnownFolder(package.arch == L"x86" ? FOLDERID_ProgramFilesX86 : FOLDERID_ProgramFilesX64) + L"\\Varnel";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The Start-menu shortcut: the all-users menu, as Windows places it for a
// per-machine package, or the user's own, where Wine does; empty when none.
std::wstring Shortcut() {
  for (REFKNOWNFOLDERID folder : {FOLDERID_CommonPrograms, FOLDERID_Programs})
    if (const std::wstring path = KnownFolder(folder) + L"\\Varnel.lnk"; Exists(path)) return path;
  return L"";
}

// What a shortcut starts; empty when it cannot be read.
std::wstring ShortcutTarget(const std::wstring& shortcut) {
  std::wstring target;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return target;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ)) && SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
      target = path;
    file->Release();
  }
  link->Release();
  return target;
}

std::wstring PackagePath(const wchar_t* unixFolder, const std::wstring& version, const Package& package) {
  return harness::HostPath(unixFolder) + L"\\Varnel-" + version + L"-" + package.arch + L".msi";
}

DWORD Msiexec(const std::wstring& arguments) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  harness::RunningProgram msiexec(std::wstring(system) + L"\\msiexec.exe", arguments, system);
  return msiexec.WaitForExit(kMsiexecMs);
}

// The registry view the package writes to: 32-bit packages go to the
// 32-bit view of a 64-bit system.
REGSAM ViewOf(const Package& package) { return package.arch == L"x86" ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

std::wstring MachineString(const std::wstring& keyPath, const wchar_t* name, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return L"";
  wchar_t value[1024] = {};
  DWORD size = sizeof value - sizeof(wchar_t), type = 0;
  const LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_SZ ? value : L"";
}

// The DisplayVersion of every uninstall entry named Varnel, in both views.
std::vector<std::wstring> UninstallEntries() {
  std::vector<std::wstring> versions;
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
      continue;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = 256;
      if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      const std::wstring entry = kUninstallKey + L"\\" + name;
      if (MachineString(entry, L"DisplayName", view) == L"Varnel")
        versions.push_back(MachineString(entry, L"DisplayVersion", view));
    }
    RegCloseKey(key);
  }
  // A 32-bit system has one view: the same entry is seen twice.
  if (versions.size() == 2 && versions[0] == versions[1]) versions.pop_back();
  return versions;
}

bool HasStampFormats() {
  return IsClipboardFormatAvailable(CF_ENHMETAFILE) && IsClipboardFormatAvailable(CF_DIB);
}

// Starts the folder's program, stamps the name seal through the folder's
// VrnCtl.dll and ends the program.
void StartsAndStamps(const std::wstring& folder) {
  SCOPED_TRACE(folder);
  harness::VarnelRun varnel;
  ASSERT_TRUE(varnel.Start(folder)) << "the program starts from its folder";
  harness::VrnCtlLibrary ctl(folder + L"\\VrnCtl.dll");
  const DWORD before = GetClipboardSequenceNumber();
  ASSERT_EQ(ctl.Call("_NameStamp"), 1) << "the folder's VrnCtl.dll finds the program";
  EXPECT_TRUE(harness::WaitForStampFormats(before, kStampMs)) << "the name seal is on the clipboard";
  EXPECT_TRUE(HasStampFormats());
  varnel.Stop();
}

void InstallUpgradeRemove(const Package& package) {
  SCOPED_TRACE(package.arch);
  const std::wstring msi = PackagePath(VARNEL_RELEASE_UNIX, kVersion, package);
  const std::wstring higher = PackagePath(VARNEL_UPGRADE_UNIX, kNextVersion, package);
  ASSERT_TRUE(Exists(msi)) << "scripts/package makes " << msi;
  ASSERT_TRUE(Exists(higher)) << "scripts/package --upgrade-fixtures makes the higher version";
  const std::wstring folder = InstallFolder(package);
  std::vector<std::wstring> files = {L"Varnel.exe", L"VrnCtl.dll", L"vrnctl.exe", L"help\\index.html"};
  if (package.arch == L"x86") files.push_back(L"x64\\VrnCtl.dll");
  const std::wstring autoStart = L"\"" + folder + L"\\Varnel.exe\"";

  // A quiet install: the files, the Start-menu shortcut, the uninstall
  // entry with the version; no start at sign-in unless asked for.
  ASSERT_EQ(Msiexec(L"/i \"" + msi + L"\" /qn"), 0u);
  for (const std::wstring& file : files) EXPECT_TRUE(Exists(folder + L"\\" + file)) << file;
  ASSERT_NE(Shortcut(), L"") << "a Start-menu shortcut";
  EXPECT_EQ(CompareStringOrdinal(ShortcutTarget(Shortcut()).c_str(), -1, (folder + L"\\Varnel.exe").c_str(), -1, TRUE),
            CSTR_EQUAL)
      << ShortcutTarget(Shortcut());
  EXPECT_EQ(UninstallEntries(), std::vector<std::wstring>{kVersion});
  EXPECT_EQ(MachineString(kRunKey, L"Varnel", ViewOf(package)), L"");
  if (package.runsHere) StartsAndStamps(folder);

  // The user changes a setting; the higher version replaces the installed
  // one (one entry left, of the new version) and starts at sign-in.
  harness::WriteString(harness::Section(L"NameStamp"), L"Text1", kChangedText);
  ASSERT_EQ(Msiexec(L"/i \"" + higher + L"\" /qn AUTOSTART=1"), 0u);
  EXPECT_EQ(UninstallEntries(), std::vector<std::wstring>{kNextVersion});
  for (const std::wstring& file : files) EXPECT_TRUE(Exists(folder + L"\\" + file));
  EXPECT_NE(Shortcut(), L"");
  EXPECT_EQ(MachineString(kRunKey, L"Varnel", ViewOf(package)), autoStart);
  EXPECT_EQ(harness::ReadString(harness::Section(L"NameStamp"), L"Text1"), kChangedText);
  if (package.runsHere) StartsAndStamps(folder);
  EXPECT_EQ(harness::ReadString(harness::Section(L"NameStamp"), L"Text1"), kChangedText)
      << "the upgraded program keeps the user's setting";

  // A quiet removal: files, shortcut, entry and sign-in start go; the
  // user's settings stay.
  ASSERT_EQ(Msiexec(L"/x \"" + higher + L"\" /qn"), 0u);
  for (const std::wstring& file : files) EXPECT_FALSE(Exists(folder + L"\\" + file));
  EXPECT_FALSE(Exists(folder));
  EXPECT_EQ(Shortcut(), L"");
  EXPECT_TRUE(UninstallEntries().empty());
  EXPECT_EQ(MachineString(kRunKey, L"Varnel", ViewOf(package)), L"");
  EXPECT_EQ(harness::ReadString(harness::Section(L"NameStamp"), L"Text1"), kChangedText);
}

class Install : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::WriteQuietSettings();
    CoInitialize(nullptr);
  }
  void TearDown() override {
    CoUninitialize();
    harness::DeleteTree(L"Software\\Qdx");
  }
};

#ifdef _WIN64
TEST_F(Install, The64BitPackageInstallsUpgradesAndUninstallsQuietly) { InstallUpgradeRemove({L"x64", true}); }
// The 32-bit program does not run on this host; its package installs.
TEST_F(Install, The32BitPackageInstallsUpgradesAndUninstallsQuietly) { InstallUpgradeRemove({L"x86", false}); }
#else
TEST_F(Install, The32BitPackageInstallsUpgradesAndUninstallsQuietly) { InstallUpgradeRemove({L"x86", true}); }
#endif

TEST_F(Install, TheUnzippedFolderStartsAndStamps) {
  const std::wstring folder = harness::HostPath(VARNEL_UNZIPPED_UNIX) + L"\\Varnel";
  ASSERT_TRUE(Exists(folder + L"\\Varnel.exe")) << "check-release unpacks the zip of this build";
  StartsAndStamps(folder);
}

}  // namespace
