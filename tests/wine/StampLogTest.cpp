// The stamp log where a user meets it: records in the user's folder of the
// Wine prefix, the real registry's option and policy, the viewer's list,
// check and CSV, and vrnctl run as a batch file runs it.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ForegroundWatch.h"
#include "MenuIds.h"
#include "Option.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "Shell.h"
#include "Sha256.h"
#include "StampLog.h"
#include "StampLogLines.h"
#include "StampLogFiles.h"
#include "StampLogViewer.h"
#include "StampRecorder.h"
#include "Text.h"
#include "harness/Clipboard.h"
#include "harness/ConsoleProgram.h"
#include "harness/Dialogs.h"
#include "harness/Forms.h"
#include "harness/HostPath.h"
#include "harness/Pixels.h"
#include "harness/Process.h"
#include "harness/Prompts.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"
#include "resource.h"

namespace {

const std::string kPicture = std::string("BM\x36\x00\x00\x00", 6) + std::string(48, '\x7F');

std::string U8(const std::wstring& text) { return Utf8FromWide(text); }

std::vector<std::wstring> LogFileNames() {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((StampLogFolder() + L"\\stamp-log-*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

void ClearLog() {
  for (const std::wstring& name : LogFileNames()) {
    const std::wstring path = StampLogFolder() + L"\\" + name;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(path.c_str())) RemoveDirectoryW(path.c_str());
  }
}

std::string ReadLog(const std::wstring& name) {
  return harness::ReadWholeFile(StampLogFolder() + L"\\" + name).value_or("");
}

void MakeLogFolder() {
  CreateDirectoryW((StampLogFolder() + L"\\..").c_str(), nullptr);
  CreateDirectoryW(StampLogFolder().c_str(), nullptr);
}

void WriteLog(const std::wstring& name, const std::string& bytes) {
  MakeLogFolder();
  ASSERT_TRUE(harness::WriteWholeFile(StampLogFolder() + L"\\" + name, bytes.data(), bytes.size()));
}

StampLabel Entry(StampSeal seal, const char* cp932Text) {
  StampLabel entry;
  entry.seal = seal;
  entry.text = cp932Text;
  entry.resolution = 26000;
  entry.widthHundredthsMm = 930;
  entry.heightHundredthsMm = 930;
  entry.picture = StampPicture::kClipboardDib;
  entry.pictureBytes = kPicture;
  return entry;
}

std::wstring ThisMonthFile() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return WideFromUtf8(MonthFileName(now.wYear, now.wMonth));
}

class StampLogRecords : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::WriteQuietSettings();
    RegistryStore store;
    LoadAllSettings(store, [](std::string_view) { return false; });
    OptionSettings.StampLog = 1;
    ClearLog();
  }
  void TearDown() override {
    ClearLog();
    OptionSettings.StampLog = 0;
    harness::DeleteTree(L"Software\\Qdx");
  }
};

// A document in another program, in front until the stamp pad comes up.
class Document {
 public:
  Document() : notepad_(L"C:\\windows\\notepad.exe") {
    for (int i = 0; i < 500 && !window_; ++i, Sleep(20)) window_ = FindWindowW(L"Notepad", nullptr);
    SetForegroundWindow(window_);
    harness::PumpFor(500);
  }
  HWND Window() const { return window_; }

 private:
  harness::RunningProgram notepad_;
  HWND window_ = nullptr;
};

