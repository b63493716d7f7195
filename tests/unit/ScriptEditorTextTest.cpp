// The editor's text rules: an opened file's lines, the builder's lines and
// its millimetre display.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "BuilderLines.h"
#include "Records.h"
#include "ScriptText.h"

namespace {

TEST(ScriptEditorText, OpenedLinesAreTrimmedPiecesWithCommentsKept) {
  EXPECT_EQ(EditorTextOfFile("  SIZE 60 40  \r\n\tRECT 0 0 60 40\n; note\r\n\r\n   ;indented\r\n"),
            "SIZE 60 40\r\nRECT 0 0 60 40\r\n; note\r\n\r\n;indented");
  EXPECT_EQ(EditorTextOfFile(""), "");
  EXPECT_EQ(EditorTextOfFile("LINE 0 0 9 9"), "LINE 0 0 9 9") << "a last line without a line end";
  EXPECT_EQ(EditorTextOfFile(std::string_view("TEXT a\0b 1 2\r\nLINE", 18)), "TEXT a\r\nLINE")
      << "a piece is a C string";
  // 1023 bytes a piece: the rest of a longer line is a line of its own,
  // trimmed too.
  const std::string longLine = "TEXT " + std::string(1016, 'x') + "   yy  \r\n";
  EXPECT_EQ(EditorTextOfFile(longLine), "TEXT " + std::string(1016, 'x') + "\r\nyy");
}

TEST(ScriptEditorText, MillimetresInTheDefaultFloatingPointForm) {
  EXPECT_EQ(MillimetreText(100, 300), "8.46666666666667");
  EXPECT_EQ(MillimetreText(300, 300), "25.4");
  EXPECT_EQ(MillimetreText(0, 300), "0");
  EXPECT_EQ(MillimetreText(-100, 300), "-8.46666666666667");
  EXPECT_EQ(MillimetreText(1, 2147483647), "1.18277967031243E-8");
  EXPECT_EQ(MillimetreText(100, 0), "-");
}

TEST(ScriptEditorText, BuilderLinesAreSingleBlankSeparatedAndHeadedByAComment) {
  EXPECT_EQ(RectangleLines(50, 40, 2, 25, 20, 0x00FF8000),
            (ScriptLines{"; ***** 矩形 *****", "LINEWIDTH 2", "LINECOLOR 0 128 255", "RECT 25 20 75 60"}));
  EXPECT_EQ(RoundRectLines(50, 50, 3, 25, 25, 5, kRed).back(), "ROUNDRECT 25 25 75 75 5");
  EXPECT_EQ(StraightLineLines(50, 50, 200, 50, 1, kRed).back(), "LINE 50 50 200 50");
  EXPECT_EQ(CircleLines(2147483647, 0, 3, 2147483647, 5, kRed).back(), "CIRCLE 0 -5 4294967294 5")
      << "typed extremes do not wrap";

  const BuilderFont font{"ＭＳ Ｐゴシック", 24, kStyleBold};
  EXPECT_EQ(TextLines("", 10, 20, font, kRed),
            (ScriptLines{"; ***** 文字列 *****", "FONTNAME ＭＳ Ｐゴシック", "FONTSIZE 24", "FONTSTYLE BOLD",
                         "FONTCOLOR 255 0 0", "TEXT  10 20"}))
      << "an empty text leaves two blanks";
  EXPECT_EQ(DateLines(2, "", 5, 6, font, kRed)[1], "DateFormat 3");
  EXPECT_EQ(DateLines(0, "'", 5, 6, font, kRed)[1], "DateFormat 1 '");
}

TEST(ScriptEditorText, TheStyleWordNamesOnlyExactStyles) {
  EXPECT_EQ(StyleWord(0), "");
  EXPECT_EQ(StyleWord(kStyleBold), "BOLD");
  EXPECT_EQ(StyleWord(kStyleItalic), "ITALIC");
  EXPECT_EQ(StyleWord(kStyleBold | kStyleItalic), "ITALICBOLD");
  EXPECT_EQ(StyleWord(kStyleBold | kStyleUnderline), "");
}

}  // namespace
