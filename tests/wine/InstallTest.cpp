// The release as an administrator deploys it: each MSI installed, upgraded
// (with the program running), repaired and removed quietly by msiexec, as a
// policy does; the two editions replacing each other; and the zip unpacked.
// The packages come from scripts/package (release/), the higher version to
// upgrade to from scripts/package --upgrade-fixtures; the unpacked zip from
// check-release. Each installed edition's two libraries are loaded by a
// caller of their own bitness, which stamps: the test itself for its own
// bitness, ctlprobe64 for 64 bits from the 32-bit test. A 64-bit prefix
// installs and runs both editions; where the host runs no 32-bit code the
// 32-bit program and library are left out.

#include <gtest/gtest.h>

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <optional>
#include <string>
#include <vector>

#include "VarnelVersion.h"
#include "harness/Clipboard.h"
#include "harness/ConsoleProgram.h"
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
};

#ifdef _WIN64
constexpr bool kRuns32BitCode = false;
const std::wstring kOwnArch = L"x64", kOtherArch = L"x86";
#else
constexpr bool kRuns32BitCode = true;
const std::wstring kOwnArch = L"x86", kOtherArch = L"x64";
#endif

// The library a caller of this process's bitness loads from an edition's
// folder, and the one for the other bitness.
std::wstring OwnLibrary(const Package& package) {
  return package.arch == kOwnArch ? L"VrnCtl.dll" : kOwnArch + L"\\VrnCtl.dll";
}
std::wstring OtherLibrary(const Package& package) {
  return package.arch == kOwnArch ? kOtherArch + L"\\VrnCtl.dll" : L"VrnCtl.dll";
}
// The edition's program runs here: a 32-bit test runs in a 64-bit prefix.
bool ProgramRunsHere(const Package& package) { return package.arch == L"x64" || kRuns32BitCode; }

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

// The 64-bit Program Files: a 32-bit process learns it from ProgramW6432,
// for which the platform names no known folder.
std::wstring ProgramFiles64() {
  wchar_t folder[MAX_PATH] = {};
  const DWORD n = GetEnvironmentVariableW(L"ProgramW6432", folder, MAX_PATH);
  return n > 0 && n < MAX_PATH ? folder : KnownFolder(FOLDERID_ProgramFilesX64);
}