// Stamps from the stamp pad's menu, the tray's menu, a toolbar button and
// the control messages of VrnCtl.dll and vrnctl.exe, each a record of what
// it put on the clipboard, in a chain, naming the document in front.
TEST_F(StampLogRecords, EachTriggerLeavesOneChainedRecordOfWhatItPutOutNamingTheDocument) {
  harness::WriteString(harness::kRoot, L"StampLog", L"1");
  harness::WriteString(harness::kRoot, L"ShowMessage", L"0");
  ForegroundWatch watch;
  Document notepad;
  HWND document = notepad.Window();
  ASSERT_NE(document, nullptr) << "notepad did not start";
  wchar_t title[256] = {};
  GetWindowTextW(document, title, 256);
  RegistryStore store;
  TTaskTrayForm tray{store};
  TForm1 pad{store, tray.Ready};
  TSimpleStamp toolbar{store, pad.Desk()};
  ASSERT_TRUE(tray.Create() && pad.Create(tray.Handle()) && toolbar.Create(tray.Handle()));
  ConnectShell(store, tray, pad, toolbar, nullptr);
  ASSERT_TRUE(pad.FormCreate(tray)) << "the stamp pad comes to the front, as for a user's click";
  toolbar.Show();

  const struct {
    const char* trigger;
    const char* seal;
    std::wstring text;  // empty: the date seal's, which is today's
    std::function<void()> press;
    bool png;  // the PNG goes too (a text stamp has no DIB): its bytes are the picture kept
  } stamps[] = {
      {"pad", "name", L"名 字", [&] { SendMessageW(pad.Handle(), WM_COMMAND, IDM_N2, 0); }, false},
      {"tray", "date", L"", [&] { SendMessageW(tray.Handle(), WM_COMMAND, IDM_TRAY_DATESTAMP, 0); }, false},
      {"toolbar", "square", L"正本", [&] { toolbar.SpeedButton1Click(0); }, true},
      {"VrnCtl", "name", L"名 字", [&] { SendMessageW(tray.Handle(), kControlMessage, 1, 0); }, false},
      {"vrnctl", "name", L"名 字", [&] { SendMessageW(tray.Handle(), kControlMessage, 1, 1); }, false},
  };
  std::vector<std::string> pictures;
  for (const auto& stamp : stamps) {
    OptionSettings.ClipboardPng = stamp.png ? 1 : 0;
    stamp.press();
    const auto put = harness::ClipboardBytes(stamp.png ? PngClipboardFormat() : CF_DIB);
    ASSERT_TRUE(put.has_value()) << stamp.trigger;
    pictures.emplace_back(put->begin(), put->end());
  }
  OptionSettings.ClipboardPng = 0;

  const std::string bytes = ReadLog(ThisMonthFile());
  const std::vector<std::string> lines = Lines(bytes);
  ASSERT_EQ(lines.size(), std::size(stamps));
  wchar_t user[257] = {}, computer[64] = {};
  DWORD userSize = 257, computerSize = 64;
  GetUserNameW(user, &userSize);
  GetComputerNameW(computer, &computerSize);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(stamps[i].trigger);
    const auto record = ParseRecordLine(lines[i]);
    ASSERT_TRUE(record) << lines[i];
    EXPECT_EQ(record->trigger, stamps[i].trigger);
    EXPECT_EQ(record->seal, stamps[i].seal);
    if (!stamps[i].text.empty()) {
      EXPECT_EQ(record->text, U8(stamps[i].text));
    }
    EXPECT_EQ(record->user, U8(user));
    EXPECT_EQ(record->computer, U8(computer));
    EXPECT_EQ(record->window, U8(title)) << "the document, not the stamp pad";
    EXPECT_TRUE(record->exe.ends_with("notepad.exe")) << record->exe;
    EXPECT_EQ(record->picture, stamps[i].png ? "clipboard-png" : "clipboard-dib");
    EXPECT_EQ(record->sha256, Sha256Hex(pictures[i])) << "the picture actually put out";
    EXPECT_EQ(record->prev, i == 0 ? kChainStart : Sha256Hex(lines[i - 1]));
  }
  EXPECT_NE(lines[0].find(R"("mm":"9.30x9.30")"), std::string::npos) << lines[0];
  EXPECT_EQ(VerifyChain({{"log", bytes}}, ChainFrom::kLogStart).status, ChainStatus::kIntact);
}

TEST_F(StampLogRecords, WithTheOptionOffNothingIsWrittenAndThePolicyTurnsItOnWhateverTheUserChose) {
  OptionSettings.StampLog = 0;
  EXPECT_EQ(RecordStamp(Entry(StampSeal::kName, "山田"), StampTrigger::kPad).status, StampLogResult::kOff);
  EXPECT_EQ(LogFileNames(), std::vector<std::wstring>{});

  harness::WriteString(harness::kRoot, L"adm", L"1");
  harness::WriteString(harness::kRoot, L"PolicyStampLog", L"1");
  EXPECT_EQ(RecordStamp(Entry(StampSeal::kName, "山田"), StampTrigger::kPad).status, StampLogResult::kKept);
  EXPECT_EQ(Lines(ReadLog(ThisMonthFile())).size(), 1u);
}

