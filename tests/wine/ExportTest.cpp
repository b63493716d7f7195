// Saving the name and date seals as files from the real program: the stamp
// pad's and the tray's menu items, the platform's save dialog driven by its
// control IDs, and the files read back as other programs read them. The
// transparent PNGs are checked by ImageMagick after the tests
// (check-exported-png).

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "ImageCodec.h"
#include "MenuIds.h"
#include "UniqueHandle.h"
#include "harness/Clipboard.h"
#include "harness/Dialogs.h"
#include "harness/HostPath.h"
#include "harness/Process.h"
#include "harness/Prompts.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

using harness::kRoot;

const std::wstring kNameTitle = L"認印画像をファイル化", kDateTitle = L"日付印画像をファイル化";

std::wstring Output(const std::wstring& name = L"") {
  const std::wstring folder = harness::HostPath(VARNEL_OUTPUT_UNIX);
  return name.empty() ? folder : folder + L"\\" + name;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitForFile(const std::wstring& path) {
  for (int i = 0; i < 250 && !Exists(path); ++i) Sleep(20);
  return Exists(path);
}

std::optional<ENHMETAHEADER> MetafileHeader(const std::wstring& path) {
  UniqueHenhmetafile emf(GetEnhMetaFileW(path.c_str()));
  ENHMETAHEADER header{};
  if (!emf || GetEnhMetaFileHeader(emf.get(), sizeof header, &header) == 0) return std::nullopt;
  return header;
}

LONG FrameWidth(const ENHMETAHEADER& h) { return h.rclFrame.right - h.rclFrame.left; }

class Export : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::WriteQuietSettings();
    CreateDirectoryW(Output().c_str(), nullptr);
  }
  void TearDown() override {
    run.Stop();
    harness::DeleteTree(L"Software\\Qdx");
  }
  void Start() { ASSERT_TRUE(run.Start()); }
  // Chooses the pad's menu item, then answers the save dialog.
  void ExportFromPad(UINT id, const std::wstring& title, const std::wstring& file, int filter) {
    run.PadCommand(id);
    Save(title, file, filter);
  }
  static void Save(const std::wstring& title, const std::wstring& file, int filter) {
    HWND dialog = harness::WaitForBox(title);
    ASSERT_NE(dialog, nullptr) << "the save dialog";
    harness::ChooseFile(dialog, file, filter);
    ASSERT_TRUE(harness::WaitForWindowGone(title, 5000));
  }

  harness::VarnelRun run;
};

TEST_F(Export, NameSealFilesTakeTheFiltersExtensionAndTheMetafileIsTheClipboardsPicture) {
  for (const wchar_t* name : {L"name-seal.bmp", L"name-seal.wmf", L"name-seal.png", L"name-seal.svg"})
    DeleteFileW(Output(name).c_str());
  // The home folder is where the name export starts.
  std::wstring home = VARNEL_OUTPUT_UNIX;
  std::replace(home.begin(), home.end(), L'/', L'\\');
  SetEnvironmentVariableW(L"HOMEDRIVE", L"Z:");
  SetEnvironmentVariableW(L"HOMEPATH", home.c_str());
  Start();

  ExportFromPad(IDM_MNAMEEXP, kNameTitle, L"name-seal", 1);
  ASSERT_TRUE(WaitForFile(Output(L"name-seal.bmp"))) << "a bare name, the bitmap filter: .bmp in the home folder";
  EXPECT_EQ(DecodeImageFile(Output(L"name-seal.bmp")).status, ImageFileStatus::Loaded);

  ExportFromPad(IDM_MNAMEEXP, kNameTitle, Output(L"name-seal.png"), 2);
  ASSERT_TRUE(WaitForFile(Output(L"name-seal.wmf"))) << "the metafile filter forces .wmf";
  EXPECT_FALSE(Exists(Output(L"name-seal.png")));
  const auto file = MetafileHeader(Output(L"name-seal.wmf"));
  ASSERT_TRUE(file) << "an enhanced metafile";

  harness::VrnCtlLibrary ctl;
  harness::PutClipboardText("before");
  const DWORD before = GetClipboardSequenceNumber();
  ctl.Call("_NameStamp");
  ASSERT_TRUE(harness::WaitForStampFormats(before, 10000));
  const auto pasted = harness::ClipboardEnhMetaHeader();
  ASSERT_TRUE(pasted);
  EXPECT_EQ(FrameWidth(*file), FrameWidth(*pasted)) << "the picture the clipboard gets";
  EXPECT_EQ(file->rclFrame.bottom - file->rclFrame.top, pasted->rclFrame.bottom - pasted->rclFrame.top);
  EXPECT_EQ(file->nRecords, pasted->nRecords);
  EXPECT_EQ(file->nBytes, pasted->nBytes);

  // What it holds is read by ImageMagick after the tests.
  ExportFromPad(IDM_MNAMEEXP, kNameTitle, Output(L"name-seal"), 3);
  EXPECT_TRUE(WaitForFile(Output(L"name-seal.png")));
  ExportFromPad(IDM_MNAMEEXP, kNameTitle, Output(L"name-seal"), 4);
  EXPECT_TRUE(WaitForFile(Output(L"name-seal.svg")));
}

