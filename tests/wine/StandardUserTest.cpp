// The installed program as a standard user meets it: run by
// tests/wine/run-as-standard-user as an unprivileged user who may not write
// the program folder, as under Program Files on Windows.

#include <gtest/gtest.h>

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "FileSave.h"
#include "MenuIds.h"
#include "ProgramFolder.h"
#include "harness/Clipboard.h"
#include "harness/Dialogs.h"
#include "harness/Prompts.h"
#include "harness/HostPath.h"
#include "harness/Process.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

using harness::kRoot;

// Where the package installed the program: Program Files of this process's
// bitness, as the package of the same bitness chooses.
std::wstring InstalledFolder() {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramFiles, 0, nullptr, &path))) folder = path;
  CoTaskMemFree(path);
  return folder + L"\\Varnel";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class StandardUser : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Exists(folder + L"\\Varnel.exe")) << "run-as-standard-user installs the package";
    ASSERT_FALSE(FolderAcceptsNewFiles(folder)) << "this user may not write the installed folder";
    harness::WriteQuietSettings();
    harness::WriteString(kRoot, L"ClipboardFormat", L"DIBitmap");
  }
  void TearDown() override {
    run.Stop();
    harness::DeleteTree(L"Software\\Qdx");
  }
  // Erases the bitmap seal from the stamp pad's menu, as the user does.
  void EraseFromThePad() {
    run.PadCommand(IDM_ERASESTAMP);
    HWND ask = harness::WaitForBox(L"Varnel印鑑");
    ASSERT_NE(ask, nullptr);
    ASSERT_EQ(harness::BoxText(ask), L"保管されているﾋﾞｯﾄﾏｯﾌﾟ印鑑を削除します");
    harness::PressButton(ask, IDOK);
  }
  // Stamps the bitmap seal through the installed library; the width of the DIB.
  LONG StampedWidth() {
    harness::VrnCtlLibrary ctl(folder + L"\\VrnCtl.dll");
    harness::PutClipboardText("before");
    if (ctl.Call("_BmpStamp") != 1 || !harness::ClipboardOffers(CF_DIB, 10000)) return 0;
    BITMAPINFOHEADER dib{};
    return harness::ReadDibHeader(dib) ? dib.biWidth : 0;
  }

  const std::wstring folder = InstalledFolder();
  harness::VarnelRun run;
};

TEST_F(StandardUser, CutsSavesAndStampsABitmapSealKeptInTheirOwnFolder) {
  harness::WriteString(kRoot, L"Bitmap1", L"0");
  ASSERT_TRUE(run.Start(folder));
  run.PadCommand(IDM_BITMAPEDIT);
  HWND cutter = harness::WaitForBox(L"Varnel印鑑イメージカッター");
  ASSERT_NE(cutter, nullptr);
  harness::PostClick(cutter, IDC_CUT_BUTTON3);
  HWND open = harness::WaitForBox(L"ビットマップファイルの読込み");
  ASSERT_NE(open, nullptr);
  harness::ChooseFile(open, harness::HostPath(VARNEL_FIXTURES_UNIX L"/scan.png"));
  ASSERT_TRUE(harness::WaitForWindowGone(L"ビットマップファイルの読込み", 5000));

  harness::PostClick(cutter, IDOK);
  HWND name = harness::WaitForBox(L"Varnel印鑑");
  ASSERT_NE(GetDlgItem(name, IDC_BMPSAVE_EDIT), nullptr) << "the name dialog";
  harness::SetControlText(name, IDC_BMPSAVE_EDIT, L"mine");
  harness::PressButton(name, IDOK);
  EXPECT_TRUE(harness::WaitForWindowGone(L"Varnel印鑑イメージカッター", 5000)) << "saved, not refused";

  EXPECT_TRUE(Exists(UserFile(L"mine.bmp"))) << "in %APPDATA%\\Qdx\\Varnel";
  EXPECT_FALSE(Exists(folder + L"\\mine.bmp"));
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), L"mine.bmp") << "still a bare name";
  EXPECT_EQ(StampedWidth(), 450) << "the cut stamps";

  EraseFromThePad();
  // The file goes first, then the setting.
  for (int i = 0; i < 100 && harness::ReadString(kRoot, L"Bitmap1") != L"0"; ++i) Sleep(50);
  EXPECT_FALSE(Exists(UserFile(L"mine.bmp"))) << "the user's own seal is erased";
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), L"0");
}

// A company seal the administrator placed beside the program serves every
// user who has none of their own.
TEST_F(StandardUser, StampsASealThatOnlyTheProgramFolderHolds) {
  harness::WriteString(kRoot, L"Bitmap1", L"company.png");
  ASSERT_TRUE(run.Start(folder));
  EXPECT_EQ(StampedWidth(), 120);
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), L"company.png");

  // Erasing it is not this user's to do: it stays, and the user is told why.
  EraseFromThePad();
  HWND told = harness::WaitForBox(L"Varnel印鑑");
  ASSERT_NE(told, nullptr);
  EXPECT_NE(harness::BoxText(told).find(L"インストール"), std::wstring::npos) << harness::BoxText(told).c_str();
  harness::PressButton(told, IDOK);
  EXPECT_TRUE(Exists(folder + L"\\company.png"));
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), L"company.png");
}

// A folder where this user may change files but not make them: the save
// goes into the file itself, which stays the same file (its hard link sees
// the new content); a new file there is refused.
TEST(StandardUserFiles, ASaveWhereNoFileMayBeMadeChangesTheFileItself) {
  const char* fixed = std::getenv("VARNEL_FIXED_FOLDER");
  ASSERT_NE(fixed, nullptr) << "run-as-standard-user prepares the folder";
  const std::wstring folder = harness::HostPath(std::wstring(fixed, fixed + std::strlen(fixed)));
  ASSERT_FALSE(FolderAcceptsNewFiles(folder));
  const auto write = [](const std::wstring& path) {
    return harness::WriteWholeFile(path, "new\r\n", 5);
  };
  EXPECT_EQ(SaveReplacing(folder + L"\\kept.txt", write), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(harness::ReadWholeFile(folder + L"\\kept.txt"), "new\r\n");
  EXPECT_EQ(harness::ReadWholeFile(folder + L"\\kept-link.txt"), "new\r\n") << "the same file, its link kept";
  EXPECT_NE(SaveReplacing(folder + L"\\made.txt", write), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(Exists(folder + L"\\made.txt"));
}

}  // namespace