// The chain runs on from the last line of the newest file, read from its
// end: a last month's file, and this month's file cut off in a line longer
// than one read.
TEST_F(StampLogRecords, ARecordChainsOnToTheNewestFilesLastLineHoweverItEnds) {
  const std::string lastMonthLine = R"({"time":"2001-01-31T23:59:59+09:00"})";
  const std::string cutOff(10000, 'x');
  struct Case {
    std::wstring file;
    std::string bytes, lastLine;
  };
  for (const Case& c : {Case{L"stamp-log-2001-01.jsonl", cutOff + "\n" + lastMonthLine + "\n", lastMonthLine},
                        Case{ThisMonthFile(), "{}\n" + cutOff, cutOff}}) {
    ClearLog();
    WriteLog(c.file, c.bytes);
    ASSERT_EQ(RecordStamp(Entry(StampSeal::kName, "山田"), StampTrigger::kPad).status, StampLogResult::kKept);
    const std::vector<std::string> lines = Lines(ReadLog(ThisMonthFile()));
    ASSERT_FALSE(lines.empty());
    const std::optional<StampLogRecord> record = ParseRecordLine(lines.back());
    ASSERT_TRUE(record) << lines.back();
    EXPECT_EQ(record->prev, Sha256Hex(c.lastLine)) << Narrow(c.file);
    if (c.file == ThisMonthFile()) {
      EXPECT_EQ(lines.size(), 3u) << "the cut-off line ended before the record";
    }
  }
}

// The options dialog in this process, answered from a second thread.
void RunOptions(const std::function<void(HWND)>& user) {
  RegistryStore store;
  harness::DialogDriver driver(L"オプション設定", [&](HWND dialog) {
    user(dialog);
    harness::PostClickIn(dialog, IDC_OPTIONS_FINISH);
  });
  RunOptionsDialog(nullptr, store);
  EXPECT_TRUE(driver.Found());
}

TEST_F(StampLogRecords, TheOptionsCheckBoxSetsTheOptionAndUnderThePolicyIsTickedAndLocked) {
  OptionSettings.StampLog = 0;
  bool enabled = false, checked = true;
  RunOptions([&](HWND dialog) {
    HWND box = harness::FindControl(dialog, IDC_OPT_STAMPLOG);
    enabled = IsWindowEnabled(box);
    checked = harness::CheckedIn(dialog, IDC_OPT_STAMPLOG);
    harness::ClickIn(dialog, IDC_OPT_STAMPLOG);
  });
  EXPECT_TRUE(enabled);
  EXPECT_FALSE(checked);
  EXPECT_EQ(OptionSettings.StampLog, 1);
  EXPECT_EQ(harness::ReadString(harness::kRoot, L"StampLog"), L"1");

  OptionSettings.StampLog = 0;
  harness::WriteString(harness::kRoot, L"adm", L"1");
  harness::WriteString(harness::kRoot, L"PolicyStampLog", L"1");
  std::wstring note;
  RunOptions([&](HWND dialog) {
    enabled = IsWindowEnabled(harness::FindControl(dialog, IDC_OPT_STAMPLOG));
    checked = harness::CheckedIn(dialog, IDC_OPT_STAMPLOG);
    note = harness::TextIn(dialog, IDC_OPT_STAMPLOG_NOTE);
    harness::SelectPage(dialog, IDC_OPTIONS_TABS, 4);
    Sleep(300);
    harness::WriteBmp(harness::CaptureWindow(dialog), std::wstring(VARNEL_OUTPUT_UNIX) + L"/options-stamp-log-policy.bmp");
  });
  EXPECT_FALSE(enabled);
  EXPECT_TRUE(checked);
  EXPECT_NE(note.find(L"管理者"), std::wstring::npos);
  EXPECT_EQ(OptionSettings.StampLog, 0) << "the user's own choice stays for when the policy is lifted";
}

