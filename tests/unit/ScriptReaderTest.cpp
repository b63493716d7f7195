#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptFile.h"
#include "ScriptReader.h"

namespace {

std::vector<std::string> TokensOf(const ScriptReader& reader, int line) {
  std::vector<std::string> tokens;
  for (int n = 0; n < 200; ++n) {
    std::string token = reader.Token(line, n);
    if (token.empty()) break;
    tokens.push_back(token);
  }
  return tokens;
}

using Tokens = std::vector<std::string>;

ScriptReader Read(std::string_view bytes) {
  ScriptReader reader;
  reader.LoadBytes(bytes);
  return reader;
}

TEST(ScriptReader, OnlyASemicolonInColumnOneMakesAComment) {
  const ScriptReader reader = Read("; a comment\n  ; not one\nSize 10 20 ; trailing\n;\n\tRect;\n");
  ASSERT_EQ(reader.Count(), 3);
  EXPECT_EQ(TokensOf(reader, 0), (Tokens{";", "not", "one"}));
  EXPECT_EQ(TokensOf(reader, 1), (Tokens{"Size", "10", "20", ";", "trailing"}));
  EXPECT_EQ(TokensOf(reader, 2), (Tokens{"Rect;"}));
}

TEST(ScriptReader, BlankLinesAreKeptAndGiveEmptyTokens) {
  const ScriptReader reader = Read("\n   \r\n\t\nText a 1 2");
  ASSERT_EQ(reader.Count(), 4);
  for (int line = 0; line < 3; ++line) EXPECT_EQ(reader.Token(line, 0), "") << "line " << line;
  EXPECT_EQ(reader.Token(3, 3), "2");
  EXPECT_EQ(reader.Token(3, 4), "") << "beyond the last token";
  EXPECT_EQ(reader.Token(4, 0), "") << "beyond the last line";
  EXPECT_EQ(reader.Token(-1, 0), "");
  EXPECT_EQ(reader.Token(3, -1), "");
}

TEST(ScriptReader, LongLinesAreReadIn1023BytePieces) {
  const std::string longWord(1500, 'a');
  ScriptReader reader = Read(longWord + "\nNext\n");
  ASSERT_EQ(reader.Count(), 3);
  EXPECT_EQ(reader.Token(0, 0), std::string(1023, 'a'));
  EXPECT_EQ(reader.Token(1, 0), std::string(477, 'a'));
  EXPECT_EQ(reader.Token(2, 0), "Next");

  // A line of exactly 1023 bytes leaves its LF for a piece of its own.
  reader = Read(std::string(1023, 'b') + "\nNext");
  ASSERT_EQ(reader.Count(), 3);
  EXPECT_EQ(reader.Token(1, 0), "");

  // The remainder of a long line is dropped like a comment when it starts with ';'.
  reader = Read(std::string(1023, 'c') + ";rest\nNext");
  ASSERT_EQ(reader.Count(), 2);
  EXPECT_EQ(reader.Token(1, 0), "Next");

  // CR LF counts as one byte: the translation comes before the cut.
  reader = Read(std::string(1022, 'd') + "\r\nNext");
  ASSERT_EQ(reader.Count(), 2);
  EXPECT_EQ(reader.Token(1, 0), "Next");
}

TEST(ScriptReader, TrimsControlCodesAtBothEndsOfLinesAndTokens) {
  const ScriptReader reader = Read("\x01\x1f Size\t\t 30  \x02 40\r\x7f\x03\r\n");
  // The \x02 between the blanks is a token of its own that trims to nothing.
  EXPECT_EQ(reader.Token(0, 0), "Size");
  EXPECT_EQ(reader.Token(0, 1), "30");
  EXPECT_EQ(reader.Token(0, 2), "");
  EXPECT_EQ(reader.Token(0, 3), "40\r\x7f") << "only codes up to 32 are trimmed, and only at the ends";
  EXPECT_EQ(reader.Token(0, 4), "");
}

TEST(ScriptReader, SeparatorsAreTabBlankAndLfButNeverASecondByte) {
  // 見 (8C A9) 　 (81 40, full-width space) 本 (96 7B); 表 (95 5C) and ソ (83 5C)
  // end in a backslash; a lead byte followed by a blank or tab takes it as
  // its second byte.
  const ScriptReader reader = Read("Text 見　本 表ソ A\x82 B\x81\tC\x82 10\n");
  EXPECT_EQ(TokensOf(reader, 0), (Tokens{"Text", "見　本", "表ソ", "A\x82 B\x81\tC\x82 10"}));
  EXPECT_EQ(reader.Token(0, 1), "\x8C\xA9\x81\x40\x96\x7B");

  // A lone lead byte at the very end stays a byte of its own.
  EXPECT_EQ(TokensOf(Read("A \x82"), 0), (Tokens{"A", "\x82"}));
  // A CR inside a line (not before an LF) is no separator.
  EXPECT_EQ(TokensOf(Read("A\rB C"), 0), (Tokens{"A\rB", "C"}));
}

TEST(ScriptReader, RecognisesAtMost99Tokens) {
  std::string line;
  for (int i = 0; i < 120; ++i) line += std::to_string(i) + "  ";
  const ScriptReader reader = Read(line);
  EXPECT_EQ(reader.Token(0, 0), "0");
  EXPECT_EQ(reader.Token(0, 98), "98");
  EXPECT_EQ(reader.Token(0, 99), "");
  EXPECT_EQ(reader.TokenInt(0, 99), 0);
}

TEST(ScriptReader, ANulByteEndsItsPiece) {
  const ScriptReader reader = Read(std::string("Size 10\0 20\nRect 1", 18));
  ASSERT_EQ(reader.Count(), 2);
  EXPECT_EQ(TokensOf(reader, 0), (Tokens{"Size", "10"}));
  EXPECT_EQ(TokensOf(reader, 1), (Tokens{"Rect", "1"}));
}

TEST(ScriptReader, NumbersConvertLikeAtol) {
  const ScriptReader reader = Read("X 12abc -7 +5 abc -1x 99999999999 3.9 - \x82\xa0");
  EXPECT_EQ(reader.TokenInt(0, 1), 12);
  EXPECT_EQ(reader.TokenInt(0, 2), -7);
  EXPECT_EQ(reader.TokenInt(0, 3), 5);
  EXPECT_EQ(reader.TokenInt(0, 4), 0);
  EXPECT_EQ(reader.TokenInt(0, 5), -1);
  EXPECT_EQ(reader.TokenInt(0, 6), 2147483647) << "32-bit long saturates";
  EXPECT_EQ(reader.TokenInt(0, 7), 3);
  EXPECT_EQ(reader.TokenInt(0, 8), 0);
  EXPECT_EQ(reader.TokenInt(0, 9), 0);
  EXPECT_EQ(reader.TokenInt(0, 10), 0) << "missing";
}

TEST(ScriptReader, LoadReadsAFileInTextModeAndFailsWithoutOne) {
  ScriptFile file("; header\r\nSIZE 100 100\r\nRESO 300\r\n");
  ScriptReader reader;
  ASSERT_EQ(reader.Load(file.Path()), 0);
  ASSERT_EQ(reader.Count(), 2);
  EXPECT_EQ(TokensOf(reader, 0), (Tokens{"SIZE", "100", "100"}));
  EXPECT_EQ(TokensOf(reader, 1), (Tokens{"RESO", "300"}));

  EXPECT_EQ(reader.Load(ScriptFile::MissingPath()), -1);
  EXPECT_EQ(reader.Count(), 0) << "a failed load leaves no lines";

  ScriptFile empty("");
  EXPECT_EQ(reader.Load(empty.Path()), 0);
  EXPECT_EQ(reader.Count(), 0);
}

TEST(ScriptReader, RefusesAFileBeyondTheSizeLimit) {
  ScriptFile huge(std::string(kScriptMaxFileBytes + 1, '\n'));
  ScriptReader reader;
  EXPECT_EQ(reader.Load(huge.Path()), -1);
  EXPECT_EQ(reader.Count(), 0);

  ScriptFile largest(std::string(kScriptMaxFileBytes, '\n'));
  EXPECT_EQ(reader.Load(largest.Path()), 0);
  EXPECT_EQ(reader.Count(), static_cast<int>(kScriptMaxFileBytes));
}

}  // namespace
