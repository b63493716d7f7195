// The stamp log's core: its SHA-256, its JSON, its chain across records and
// months, its filter and its CSV. Texts here are UTF-8, as in the log.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Json.h"
#include "Sha256.h"
#include "StampLog.h"
#include "StampLogLines.h"

namespace {

TEST(StampLogSha256, StandardVectors) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(StampLogJson, ReadsFlatObjectsAndRefusesEverythingElse) {
  std::string why;
  const auto object = ParseJsonObject(R"( {"a":"x\"\\\/\n\u3042\ud83d\ude00","n":-12.5e3,"t":true,"z":null} )");
  ASSERT_TRUE(object);
  EXPECT_EQ(object->at("a").text, "x\"\\/\nあ😀");
  EXPECT_TRUE(object->at("a").isString);
  EXPECT_EQ(object->at("n").text, "-12.5e3");
  EXPECT_FALSE(object->at("n").isString);
  EXPECT_EQ(object->at("z").text, "null");
  EXPECT_TRUE(ParseJsonObject("{}"));

  for (const char* bad : {"", "[]", "{", "{\"a\":1,}", "{\"a\":1}x", "{\"a\":{}}", "{\"a\":[1]}", "{\"a\":01}",
                          "{\"a\":1,\"a\":2}", "{\"a\":\"\\ud800\"}", "{\"a\":\"\\udc00x\"}", "{\"a\":\"\\x\"}",
                          "{\"a\":\"\x01\"}", "{\"a\":\"\xC0\xAF\"}", "{\"a\":\"\xED\xA0\x80\"}", "{\"a\":\"\x82\xA0\"}",
                          "{\"a\":tru}", "{a:1}", "{\"a\":-}", "{\"a\":1.}", "{\"a\":\"open}"}) {
    why.clear();
    EXPECT_FALSE(ParseJsonObject(bad, &why)) << bad;
    EXPECT_FALSE(why.empty()) << bad;
  }
}

TEST(StampLogJson, WritesStringsThatReadBackAndMendsBytesThatAreNotUtf8) {
  std::string out;
  AppendJsonString(out, "引用\"\\\n\t\x01\x7F end");
  EXPECT_EQ(out, "\"引用\\\"\\\\\\n\\t\\u0001\\u007f end\"");
  const auto back = ParseJsonObject("{\"k\":" + out + "}");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->at("k").text, "引用\"\\\n\t\x01\x7F end");
  out.clear();
  AppendJsonString(out, "a\x82\xA0z");  // code page 932 bytes
  EXPECT_EQ(out, "\"a\xEF\xBF\xBD\xEF\xBF\xBDz\"");
  EXPECT_TRUE(IsUtf8(out));
}

StampLogRecord Stamp(int day, const std::string& text, const std::string& window = "見積書.docx - Word") {
  StampLogRecord r;
  r.time = LogTime({2026, 12, day, 9, 30, 5, 540});
  r.user = "yamada";
  r.computer = "PC-01";
  r.seal = std::string(Keyword(StampSeal::kName));
  r.text = text;
  r.trigger = std::string(Keyword(StampTrigger::kPad));
  r.window = window;
  r.exe = "C:\\Program Files\\Office\\WINWORD.EXE";
  r.resolution = 26000;
  r.mm = SizeInMm(930, 930);
  r.picture = std::string(Keyword(StampPicture::kClipboardDib));
  r.sha256 = Sha256Hex(text);
  return r;
}

// A log of `count` records over files holding `perFile` records each.
std::vector<StampLogFile> MakeLog(int count, int perFile) {
  std::vector<StampLogFile> files;
  std::string prev = kChainStart;
  for (int i = 0; i < count; ++i) {
    if (i % perFile == 0) files.push_back({MonthFileName(2026, 1 + i / perFile), ""});
    StampLogRecord record = Stamp(1 + i % 28, "山田" + std::to_string(i + 1));
    const std::string line = RecordLine(record, prev);
    files.back().bytes += AppendText(files.back().bytes, line);
    prev = NextPrev(files.back().bytes);
  }
  return files;
}

