// The script builder "GUI Panel" beside the running editor: the lines each
// tab adds, the element drawn over the preview while a field changes, the
// millimetre display, and a stamp built from the forms that the
// interpreters then draw from its saved file.

#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "GdiWorkImage.h"
#include "GraphicScript.h"
#include "MemoryStore.h"
#include "ScriptEditorSession.h"
#include "Settings.h"
#include "Text.h"
#include "harness/Pixels.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

using harness::PixelAt;

enum Tab { Header, Circle, Rectangle, RoundRect, StraightLine, TextTab, DateTab };

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

int ReddishPixels(const PackedDib& dib, int left, int top, int right, int bottom) {
  int count = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) count += PixelAt(dib, x, y).IsReddish() ? 1 : 0;
  return count;
}

class ScriptBuilder : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::WriteQuietSettings();
    // Beside the editor, so the preview shows on the screen.
    harness::WriteString(harness::Section(L"Script"), L"GUIPosX", L"700");
    harness::WriteString(harness::Section(L"Script"), L"GUIPosY", L"0");
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(session.OpenFromPad());
  }
  void TearDown() override {
    if (session.program && session.program->Running()) {
      EXPECT_TRUE(session.EndProgram());
    }
    harness::DeleteTree(L"Software\\Qdx");
  }
  std::wstring Memo() const { return session.Text(IDC_SCREDIT_MEMO1); }
  void Fill(std::initializer_list<std::pair<int, const wchar_t*>> fields) {
    for (const auto& [n, text] : fields) session.SetText(IDC_GUI_EDIT(n), text);
  }
  void Add() { session.Click(IDC_GUI_BUTTON1); }

  harness::ScriptEditorSession session;
};

TEST_F(ScriptBuilder, HeaderAndCircleAddTheirLinesAndFieldsDrawOverThePreview) {
  EXPECT_EQ(session.Text(IDC_GUI_EDIT(4)), L"8.46666666666667") << "100 dots at 300 dpi";
  EXPECT_EQ(session.Text(IDC_GUI_EDIT(5)), L"8.46666666666667");
  Add();
  EXPECT_EQ(Memo(), L"; ***** ヘッダ情報 *****\r\nSIZE 100 100\r\nRESO 300\r\n");
  session.SelectTab(Circle);
  Add();
  const std::wstring added = L"; ***** ヘッダ情報 *****\r\nSIZE 100 100\r\nRESO 300\r\n"
                             L"; ***** 円・楕円 *****\r\nLINEWIDTH 3\r\nLINECOLOR 255 0 0\r\nCIRCLE 0 0 100 100\r\n";
  EXPECT_EQ(Memo(), added);
  PackedDib shown = session.PreviewOnScreen();
  ASSERT_EQ(harness::DibWidth(shown), 100);
  EXPECT_TRUE(PixelAt(shown, 1, 50).IsReddish()) << "the circle, added and drawn";
  EXPECT_TRUE(PixelAt(shown, 30, 50).IsWhite());

  // A field change draws the element without adding it.
  session.SelectTab(Rectangle);
  Fill({{14, L"30"}});
  shown = session.PreviewOnScreen();
  EXPECT_TRUE(PixelAt(shown, 30, 50).IsReddish()) << "the rectangle's left edge at x 30";
  EXPECT_TRUE(PixelAt(shown, 55, 50).IsWhite());
  EXPECT_EQ(Memo(), added);

  session.SelectTab(Header);
  Fill({{3, L"0"}});
  EXPECT_EQ(session.Text(IDC_GUI_EDIT(4)), L"-") << "no size at 0 dpi";
  EXPECT_EQ(session.Text(IDC_GUI_EDIT(5)), L"-");
}