std::wstring InstallFolder(const Package& package) {
  return (package.arch == L"x86" ? KnownFolder(FOLDERID_ProgramFilesX86) : ProgramFiles64()) + L"\\Varnel";
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

std::wstring SessionManagerPending() {
  return MachineString(L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", L"PendingFileRenameOperations",
                       KEY_WOW64_64KEY);
}

// The name seal stamped through the library at path by a caller of this
// process's bitness (loaded here) or of 64 bits (ctlprobe64).
void StampsThrough(const std::wstring& library, bool inThisProcess) {
  SCOPED_TRACE(library);
  harness::PutClipboardText("before");
  const DWORD before = GetClipboardSequenceNumber();
  if (inThisProcess) {
    harness::VrnCtlLibrary ctl(library);
    ASSERT_EQ(ctl.Call("_NameStamp"), 1) << "the library loads and finds the program";
  } else {
    ASSERT_EQ(harness::RunConsoleProgram(harness::HostPath(VARNEL_CTLPROBE64_UNIX),
                                         L"\"" + library + L"\" _NameStamp", kStampMs)
                  .exitCode,
              1u)
        << "a 64-bit caller loads the library and finds the program";
  }
  EXPECT_TRUE(harness::WaitForStampFormats(before, kStampMs)) << "the name seal is on the clipboard";
  EXPECT_TRUE(HasStampFormats());
}

// Starts the folder's program and stamps through each of its two libraries,
// from a caller of the library's bitness where this host runs one; then
// ends the program.
void StartsAndStamps(const std::wstring& folder, const Package& package) {
  SCOPED_TRACE(folder);
  harness::VarnelRun varnel;
  ASSERT_TRUE(varnel.Start(folder)) << "the program starts from its folder";
  StampsThrough(folder + L"\\" + OwnLibrary(package), true);
  if (kRuns32BitCode) StampsThrough(folder + L"\\" + OtherLibrary(package), false);
  varnel.Stop();
}

std::vector<std::wstring> FilesOf(const Package& package) {
  return {L"Varnel.exe", L"VrnCtl.dll", L"vrnctl.exe", L"help\\index.html",
          (package.arch == L"x86" ? L"x64" : L"x86") + std::wstring(L"\\VrnCtl.dll")};
}

std::wstring RunValue(const Package& package) { return MachineString(kRunKey, L"Varnel", ViewOf(package)); }
// The AUTOSTART of the last install, kept where both editions read it.
std::wstring RememberedAutoStart() {
  return MachineString(L"Software\\Qdx\\Varnel\\Install", L"AutoStart", KEY_WOW64_32KEY);
}

void InstallUpgradeRepairRemove(const Package& package) {
  SCOPED_TRACE(package.arch);
  const std::wstring msi = PackagePath(VARNEL_RELEASE_UNIX, kVersion, package);
  const std::wstring higher = PackagePath(VARNEL_UPGRADE_UNIX, kNextVersion, package);
  ASSERT_TRUE(Exists(msi)) << "scripts/package makes " << msi;
  ASSERT_TRUE(Exists(higher)) << "scripts/package --upgrade-fixtures makes the higher version";
  const std::wstring folder = InstallFolder(package);
  const std::wstring autoStart = L"\"" + folder + L"\\Varnel.exe\"";

  // A quiet install: the files (both libraries among them), the Start-menu
  // shortcut, the uninstall entry with the version; no start at sign-in
  // unless asked for.
  ASSERT_EQ(Msiexec(L"/i \"" + msi + L"\" /qn"), 0u);
  for (const std::wstring& file : FilesOf(package)) EXPECT_TRUE(Exists(folder + L"\\" + file)) << file;
  ASSERT_NE(Shortcut(), L"") << "a Start-menu shortcut";
  EXPECT_EQ(CompareStringOrdinal(ShortcutTarget(Shortcut()).c_str(), -1, (folder + L"\\Varnel.exe").c_str(), -1, TRUE),
            CSTR_EQUAL)
      << ShortcutTarget(Shortcut());
  EXPECT_EQ(UninstallEntries(), std::vector<std::wstring>{kVersion});
  EXPECT_EQ(RunValue(package), L"");
  if (ProgramRunsHere(package)) StartsAndStamps(folder, package);

  // The user changed a setting and has the program in the tray. The higher
  // version with AUTOSTART=1 closes it without a question (it keeps its
  // settings), replaces the installed one without a restart pending, and
  // starts at sign-in.
  harness::WriteString(harness::Section(L"NameStamp"), L"Text1", kChangedText);
  std::optional<harness::RunningProgram> running;
  if (ProgramRunsHere(package)) {
    running.emplace(folder + L"\\Varnel.exe");
    ASSERT_NE(harness::WaitForWindow(L"VarnelMain", 20000), nullptr);
  }
  ASSERT_EQ(Msiexec(L"/i \"" + higher + L"\" /qn AUTOSTART=1"), 0u);
  if (running) {
    EXPECT_EQ(running->WaitForExit(1000), 0u) << "the installer closed the running program, unasked";
  }
  EXPECT_EQ(SessionManagerPending(), L"") << "no file waits for a restart";
  EXPECT_EQ(UninstallEntries(), std::vector<std::wstring>{kNextVersion});
  for (const std::wstring& file : FilesOf(package)) EXPECT_TRUE(Exists(folder + L"\\" + file));
  EXPECT_NE(Shortcut(), L"");
  EXPECT_EQ(RunValue(package), autoStart);
  EXPECT_EQ(harness::ReadString(harness::Section(L"NameStamp"), L"Text1"), kChangedText);

  // A repair that does not name AUTOSTART keeps the start at sign-in (the
  // repair of "msiexec /fa", in the form Wine's msiexec also takes).
  ASSERT_EQ(Msiexec(L"/i \"" + higher + L"\" /qn REINSTALL=ALL REINSTALLMODE=omus"), 0u);
  EXPECT_EQ(RunValue(package), autoStart) << "kept on repair";
  EXPECT_EQ(RememberedAutoStart(), L"1");
  if (ProgramRunsHere(package)) StartsAndStamps(folder, package);
  EXPECT_EQ(harness::ReadString(harness::Section(L"NameStamp"), L"Text1"), kChangedText)
      << "the upgraded program keeps the user's setting";

  // A quiet removal: files, shortcut, entry, sign-in start and the
  // remembered choice go; the user's settings stay.
  ASSERT_EQ(Msiexec(L"/x \"" + higher + L"\" /qn"), 0u);
  for (const std::wstring& file : FilesOf(package)) EXPECT_FALSE(Exists(folder + L"\\" + file));
  EXPECT_FALSE(Exists(folder));
  EXPECT_EQ(Shortcut(), L"");
  EXPECT_TRUE(UninstallEntries().empty());
  EXPECT_EQ(RunValue(package), L"");
  EXPECT_EQ(RememberedAutoStart(), L"");
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

TEST_F(Install, The32BitPackageInstallsUpgradesRepairsAndUninstallsQuietly) {
  InstallUpgradeRepairRemove({L"x86"});
}
TEST_F(Install, The64BitPackageInstallsUpgradesRepairsAndUninstallsQuietly) {
  InstallUpgradeRepairRemove({L"x64"});
}

// Either edition of the same version replaces the other: one entry, one
// program folder, one shortcut and one Run value at a time. AUTOSTART not
// given is the last install's choice; AUTOSTART=0 takes the start away.
TEST_F(Install, EitherEditionReplacesTheOtherOfTheSameVersion) {
  const Package x86{L"x86"}, x64{L"x64"};
  const auto install = [](const Package& package, const std::wstring& properties) {
    return Msiexec(L"/i \"" + PackagePath(VARNEL_RELEASE_UNIX, kVersion, package) + L"\" /qn" + properties);
  };
  const auto holds = [](const Package& package) {
    return Exists(InstallFolder(package) + L"\\Varnel.exe") &&
           CompareStringOrdinal(ShortcutTarget(Shortcut()).c_str(), -1,
                                (InstallFolder(package) + L"\\Varnel.exe").c_str(), -1, TRUE) == CSTR_EQUAL;
  };
  ASSERT_EQ(install(x86, L" AUTOSTART=1"), 0u);
  EXPECT_NE(RunValue(x86), L"");

  ASSERT_EQ(install(x64, L""), 0u);
  EXPECT_EQ(UninstallEntries(), std::vector<std::wstring>{kVersion}) << "the 64-bit edition replaced the 32-bit one";
  EXPECT_TRUE(holds(x64));
  EXPECT_FALSE(Exists(InstallFolder(x86)));
  EXPECT_EQ(RunValue(x64), L"\"" + InstallFolder(x64) + L"\\Varnel.exe\"") << "the last choice, not given";
  EXPECT_EQ(RunValue(x86), L"");

  ASSERT_EQ(install(x86, L" AUTOSTART=0"), 0u);
  EXPECT_EQ(UninstallEntries(), std::vector<std::wstring>{kVersion}) << "and back";
  EXPECT_TRUE(holds(x86));
  EXPECT_FALSE(Exists(InstallFolder(x64)));
  EXPECT_EQ(RunValue(x86), L"") << "AUTOSTART=0 takes the start away";
  EXPECT_EQ(RunValue(x64), L"");

  ASSERT_EQ(Msiexec(L"/x \"" + PackagePath(VARNEL_RELEASE_UNIX, kVersion, x86) + L"\" /qn"), 0u);
  EXPECT_TRUE(UninstallEntries().empty());
}

TEST_F(Install, TheUnzippedFolderStartsAndStamps) {
  const std::wstring folder = harness::HostPath(VARNEL_UNZIPPED_UNIX) + L"\\Varnel";
  ASSERT_TRUE(Exists(folder + L"\\Varnel.exe")) << "check-release unpacks the zip of this build";
  StartsAndStamps(folder, {kOwnArch});
}

}  // namespace