TEST(StampLogRecords, ALineHoldsEveryMemberAndReadsBack) {
  StampLogRecord record = Stamp(8, "山田");
  const std::string line = RecordLine(record, kChainStart);
  EXPECT_TRUE(line.starts_with(R"({"time":"2026-12-08T09:30:05+09:00","user":"yamada","computer":"PC-01",)"
                               R"("seal":"name","text":"山田","trigger":"pad","window":"見積書.docx - Word",)"
                               R"("exe":"C:\\Program Files\\Office\\WINWORD.EXE","resolution":26000,"mm":"9.30x9.30",)"
                               R"("picture":"clipboard-dib","sha256":")"))
      << line;
  EXPECT_EQ(line.find('\n'), std::string::npos);
  const auto back = ParseRecordLine(line);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->text, "山田");
  EXPECT_EQ(back->window, "見積書.docx - Word");
  EXPECT_EQ(back->resolution, 26000);
  EXPECT_EQ(back->prev, kChainStart);
  EXPECT_EQ(back->hash, record.hash);
  EXPECT_EQ(LogTime({2026, 3, 1, 23, 0, 0, -270}), "2026-03-01T23:00:00-04:30");
  EXPECT_EQ(SizeInMm(1560, 905), "15.60x9.05");
}

TEST(StampLogChain, RunsOnAcrossMonthsAndIsIntact) {
  const std::vector<StampLogFile> files = MakeLog(7, 3);
  ASSERT_EQ(files.size(), 3u);
  const ChainReport report = VerifyChain(files, ChainFrom::kLogStart);
  EXPECT_EQ(report.status, ChainStatus::kIntact) << ReportText(report);
  EXPECT_EQ(report.records, 7u);
  EXPECT_EQ(report.files, 3u);
  EXPECT_EQ(ReportText(report), "押印履歴は改ざんされていません（3 ファイル、7 件）。");
  const auto second = ParseRecordLine(Lines(files[1].bytes)[0]);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->prev, Sha256Hex(Lines(files[0].bytes)[2])) << "a month's first record follows the last month's";
}

struct Tampering {
  const char* what;
  void (*change)(std::vector<std::string>& lines);
  ChainBreak why;
  std::size_t record;  // where the check must stop, in the middle file
};

const Tampering kTamperings[] = {
    {"a record's text edited",
     [](std::vector<std::string>& l) { l[1].replace(l[1].find("山田"), 6, "佐藤"); }, ChainBreak::kChanged, 2},
    {"a record edited and its own hash made anew",
     [](std::vector<std::string>& l) {
       auto r = *ParseRecordLine(l[1]);
       r.text = "佐藤";
       l[1] = RecordLine(r, r.prev);
     },
     ChainBreak::kUnlinked, 3},
    {"a record deleted", [](std::vector<std::string>& l) { l.erase(l.begin() + 1); }, ChainBreak::kUnlinked, 2},
    {"two records swapped", [](std::vector<std::string>& l) { std::swap(l[1], l[2]); }, ChainBreak::kUnlinked, 2},
    {"a line that is no record", [](std::vector<std::string>& l) { l.insert(l.begin() + 2, "{\"text\":\"x\"}"); },
     ChainBreak::kNotARecord, 3},
    {"an empty line", [](std::vector<std::string>& l) { l.insert(l.begin() + 1, ""); }, ChainBreak::kNotARecord, 2},
};

TEST(StampLogChain, EachTamperingIsFoundAtTheRecordItTouched) {
  for (const Tampering& t : kTamperings) {
    std::vector<StampLogFile> files = MakeLog(12, 4);
    std::vector<std::string> lines = Lines(files[1].bytes);
    t.change(lines);
    files[1].bytes = Joined(lines);
    const ChainReport report = VerifyChain(files, ChainFrom::kLogStart);
    EXPECT_EQ(report.status, ChainStatus::kBroken) << t.what;
    EXPECT_EQ(report.why, t.why) << t.what;
    EXPECT_EQ(report.file, "stamp-log-2026-02.jsonl") << t.what;
    EXPECT_EQ(report.record, t.record) << t.what;
    EXPECT_EQ(report.records, 4 + t.record - 1) << t.what;
    EXPECT_NE(ReportText(report).find("stamp-log-2026-02.jsonl の " + std::to_string(t.record) + " 件目"),
              std::string::npos)
        << t.what << ": " << ReportText(report);
  }
}