TEST_F(Export, RezoHosei200DoublesTheMetafileButNotTheBitmap) {
  Start();
  ExportFromPad(IDM_MNAMEEXP, kNameTitle, Output(L"rezo-100"), 1);
  ExportFromPad(IDM_MNAMEEXP, kNameTitle, Output(L"rezo-100"), 2);
  run.Stop();
  harness::WriteString(kRoot, L"RezoHosei", L"200");
  Start();
  ExportFromPad(IDM_MNAMEEXP, kNameTitle, Output(L"rezo-200"), 1);
  ExportFromPad(IDM_MNAMEEXP, kNameTitle, Output(L"rezo-200"), 2);
  ASSERT_TRUE(WaitForFile(Output(L"rezo-200.wmf")));

  const std::string bitmap100 = harness::ReadWholeFile(Output(L"rezo-100.bmp")).value_or("");
  EXPECT_FALSE(bitmap100.empty());
  EXPECT_EQ(harness::ReadWholeFile(Output(L"rezo-200.bmp")), bitmap100) << "pixel for pixel";
  const auto small = MetafileHeader(Output(L"rezo-100.wmf")), large = MetafileHeader(Output(L"rezo-200.wmf"));
  ASSERT_TRUE(small && large);
  // Whole pixels on the way: within one screen pixel of twice the size.
  EXPECT_NEAR(FrameWidth(*large), 2 * FrameWidth(*small), 30);
  for (const wchar_t* name : {L"rezo-100.bmp", L"rezo-100.wmf", L"rezo-200.bmp", L"rezo-200.wmf"})
    DeleteFileW(Output(name).c_str());
}

TEST_F(Export, TheDateExportAsksForTheDateAndAFileThatCannotBeWrittenIsReported) {
  DeleteFileW(Output(L"date-seal.png").c_str());
  harness::WriteString(kRoot, L"CheckDate", L"1");
  harness::WriteString(kRoot, L"RezoHosei", L"200");
  Start();
  PostMessageW(run.tray, WM_COMMAND, IDM_TRAY_MDATEEXP, 0);
  Save(kDateTitle, Output(L"date-seal"), 3);
  HWND date = harness::WaitForBox(L"Varnel印鑑");
  ASSERT_NE(date, nullptr);
  ASSERT_NE(GetDlgItem(date, IDC_DATE_EDIT1), nullptr) << "the date-change prompt, also for a file";
  harness::PressButton(date, IDOK);
  EXPECT_TRUE(WaitForFile(Output(L"date-seal.png")));

  const std::wstring locked = Output(L"locked.bmp");
  SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(harness::WriteWholeFile(locked, "keep", 4));
  SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY);
  PostMessageW(run.tray, WM_COMMAND, IDM_TRAY_MDATEEXP, 0);
  Save(kDateTitle, Output(L"locked"), 1);
  harness::PressButton(harness::WaitForBox(L"Varnel印鑑"), IDOK);  // the date
  HWND error = harness::WaitForBox(L"Varnel印鑑");
  ASSERT_NE(error, nullptr);
  const std::wstring text = harness::BoxText(error);
  EXPECT_EQ(text.rfind(L"ファイルを保存できませんでした。\n" + locked, 0), 0u) << "the file is named";
  EXPECT_GT(text.size(), locked.size() + 20) << "with the platform's reason";
  harness::PressButton(error, IDOK);
  EXPECT_EQ(harness::ReadWholeFile(locked), "keep");
  SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(locked.c_str());

  // The program is idle again: a request is served.
  harness::VrnCtlLibrary ctl;
  harness::PutClipboardText("before");
  ctl.Call("_NameStamp");
  EXPECT_TRUE(harness::ClipboardOffers(CF_DIB, 10000));
}

}  // namespace