TEST_F(ScriptBuilder, DateTabWritesItsFormatAndLeavesTheDateSealAlone) {
  const std::wstring dateStamp = harness::Section(L"DateStamp");
  const auto years = harness::ReadString(dateStamp, L"Years");
  const auto header = harness::ReadString(dateStamp, L"Header");
  session.SelectTab(DateTab);
  session.Click(IDC_GUI_RADIO_ERA);
  Fill({{32, L"R"}});
  Add();
  Fill({{32, L""}});
  Add();
  Fill({{32, L"令和令和"}});  // 8 bytes: the date seal's header holds 7
  Add();
  const std::vector<std::wstring> lines = Lines(Memo());
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[0], L"; ***** 日付 *****");
  EXPECT_EQ(lines[1], L"DateFormat 2 R");
  EXPECT_EQ(lines[2].rfind(L"FONTNAME ", 0), 0u);
  EXPECT_EQ(lines[4], L"FONTSTYLE ") << "a plain font has no style word";
  EXPECT_EQ(lines[5], L"FONTCOLOR 255 0 0");
  EXPECT_EQ(lines[6], L"DATE 25 25");
  EXPECT_EQ(lines[8], L"DateFormat 2") << "nothing after the number without a header";
  EXPECT_EQ(lines[15], L"DateFormat 2 令和令");

  ASSERT_TRUE(session.Close());
  ASSERT_TRUE(session.EndProgram());
  EXPECT_EQ(harness::ReadString(dateStamp, L"Years"), years) << "stored at exit as it was";
  EXPECT_EQ(harness::ReadString(dateStamp, L"Header"), header);
}

TEST_F(ScriptBuilder, AReceptionStampBuiltFromTheFormsIsSavedAndDrawnByBothInterpreters) {
  Fill({{1, L"300"}, {2, L"300"}, {3, L"300"}});
  Add();
  session.SelectTab(Circle);
  Fill({{6, L"150"}, {7, L"150"}, {8, L"5"}, {9, L"145"}, {10, L"145"}});
  Add();
  session.SelectTab(TextTab);
  Fill({{27, L"受付"}, {28, L"130"}, {29, L"40"}});
  Add();
  session.SelectTab(DateTab);
  session.Click(IDC_GUI_RADIO_ERA);
  Fill({{32, L"令和"}, {30, L"100"}, {31, L"140"}});
  Add();
  const PackedDib shown = session.PreviewOnScreen();
  ASSERT_EQ(harness::DibWidth(shown), 300);
  EXPECT_TRUE(PixelAt(shown, 5, 150).IsReddish()) << "the ring";
  EXPECT_GT(ReddishPixels(shown, 130, 40, 200, 70), 0) << "受付";
  EXPECT_GT(ReddishPixels(shown, 100, 140, 250, 170), 0) << "the date";

  const std::wstring folder = harness::FreshTemporaryFolder(L"varnel-builder");
  session.ClickLater(IDC_SCREDIT_SPEEDBUTTON2);
  ASSERT_TRUE(session.AnswerFileDialog(L"名前を付けて保存", folder + L"\\uketsuke"));
  const std::string path = Narrow(folder + L"\\uketsuke.vgs");
  for (int i = 0; i < 50 && !harness::ReadWholeFile(folder + L"\\uketsuke.vgs"); ++i) Sleep(100);

  // What a toolbar slot does with the saved file.
  MemoryStore store;
  LoadAllSettings(store, [](std::string_view) { return false; });
  SealForm form;
  GdiWorkImage bitmap;
  EXPECT_EQ(RunGraphicScript(bitmap, path, form), 11811) << "300 dpi";
  const PackedDib drawn = bitmap.BitmapAsDib24();
  ASSERT_EQ(harness::DibWidth(drawn), 300);
  EXPECT_TRUE(PixelAt(drawn, 5, 150).IsReddish());
  EXPECT_GT(ReddishPixels(drawn, 130, 40, 200, 70), 0);
  EXPECT_GT(ReddishPixels(drawn, 100, 140, 250, 170), 0);
  GdiWorkImage metafile;
  EXPECT_EQ(RunMetafileScript(metafile, path, form), 11811);
  const PackedDib played = harness::PlayIntoDib(metafile.Metafile(), 300, 300);
  EXPECT_TRUE(PixelAt(played, 5, 150).IsReddish());
  EXPECT_GT(ReddishPixels(played, 130, 40, 200, 70), 0);
}

}  // namespace