TEST(StampLogChain, AMissingMonthOrOldestMonthBreaksTheChainButAFileAloneIsCheckedFromItsFirstRecord) {
  std::vector<StampLogFile> files = MakeLog(9, 3);
  std::vector<StampLogFile> withoutMiddle = {files[0], files[2]};
  ChainReport report = VerifyChain(withoutMiddle, ChainFrom::kLogStart);
  EXPECT_EQ(report.why, ChainBreak::kUnlinked);
  EXPECT_EQ(report.file, "stamp-log-2026-03.jsonl");
  EXPECT_EQ(report.record, 1u);

  report = VerifyChain({files[1], files[2]}, ChainFrom::kLogStart);
  EXPECT_EQ(report.why, ChainBreak::kStartMissing);
  EXPECT_EQ(report.record, 1u);
  EXPECT_EQ(VerifyChain({files[1]}, ChainFrom::kFirstRecord).status, ChainStatus::kIntact);
}

TEST(StampLogChain, CrLfLineEndsAByteOrderMarkAndACutOffLastLineAreTakenAsAWriterLeavesThem) {
  std::vector<StampLogFile> files = MakeLog(3, 3);
  std::string crlf = "\xEF\xBB\xBF";
  for (const std::string& line : Lines(files[0].bytes)) crlf += line + "\r\n";
  EXPECT_EQ(VerifyChain({{"a", crlf}}, ChainFrom::kLogStart).status, ChainStatus::kIntact);

  // A power cut left half a line: the next record starts on a line of its
  // own and follows the half line, which the check then names.
  std::string cut = files[0].bytes.substr(0, files[0].bytes.size() - 30);
  StampLogRecord next = Stamp(9, "次");
  cut += AppendText(cut, RecordLine(next, NextPrev(cut)));
  const ChainReport report = VerifyChain({{"a", cut}}, ChainFrom::kLogStart);
  EXPECT_EQ(report.why, ChainBreak::kNotARecord);
  EXPECT_EQ(report.record, 3u);
  EXPECT_EQ(Lines(cut).size(), 4u);
  EXPECT_EQ(NextPrev(""), kChainStart);
}

TEST(StampLogFilter, DateRangeAndTextInAnyMember) {
  const StampLogRecord r = Stamp(8, "山田", "Report.XLSX - Excel");
  EXPECT_TRUE(Matches(r, {}));
  EXPECT_TRUE(Matches(r, {"2026-12-08", "2026-12-08", ""}));
  EXPECT_FALSE(Matches(r, {"2026-12-09", "", ""}));
  EXPECT_FALSE(Matches(r, {"", "2026-12-07", ""}));
  EXPECT_TRUE(Matches(r, {"", "", "report.xlsx"}));
  EXPECT_TRUE(Matches(r, {"", "", "山田"}));
  EXPECT_TRUE(Matches(r, {"", "", "認印"})) << "the seal as the viewer names it";
  EXPECT_FALSE(Matches(r, {"", "", "佐藤"}));

  EXPECT_EQ(FilterDate("2026/2/9"), "2026-02-09");
  EXPECT_EQ(FilterDate("2024-02-29"), "2024-02-29");
  for (const char* bad : {"2026-02-29", "2026-13-01", "2026-1", "26-01-01x", "", "2026--01", "12026-01-01"})
    EXPECT_FALSE(FilterDate(bad)) << bad;
}

TEST(StampLogCsv, Utf8WithByteOrderMarkQuotedCellsAndNoFormulas) {
  StampLogRecord a = Stamp(8, "山田, 太郎", "=HYPERLINK(\"x\")");
  a.hash = "h";
  const std::string csv = StampLogCsv({{"f", 1, a}});
  ASSERT_TRUE(csv.starts_with("\xEF\xBB\xBF日時,ユーザー,コンピューター,印,印面,操作,押印先ウィンドウ,"));
  EXPECT_NE(csv.find("\r\n2026-12-08T09:30:05+09:00,yamada,PC-01,認印,\"山田, 太郎\",スタンプ台,"
                     "\"'=HYPERLINK(\"\"x\"\")\",C:\\Program Files\\Office\\WINWORD.EXE,26000,9.30x9.30,"
                     "clipboard-dib,"),
            std::string::npos)
      << csv;
  EXPECT_TRUE(csv.ends_with(",h\r\n"));
}

}  // namespace
