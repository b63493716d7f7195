// The graphic script editor in the running program, opened from the stamp
// pad's menu: its first showing and stored geometry, the preview drawn by the
// script interpreter, opening and saving script files.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "MenuIds.h"
#include "ScriptEditorSession.h"
#include "harness/Clipboard.h"
#include "harness/HostPath.h"
#include "harness/Pixels.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

using harness::kRoot;
using harness::PixelAt;
using harness::Rgb;

const std::wstring kScript = harness::Section(L"Script");

RECT WindowRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

// Files the preview may leave in the temporary folder.
int TemporaryScriptFiles() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((std::wstring(temp) + L"vgs*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

struct OwnedSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK MatchToolTips(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<OwnedSearch*>(lParam);
  wchar_t className[32] = {};
  GetClassNameW(hwnd, className, 32);
  if (GetWindow(hwnd, GW_OWNER) != search->owner || std::wstring(className) != TOOLTIPS_CLASSW) return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND ToolTipsOf(HWND owner) {
  OwnedSearch search{owner, nullptr};
  EnumWindows(MatchToolTips, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// What the file holds once it holds `expected`, or after five seconds: the
// program writes it when the file dialog has closed.
std::optional<std::string> FileOnceItHolds(const std::wstring& path, const std::string& expected) {
  std::optional<std::string> bytes;
  for (int i = 0; i < 100 && (bytes = harness::ReadWholeFile(path)) != expected; ++i) Sleep(50);
  return bytes;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class ScriptEditor : public ::testing::Test {
 protected:
  void SetUp() override { harness::WriteQuietSettings(); }
  void TearDown() override {
    if (session.program && session.program->Running()) {
      EXPECT_TRUE(session.EndProgram());
    }
    harness::DeleteTree(L"Software\\Qdx");
  }
  // The builder out of the way, so the preview shows on the screen.
  void BuilderAside() {
    harness::WriteString(kScript, L"GUIPosX", L"700");
    harness::WriteString(kScript, L"GUIPosY", L"0");
  }
  void StartAndOpen() {
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(session.OpenFromPad());
  }
  harness::ScriptEditorSession session;
};

TEST_F(ScriptEditor, FirstOpeningWritesItsDefaultsAndTheGeometryIsKept) {
  ASSERT_TRUE(session.Start());
  ASSERT_TRUE(session.OpenFromPadMenuByKeys()) << "the menu item is enabled";
  const RECT editor = WindowRect(session.editor);
  EXPECT_EQ(editor.left, 0);
  EXPECT_EQ(editor.top, 0);
  EXPECT_EQ(editor.right - editor.left, 640);
  EXPECT_EQ(editor.bottom - editor.top, 480);
  const RECT builder = WindowRect(session.builder);
  EXPECT_EQ(builder.left, 170);
  EXPECT_EQ(builder.top, 170);
  EXPECT_EQ(GetWindow(session.builder, GW_OWNER), session.editor) << "the builder belongs to the editor";
  EXPECT_FALSE(IsWindowEnabled(session.pad)) << "the editor is modal";
  EXPECT_TRUE(IsWindowEnabled(session.builder)) << "and the builder stays usable";
  const struct {
    const wchar_t* name;
    const wchar_t* value;
  } defaults[] = {{L"EditorPosX", L"0"},   {L"EditorPosY", L"0"}, {L"EditorSizeW", L"640"},
                  {L"EditorSizeH", L"480"}, {L"GUIPosX", L"170"}, {L"GUIPosY", L"170"}};
  for (const auto& value : defaults) EXPECT_EQ(harness::ReadString(kScript, value.name), value.value) << value.name;
  const struct {
    int id;
    const wchar_t* hint;
  } buttons[] = {{IDC_SCREDIT_SPEEDBUTTON4, L"新規作成"}, {IDC_SCREDIT_SPEEDBUTTON1, L"ファイルを開く"},
                 {IDC_SCREDIT_SPEEDBUTTON2, L"保存"},     {IDC_SCREDIT_SPEEDBUTTON6, L"表示更新"},
                 {IDC_SCREDIT_SPEEDBUTTON7, L"コピー"},   {IDC_SCREDIT_SPEEDBUTTON8, L"貼付"},
                 {IDC_SCREDIT_SPEEDBUTTON5, L"編集終了"}};
  for (const auto& button : buttons) EXPECT_EQ(session.Text(button.id), button.hint) << "found by its hint";
  EXPECT_EQ(SendMessageW(ToolTipsOf(session.editor), TTM_GETTOOLCOUNT, 0, 0), 8) << "and shown as a tooltip";
  // Esc in the text closes nothing: the script may not be saved yet.
  PostMessageW(session.Control(IDC_SCREDIT_MEMO1), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  Sleep(500);
  EXPECT_TRUE(IsWindowVisible(session.editor));

  // Stamping goes on while scripts are edited.
  harness::PutClipboardText("before");
  harness::VrnCtlLibrary ctl;
  ctl.Call("_NameStamp");
  EXPECT_TRUE(harness::ClipboardOffers(CF_DIB, 10000)) << "a control request stamps with the editor open";

  SetWindowPos(session.editor, nullptr, 40, 30, 700, 520, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(session.builder, nullptr, 760, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(session.Close());
  EXPECT_TRUE(IsWindowEnabled(session.pad));
  EXPECT_EQ(harness::ReadString(kScript, L"EditorSizeW"), L"700");
  EXPECT_EQ(harness::ReadString(kScript, L"GUIPosX"), L"760");

  ASSERT_TRUE(session.OpenFromTray()) << "the tray's item opens it too";
  const RECT again = WindowRect(session.editor);
  EXPECT_EQ(again.left, 40);
  EXPECT_EQ(again.top, 30);
  EXPECT_EQ(again.right - again.left, 700);
  EXPECT_EQ(again.bottom - again.top, 520);
  EXPECT_EQ(WindowRect(session.builder).left, 760);
  EXPECT_EQ(WindowRect(session.builder).top, 90);
}

TEST_F(ScriptEditor, TheAdministratorPolicySwitchesTheMenuItemOff) {
  harness::WriteString(kRoot, L"adm", L"1");
  harness::WriteString(kRoot, L"Policy01", L"0000000t");
  ASSERT_TRUE(session.Start());
  EXPECT_FALSE(session.OpenFromPadMenuByKeys(1500));
  PostMessageW(session.pad, WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageW(session.pad, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(ScriptEditor, TypedScriptPreviewsWithoutTheDateDialogOrALeftoverFile) {
  harness::WriteString(kRoot, L"CheckDate", L"1");
  BuilderAside();
  StartAndOpen();
  const int leftoversBefore = TemporaryScriptFiles();
  session.SetText(IDC_SCREDIT_MEMO1,
                  L"SIZE 120 80\r\nLINECOLOR 0 0 255\r\nLINEWIDTH 4\r\nRECT 10 10 110 70\r\n"
                  L"BGCOLOR 0 255 0\r\nCIRCLE 40 20 80 60\r\nDATE 12 14\r\n");
  session.Click(IDC_SCREDIT_SPEEDBUTTON6);
  EXPECT_EQ(harness::WaitForBox(L"Varnel印鑑", 1000), nullptr) << "a preview never asks for the date";
  const SIZE size = session.PreviewSize();
  EXPECT_EQ(size.cx, 120);
  EXPECT_EQ(size.cy, 80);
  const PackedDib shown = session.PreviewOnScreen();
  ASSERT_EQ(harness::DibWidth(shown), 120);
  EXPECT_EQ(PixelAt(shown, 11, 60), (Rgb{0, 0, 255})) << "the rectangle's left edge";
  EXPECT_EQ(PixelAt(shown, 60, 40), (Rgb{0, 255, 0})) << "the filled circle";
  EXPECT_TRUE(PixelAt(shown, 100, 62).IsWhite()) << "inside the rectangle, outside the circle";
  EXPECT_EQ(TemporaryScriptFiles(), leftoversBefore) << "the preview's file is deleted";
  EXPECT_FALSE(FileExists(harness::DistPath(L"temp.vgs"))) << "nothing is written into the program folder";

  session.Click(IDC_SCREDIT_SPEEDBUTTON4);
  EXPECT_EQ(session.Text(IDC_SCREDIT_MEMO1), L"") << "新規作成 empties the text";
  const PackedDib empty = session.PreviewOnScreen();
  ASSERT_GT(harness::DibWidth(empty), 0);
  const COLORREF area = GetSysColor(COLOR_APPWORKSPACE);
  EXPECT_EQ(PixelAt(empty, 5, 5), (Rgb{GetRValue(area), GetGValue(area), GetBValue(area)})) << "and the picture";
}

TEST_F(ScriptEditor, SavingForcesTheScriptExtensionAndAsksBeforeReplacing) {
  const std::wstring folder = harness::FreshTemporaryFolder(L"varnel-editor-save");
  StartAndOpen();
  session.SetText(IDC_SCREDIT_MEMO1, L"SIZE 50 50\r\nLINE 0 0 50 50");
  session.ClickLater(IDC_SCREDIT_SPEEDBUTTON2);
  ASSERT_TRUE(session.AnswerFileDialog(L"名前を付けて保存", folder + L"\\stamp.txt"));
  EXPECT_EQ(FileOnceItHolds(folder + L"\\stamp.vgs", "SIZE 50 50\r\nLINE 0 0 50 50"), "SIZE 50 50\r\nLINE 0 0 50 50")
      << "written as typed";
  EXPECT_FALSE(FileExists(folder + L"\\stamp.txt"));

  session.SetText(IDC_SCREDIT_MEMO1, L"SIZE 60 60");
  session.ClickLater(IDC_SCREDIT_SPEEDBUTTON2);
  ASSERT_TRUE(session.AnswerFileDialog(L"名前を付けて保存", folder + L"\\stamp.txt"));
  HWND question = harness::WaitForBox(L"", 5000);
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(harness::BoxText(question), L"上書保存します。よろしいですか？");
  harness::PressButton(question, IDCANCEL);
  Sleep(300);
  EXPECT_EQ(harness::ReadWholeFile(folder + L"\\stamp.vgs"), "SIZE 50 50\r\nLINE 0 0 50 50") << "Cancel keeps it";

  session.ClickLater(IDC_SCREDIT_SPEEDBUTTON2);
  ASSERT_TRUE(session.AnswerFileDialog(L"名前を付けて保存", folder + L"\\stamp.vgs"));
  question = harness::WaitForBox(L"", 5000);
  ASSERT_NE(question, nullptr);
  harness::PressButton(question, IDOK);
  EXPECT_EQ(FileOnceItHolds(folder + L"\\stamp.vgs", "SIZE 60 60"), "SIZE 60 60") << "OK replaces it";
}

// Files in the folder, by name.
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
  while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// The volume fills up 8 KiB into the new script: the write fails half-way.
TEST_F(ScriptEditor, ASaveThatFailsHalfWayLeavesTheOldScriptAsItWas) {
  const std::wstring folder = harness::FreshTemporaryFolder(L"varnel-editor-full");
  const std::string old = "SIZE 50 50\r\nLINE 0 0 50 50\r\n";
  ASSERT_TRUE(harness::WriteWholeFile(folder + L"\\stamp.vgs", old.data(), old.size()));
  ASSERT_TRUE(session.StartUnderFileSizeLimit(8));
  ASSERT_TRUE(session.OpenFromPad());
  std::wstring longer = L"SIZE 60 60\r\n";
  while (longer.size() < 20000) longer += L"LINE 0 0 60 60\r\n";
  session.SetText(IDC_SCREDIT_MEMO1, longer);
  session.ClickLater(IDC_SCREDIT_SPEEDBUTTON2);
  ASSERT_TRUE(session.AnswerFileDialog(L"名前を付けて保存", folder + L"\\stamp.vgs"));
  HWND question = harness::WaitForBox(L"", 5000);
  ASSERT_NE(question, nullptr);
  harness::PressButton(question, IDOK);  // 上書保存します。よろしいですか？

  HWND failure = harness::WaitForBox(L"Varnel印鑑", 10000);
  ASSERT_NE(failure, nullptr) << "the failed save is reported";
  EXPECT_EQ(harness::BoxText(failure).rfind(L"ファイルを保存できませんでした。\n" + folder + L"\\stamp.vgs", 0), 0u);
  harness::PressButton(failure, IDOK);
  const std::optional<std::string> kept = harness::ReadWholeFile(folder + L"\\stamp.vgs");
  ASSERT_TRUE(kept);
  EXPECT_TRUE(*kept == old) << "the old script, byte for byte, not " << kept->size() << " bytes";
  EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"stamp.vgs"}) << "no half-written file is left";
  EXPECT_EQ(session.Text(IDC_SCREDIT_MEMO1), longer) << "the text is still there to save elsewhere";
}

// The folders browsed to in the file dialogs do not change where the program
// finds its own files: the bitmap seal beside it still stamps afterwards.
TEST_F(ScriptEditor, OpeningTrimsEveryLineAndSavingKeepsItTrimmed) {
  const std::wstring folder = harness::FreshTemporaryFolder(L"varnel-editor-open");
  const std::wstring seal = harness::DistPath(L"editor-seal.bmp");
  const std::string sealBytes = harness::WhiteBmpFile(40);
  ASSERT_TRUE(harness::WriteWholeFile(seal, sealBytes.data(), sealBytes.size()));
  harness::WriteString(kRoot, L"Bitmap1", L"editor-seal.bmp");
  const std::string indented = "  SIZE 60 40  \r\n\tLINECOLOR 255 0 0\r\n; note\r\n   RECT 0 0 60 40\t\r\n";
  ASSERT_TRUE(harness::WriteWholeFile(folder + L"\\indented.vgs", indented.data(), indented.size()));
  BuilderAside();
  StartAndOpen();
  session.ClickLater(IDC_SCREDIT_SPEEDBUTTON1);
  ASSERT_TRUE(session.AnswerFileDialog(L"ファイルを開く", folder + L"\\indented.vgs"));
  for (int i = 0; i < 100 && session.Text(IDC_SCREDIT_MEMO1).empty(); ++i) Sleep(50);
  EXPECT_EQ(session.Text(IDC_SCREDIT_MEMO1), L"SIZE 60 40\r\nLINECOLOR 255 0 0\r\n; note\r\nRECT 0 0 60 40");
  EXPECT_EQ(session.PreviewSize().cx, 60) << "opening draws the picture";
  EXPECT_TRUE(PixelAt(session.PreviewOnScreen(), 1, 20).IsReddish());

  session.ClickLater(IDC_SCREDIT_SPEEDBUTTON2);
  ASSERT_TRUE(session.AnswerFileDialog(L"名前を付けて保存", folder + L"\\trimmed"));
  const std::string trimmed = "SIZE 60 40\r\nLINECOLOR 255 0 0\r\n; note\r\nRECT 0 0 60 40";
  EXPECT_EQ(FileOnceItHolds(folder + L"\\trimmed.vgs", trimmed), trimmed);

  ASSERT_TRUE(session.Close());
  harness::VrnCtlLibrary ctl;
  harness::PutClipboardText("before");
  ASSERT_EQ(ctl.Call("_BmpStamp"), 1);
  EXPECT_TRUE(harness::ClipboardOffers(CF_DIB, 10000)) << "the bitmap seal is still found";
  EXPECT_EQ(harness::ReadString(kRoot, L"Bitmap1"), L"editor-seal.bmp");
  DeleteFileW(seal.c_str());
}

// The sample a user starts from, opened as a user would. With
// VARNEL_SCREENSHOTS naming a folder, the editor and the builder are
// pictured there (the pictures in docs/ come from here).
TEST_F(ScriptEditor, TheSampleReceptionStampOpensWithItsPicture) {
  harness::WriteString(kScript, L"EditorSizeW", L"760");
  harness::WriteString(kScript, L"EditorSizeH", L"420");
  harness::WriteString(kScript, L"GUIPosX", L"770");
  StartAndOpen();
  session.ClickLater(IDC_SCREDIT_SPEEDBUTTON1);
  ASSERT_TRUE(session.AnswerFileDialog(L"ファイルを開く", harness::HostPath(VARNEL_SAMPLES_UNIX L"/uketsuke.vgs")));
  for (int i = 0; i < 100 && session.PreviewSize().cx != 300; ++i) Sleep(50);
  EXPECT_EQ(session.Text(IDC_SCREDIT_MEMO1).substr(0, 17), L"; ***** 受付印 *****");
  const PackedDib shown = session.PreviewOnScreen();
  ASSERT_EQ(harness::DibWidth(shown), 300);
  EXPECT_TRUE(PixelAt(shown, 4, 150).IsReddish()) << "the ring";
  EXPECT_TRUE(PixelAt(shown, 150, 108).IsReddish()) << "the upper band line";

  wchar_t folder[MAX_PATH];
  if (GetEnvironmentVariableW(L"VARNEL_SCREENSHOTS", folder, MAX_PATH) == 0) return;
  session.SelectTab(6);
  session.Click(IDC_GUI_RADIO_ERA);
  session.SetText(IDC_GUI_EDIT(32), L"令和");
  Sleep(500);
  EXPECT_TRUE(harness::SaveWindowPicture(session.editor, std::wstring(folder) + L"\\script-editor.bmp"));
  EXPECT_TRUE(harness::SaveWindowPicture(session.builder, std::wstring(folder) + L"\\script-builder.bmp"));
}

}  // namespace