TEST_F(StampLogRecords, ALogThatCannotBeWrittenLeavesTheStampAndSaysSo) {
  const std::wstring folder = StampLogFolder();
  const std::wstring month = folder + L"\\" + ThisMonthFile();
  UniqueFile held;
  struct Case {
    const char* what;
    std::function<void()> spoil, mend;
  };
  const Case cases[] = {
      {"the month's file is a folder", 
       [&] {
         MakeLogFolder();
         ASSERT_TRUE(CreateDirectoryW(month.c_str(), nullptr)) << GetLastError();
       },
       [&] { RemoveDirectoryW(month.c_str()); }},
      {"the month's file is read-only",
       [&] {
         RecordStamp(Entry(StampSeal::kName, "山田"), StampTrigger::kPad);
         SetFileAttributesW(month.c_str(), FILE_ATTRIBUTE_READONLY);
       },
       [&] { ClearLog(); }},
      {"the month's file is held by another program",
       [&] {
         RecordStamp(Entry(StampSeal::kName, "山田"), StampTrigger::kPad);
         held.reset(CreateFileW(month.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
       },
       [&] {
         held.reset();
         ClearLog();
       }},
      {"the log folder cannot be made (a file has its name)",
       [&] {
         ClearLog();
         MoveFileW(folder.c_str(), (folder + L".aside").c_str());
         harness::WriteWholeFile(folder, "x", 1);
       },
       [&] {
         DeleteFileW(folder.c_str());
         MoveFileW((folder + L".aside").c_str(), folder.c_str());
       }},
  };
  for (const Case& c : cases) {
    c.spoil();
    const StampLogResult result = RecordStamp(Entry(StampSeal::kName, "山田"), StampTrigger::kPad);
    c.mend();
    EXPECT_EQ(result.status, StampLogResult::kNotKept) << c.what << " " << Narrow(result.file);
    EXPECT_NE(result.error, static_cast<DWORD>(ERROR_SUCCESS)) << c.what;
    EXPECT_NE(StampLogNotice(result).find(L"押印履歴に記録できませんでした"), std::wstring::npos) << c.what;
  }
  EXPECT_EQ(RecordStamp(Entry(StampSeal::kName, "山田"), StampTrigger::kPad).status, StampLogResult::kKept) << "mended";
}

// The viewer in this process, driven from a second thread.
void RunViewer(const std::function<void(HWND)>& user) {
  harness::DialogDriver driver(L"押印履歴", [&](HWND viewer) {
    user(viewer);
    harness::PostClick(viewer, IDCANCEL);
  });
  RunStampLogViewer(nullptr);
  EXPECT_TRUE(driver.Found()) << "the viewer did not open";
}

int Rows(HWND viewer) { return ListView_GetItemCount(GetDlgItem(viewer, IDC_STAMPLOG_LIST)); }

std::wstring Cell(HWND viewer, int row, int column) {
  wchar_t text[512] = {};
  ListView_GetItemText(GetDlgItem(viewer, IDC_STAMPLOG_LIST), row, column, text, 512);
  return text;
}

// Presses 検証 and answers the message box; its text.
std::wstring VerifyInViewer(HWND viewer) {
  harness::PostClick(viewer, IDC_STAMPLOG_VERIFY);
  HWND box = harness::WaitForBox(L"Varnel印鑑");
  if (!box) return L"(no message)";
  const std::wstring text = harness::BoxText(box);
  harness::PressButton(box, IDOK);
  return text;
}

int SelectedRow(HWND viewer) {
  return ListView_GetNextItem(GetDlgItem(viewer, IDC_STAMPLOG_LIST), -1, LVNI_SELECTED);
}

TEST_F(StampLogRecords, TheViewerListsNewestFirstFiltersChecksAndSavesCsv) {
  Document document;
  for (const char* name : {"山田", "佐藤", "鈴木"}) RecordStamp(Entry(StampSeal::kName, name), StampTrigger::kPad);
  CreateDirectoryW(harness::HostPath(VARNEL_OUTPUT_UNIX).c_str(), nullptr);
  const std::wstring csv = harness::HostPath(VARNEL_OUTPUT_UNIX) + L"\\stamp-log.csv";
  DeleteFileW(csv.c_str());
  std::wstring intact;
  RunViewer([&](HWND viewer) {
    EXPECT_EQ(Rows(viewer), 3);
    EXPECT_EQ(Cell(viewer, 0, 2), L"鈴木") << "newest first";
    EXPECT_EQ(Cell(viewer, 2, 2), L"山田");
    EXPECT_EQ(Cell(viewer, 0, 1), L"認印");
    harness::SetControlText(viewer, IDC_STAMPLOG_TEXT, L"佐藤");
    EXPECT_EQ(Rows(viewer), 1);
    EXPECT_EQ(Cell(viewer, 0, 2), L"佐藤");
    harness::SetControlText(viewer, IDC_STAMPLOG_TEXT, L"");
    Sleep(300);
    harness::WriteBmp(harness::CaptureWindow(viewer), std::wstring(VARNEL_OUTPUT_UNIX) + L"/stamp-log-viewer.bmp");
    intact = VerifyInViewer(viewer);
    harness::PostClick(viewer, IDC_STAMPLOG_CSV);
    HWND save = harness::WaitForBox(L"押印履歴をCSVに保存");
    ASSERT_NE(save, nullptr) << "the save dialog";
    harness::ChooseFile(save, csv);
    harness::WaitForWindowGone(L"押印履歴をCSVに保存", 5000);
    Sleep(300);
  });
  EXPECT_NE(intact.find(L"改ざんされていません（1 ファイル、3 件）"), std::wstring::npos) << Narrow(intact);
  const std::string saved = harness::ReadWholeFile(csv).value_or("");
  EXPECT_TRUE(saved.starts_with("\xEF\xBB\xBF" + U8(L"日時,ユーザー,"))) << "UTF-8 with its byte order mark";
  const std::size_t yamada = saved.find(U8(L",認印,山田,スタンプ台,")), suzuki = saved.find(U8(L",鈴木,"));
  EXPECT_NE(yamada, std::string::npos) << saved;
  EXPECT_LT(yamada, suzuki) << "oldest first, as the log keeps them";

  // Record 2 edited in the file: the check names it and selects its row.
  std::vector<std::string> lines = Lines(ReadLog(ThisMonthFile()));
  lines[1].replace(lines[1].find(U8(L"佐藤")), U8(L"佐藤").size(), U8(L"加藤"));
  WriteLog(ThisMonthFile(), Joined(lines));
  std::wstring broken;
  int selected = -1;
  RunViewer([&](HWND viewer) {
    broken = VerifyInViewer(viewer);
    selected = SelectedRow(viewer);
  });
  EXPECT_NE(broken.find(ThisMonthFile() + L" の 2 件目が書き換えられています"), std::wstring::npos) << Narrow(broken);
  EXPECT_EQ(selected, 1) << "the edited record's row";
}

// vrnctl.exe over a log of two months written here, as a batch file runs it.
class VrnctlLog : public StampLogRecords {
 protected:
  static constexpr const wchar_t* kOctober = L"stamp-log-2026-10.jsonl";
  static constexpr const wchar_t* kNovember = L"stamp-log-2026-11.jsonl";

  void SetUp() override {
    StampLogRecords::SetUp();
    std::string prev = kChainStart;
    for (int i = 0; i < 6; ++i) {
      StampLogRecord record;
      record.time = LogTime({2026, i < 3 ? 10 : 11, 10 + i, 9, 0, 0, 540});
      record.seal = "name";
      record.text = U8(i == 4 ? L"佐藤" : L"山田");
      record.trigger = "pad";
      record.picture = "clipboard-dib";
      std::string& bytes = i < 3 ? october : november;
      bytes += AppendText(bytes, RecordLine(record, prev));
      prev = NextPrev(bytes);
    }
    WriteLog(kOctober, october);
    WriteLog(kNovember, november);
  }
  static harness::ConsoleResult Run(const std::wstring& arguments) {
    return harness::RunConsoleProgram(harness::DistPath(L"vrnctl.exe"), arguments, 30000);
  }
  static std::wstring Said(const std::string& bytes) { return WideFromCp932(bytes).value_or(L"<not 932>"); }
  std::string october, november;
};

TEST_F(VrnctlLog, VerifyFindsEachTamperingAtItsRecordWithExitCodeThree) {
  harness::ConsoleResult result = Run(L"log verify");
  EXPECT_EQ(result.exitCode, 0u) << Narrow(Said(result.err));
  EXPECT_EQ(Said(result.out), L"押印履歴は改ざんされていません（2 ファイル、6 件）。\r\n");

  struct Tampering {
    const char* what;
    void (*change)(std::vector<std::string>&);
    const wchar_t* said;
  };
  const Tampering tamperings[] = {
      {"edited", [](std::vector<std::string>& l) { l[1].replace(l[1].find("pad"), 3, "tray"); },
       L"stamp-log-2026-11.jsonl の 2 件目が書き換えられています。"},
      {"deleted", [](std::vector<std::string>& l) { l.erase(l.begin() + 1); },
       L"stamp-log-2026-11.jsonl の 2 件目が直前の記録とつながりません"},
      {"reordered", [](std::vector<std::string>& l) { std::swap(l[0], l[2]); },
       L"stamp-log-2026-11.jsonl の 1 件目が直前の記録とつながりません"},
  };
  for (const Tampering& t : tamperings) {
    std::vector<std::string> lines = Lines(november);
    t.change(lines);
    WriteLog(kNovember, Joined(lines));
    result = Run(L"log verify");
    EXPECT_EQ(result.exitCode, 3u) << t.what;
    EXPECT_NE(Said(result.err).find(t.said), std::wstring::npos) << t.what << ": " << Narrow(Said(result.err));
  }
  WriteLog(kNovember, november);

  // One file alone is checked from its own first record.
  const std::wstring file = StampLogFolder() + L"\\" + kNovember;
  EXPECT_EQ(Run(L"log verify \"" + file + L"\"").exitCode, 0u);
  DeleteFileW((StampLogFolder() + L"\\" + kOctober).c_str());
  result = Run(L"log verify");
  EXPECT_EQ(result.exitCode, 3u) << "the months before are missing";
  EXPECT_NE(Said(result.err).find(L"1 件目より前の記録が削除されています"), std::wstring::npos);

  result = Run(L"LOG VERIFY \"" + file + L".missing\"");
  EXPECT_EQ(result.exitCode, 4u);
  EXPECT_NE(Said(result.err).find(L"押印履歴を読めません: " + file + L".missing"), std::wstring::npos)
      << Narrow(Said(result.err));
}

TEST_F(VrnctlLog, ExportWritesTheDaysAskedForAsUtf8CsvAndRefusesWrongDates) {
  CreateDirectoryW(harness::HostPath(VARNEL_OUTPUT_UNIX).c_str(), nullptr);
  const std::wstring csv = harness::HostPath(VARNEL_OUTPUT_UNIX) + L"\\vrnctl-export.csv";
  harness::ConsoleResult result = Run(L"log export --csv \"" + csv + L"\" --from 2026/10/12 --to 2026-11-14");
  EXPECT_EQ(result.exitCode, 0u) << Narrow(Said(result.err));
  EXPECT_EQ(Said(result.out), L"3 件を " + csv + L" に保存しました。\r\n");
  const std::string saved = harness::ReadWholeFile(csv).value_or("");
  EXPECT_TRUE(saved.starts_with("\xEF\xBB\xBF" + U8(L"日時,")));
  EXPECT_NE(saved.find("2026-10-12T09:00:00+09:00"), std::string::npos);
  EXPECT_NE(saved.find(U8(L",佐藤,")), std::string::npos) << "the Japanese text as it was";
  EXPECT_EQ(saved.find("2026-10-11"), std::string::npos);
  EXPECT_EQ(saved.find("2026-11-15"), std::string::npos);

  for (const wchar_t* wrong : {L"log export", L"log export --csv", L"log export --csv x.csv --from 2026-02-30",
                               L"log export --csv x.csv --since 2026-01-01", L"log check"}) {
    result = Run(wrong);
    EXPECT_EQ(result.exitCode, 2u) << Narrow(wrong);
    EXPECT_NE(Said(result.err).find(L"vrnctl log export --csv"), std::wstring::npos) << Narrow(wrong);
  }
}

}  // namespace
