// vrnctl.exe: sends one control request to the running Varnel from a batch
// file. It posts the message itself rather than loading VrnCtl.dll, so it
// works wherever it is copied and cannot fail for a missing library. It also
// checks and exports the user's stamp log ("vrnctl log ..."), without Varnel.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ControlRequest.h"
#include "PdfControlClient.h"
#include "PdfStampMessages.h"
#include "FileSave.h"
#include "StampLog.h"
#include "StampLogFiles.h"
#include "Text.h"
#include "UniqueHandle.h"

namespace {

constexpr int kExitPosted = 0;
constexpr int kExitHelp = 0;
constexpr int kExitNotPosted = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotEnded = 3;
// How long an ending Varnel may take to save its settings and go.
constexpr DWORD kEndingMs = 15000;
// "vrnctl log": the log is intact (0), its chain breaks (3), or a file
// cannot be read or written (4).
constexpr int kExitIntact = 0;
constexpr int kExitBroken = 3;
constexpr int kExitUnreadable = 4;

struct Command {
  const wchar_t* word;
  VarnelRequestCode code;
};

constexpr Command kCommands[] = {
    {L"name", kRequestNameStamp},        {L"date", kRequestDateStamp},
    {L"date-ex", kRequestDateStampEx},   {L"bmp", kRequestBmpStamp},
    {L"clear", kRequestClearClipboard},  {L"exit", kRequestExitVarnel},
    {L"user", kRequestChangeUser},
};

constexpr std::wstring_view kUsage =
    L"使い方: vrnctl 要求\r\n"
    L"        vrnctl log verify [ファイル]\r\n"
    L"        vrnctl log export --csv 出力ファイル [--from 日付] [--to 日付] [--text 文字]\r\n"
    L"起動中のVarnel印鑑に要求を送ります。\r\n"
    L"  name     認印を押印\r\n"
    L"  date     日付印を押印（日付変更の確認なし）\r\n"
    L"  date-ex  日付印を押印（日付変更の確認と説明メッセージあり）\r\n"
    L"  bmp      ビットマップ印を押印\r\n"
    L"  clear    クリップボードを消去\r\n"
    L"  exit     Varnel印鑑を終了（終了の確認あり）\r\n"
    L"  user     ユーザー切替のためにVarnel印鑑を終了\r\n"
    L"  close    Varnel印鑑を確認なしで終了し、終わるまで待つ（設定は保存。インストーラー用）\r\n"
    L"  pdf      PDFのページに押印（下記）\r\n"
    L"  log verify  押印履歴を検証（ファイルの指定がなければ利用者の押印履歴の全月）\r\n"
    L"  log export  押印履歴をCSV（UTF-8）に保存（日付は 2026-12-08 の形、両端を含む）\r\n"
    L"終了コード: 0 要求を送った・押印履歴に異常なし、1 Varnel印鑑が起動していない、2 引数の誤り、\r\n"
    L"            3 終了しなかった（close）・押印履歴の改ざんを検出（log）、\r\n"
    L"            4 押印履歴やファイルを読み書きできない\r\n"
    L"\r\n"
    L"使い方: vrnctl pdf ファイル.pdf [--seal name|date|bmp|slot 番号] [--page 番号|first|last]\r\n"
    L"          [--at 横mm,縦mm | --corner top-left|top-right|bottom-left|bottom-right] [--margin mm]\r\n"
    L"          [--out 出力.pdf | --in-place] [--replace] [--flatten]\r\n"
    L"  既定: 認印を最後のページの右上（余白10mm）に押し、「…_押印.pdf」として保存します。\r\n"
    L"  --at       表示されるページの左上から印影の左上までの距離\r\n"
    L"  --in-place PDFファイル自身に追記する（元の内容はそのまま）\r\n"
    L"  --replace  出力先が既にあるとき置き換える\r\n"
    L"  --flatten  注釈でなくページの内容に焼き込む\r\n"
    L"pdf の終了コード: 0 押印した、1 起動していない、2 引数の誤り、3 処理中、\r\n"
    L"  10 開けない、11 PDFでない、12 暗号化、13 相互参照の破損、14 読めない形式、15 ページがない、\r\n"
    L"  16 注釈不可、17 変更不可、18 ページ外、19 出力先あり、20 保存できない、21 印影がない、\r\n"
    L"  22 取り消し、23 要求の誤り、24 応答なし、25 管理者の設定で禁止\r\n";

// A console takes UTF-16 as it is; redirected output is encoded in the
// console's code page, or in 932 when there is no console at all.
void Write(DWORD stdHandle, std::wstring_view text) {
  HANDLE out = GetStdHandle(stdHandle);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  UINT codePage = GetConsoleOutputCP();
  if (codePage == 0) codePage = 932;
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Batch files are written in any case, as the Windows shell's own words are.
bool SameWord(const wchar_t* typed, const wchar_t* word) {
  return CompareStringOrdinal(typed, -1, word, -1, TRUE) == CSTR_EQUAL;
}

bool AsksForHelp(const wchar_t* typed) {
  return SameWord(typed, L"/?") || SameWord(typed, L"-h") || SameWord(typed, L"--help") ||
         SameWord(typed, L"help");
}

const Command* FindCommand(const wchar_t* typed) {
  for (const Command& command : kCommands)
    if (SameWord(typed, command.word)) return &command;
  return nullptr;
}

int Send(VarnelRequestCode code) {
  switch (PostVarnelRequest(code, kFromVrnctl)) {
    case kPosted:
      return kExitPosted;
    case kVarnelNotRunning:
      Write(STD_ERROR_HANDLE, L"Varnel印鑑が起動していません。\r\n");
      return kExitNotPosted;
    case kPostFailed:
      break;
  }
  Write(STD_ERROR_HANDLE, L"Varnel印鑑に要求を送れませんでした。\r\n");
  return kExitNotPosted;
}

std::wstring ArgumentProblem(const PdfArgumentError& error) {
  const std::wstring word = StrictWideFromUtf8(error.word).value_or(L"?");
  switch (error.kind) {
    case PdfArgumentError::Kind::UnknownOption: return L"知らないオプションです: " + word;
    case PdfArgumentError::Kind::MissingValue: return word + L" の値がありません。";
    case PdfArgumentError::Kind::BadValue: return L"値が正しくありません: " + word;
    case PdfArgumentError::Kind::NoFile: return L"押印するPDFファイルを指定してください。";
    case PdfArgumentError::Kind::ExtraFile: return L"PDFファイルは一つだけ指定してください: " + word;
    case PdfArgumentError::Kind::Conflict: return L"同時には指定できません: " + word;
    case PdfArgumentError::Kind::None: break;
  }
  return L"指定に誤りがあります。";
}

// "vrnctl pdf …": waits for Varnel's answer and says what happened.
int StampPdf(int argc, wchar_t* argv[]) {
  const std::vector<std::wstring> words(argv + 2, argv + argc);
  PdfArgumentError error;
  PdfControlRequest sent;
  const PdfStampResult result = SendPdfStampWords(words, error, true, &sent);
  if (result == PdfStampResult::Usage) {
    Write(STD_ERROR_HANDLE, ArgumentProblem(error) + L"\r\n\r\n");
    Write(STD_ERROR_HANDLE, kUsage);
    return static_cast<int>(result);
  }
  const std::wstring pdf = StrictWideFromUtf8(sent.pdf).value_or(L"");
  std::wstring output = sent.inPlace ? pdf : StrictWideFromUtf8(sent.output).value_or(L"");
  if (output.empty()) output = StampedCopyName(pdf);
  if (result == PdfStampResult::Stamped) {
    Write(STD_OUTPUT_HANDLE, L"PDFに押印しました。\r\n" + output + L"\r\n");
    return 0;
  }
  std::wstring message = PdfStampMessage(result, PdfMessageFacts{pdf, output, 0, 0, 0});
  for (std::size_t at = 0; (at = message.find(L'\n', at)) != std::wstring::npos; at += 2) message.insert(at, 1, L'\r');
  Write(STD_ERROR_HANDLE, message + L"\r\n");
  return static_cast<int>(result);
}

void WriteLine(DWORD stdHandle, const std::string& utf8) { Write(stdHandle, WideFromUtf8(utf8) + L"\r\n"); }

int Usage(const std::wstring& why = {}) {
  if (!why.empty()) Write(STD_ERROR_HANDLE, why + L"\r\n");
  Write(STD_ERROR_HANDLE, kUsage);
  return kExitUsage;
}

int VerifyLog(const std::vector<std::wstring>& arguments) {
  if (arguments.size() > 1) return Usage();
  const bool whole = arguments.empty();
  const std::wstring folder = StampLogFolder();
  const StampLogContent content = whole ? ReadStampLog(folder) : ReadStampLogFile(arguments[0]);
  if (content.failure.status == ChainStatus::kUnreadable) {
    WriteLine(STD_ERROR_HANDLE, ReportText(content.failure));
    return kExitUnreadable;
  }
  if (whole && content.files.empty()) {
    Write(STD_OUTPUT_HANDLE, L"押印履歴はありません（" + folder + L"）。\r\n");
    return kExitIntact;
  }
  const ChainReport report = VerifyChain(content.files, whole ? ChainFrom::kLogStart : ChainFrom::kFirstRecord);
  const bool intact = report.status == ChainStatus::kIntact;
  WriteLine(intact ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, ReportText(report));
  return intact ? kExitIntact : kExitBroken;
}

int ExportLog(const std::vector<std::wstring>& arguments) {
  std::wstring out;
  StampLogFilter filter;
  for (std::size_t i = 0; i < arguments.size(); i += 2) {
    if (i + 1 >= arguments.size()) return Usage();
    const std::wstring& value = arguments[i + 1];
    if (SameWord(arguments[i].c_str(), L"--csv")) {
      out = value;
    } else if (SameWord(arguments[i].c_str(), L"--from") || SameWord(arguments[i].c_str(), L"--to")) {
      const std::optional<std::string> day = FilterDate(Utf8FromWide(value));
      if (!day) return Usage(L"日付が正しくありません: " + value);
      (SameWord(arguments[i].c_str(), L"--from") ? filter.from : filter.to) = *day;
    } else if (SameWord(arguments[i].c_str(), L"--text")) {
      filter.text = Utf8FromWide(value);
    } else {
      return Usage();
    }
  }
  if (out.empty()) return Usage();
  const StampLogContent content = ReadStampLog(StampLogFolder());
  if (content.failure.status == ChainStatus::kUnreadable) {
    WriteLine(STD_ERROR_HANDLE, ReportText(content.failure));
    return kExitUnreadable;
  }
  std::vector<LoggedStamp> chosen;
  for (LoggedStamp& stamp : ReadStamps(content.files))
    if (Matches(stamp.record, filter)) chosen.push_back(std::move(stamp));
  const std::string csv = StampLogCsv(chosen);
  const DWORD error = SaveWholeFile(out, csv);
  if (error != ERROR_SUCCESS) {
    Write(STD_ERROR_HANDLE, L"CSVファイルを保存できませんでした: " + out + L"（" + SystemErrorText(error) + L"）\r\n");
    return kExitUnreadable;
  }
  Write(STD_OUTPUT_HANDLE, std::to_wstring(chosen.size()) + L" 件を " + out + L" に保存しました。\r\n");
  return kExitIntact;
}

int Log(int argc, wchar_t* argv[]) {
  if (argc < 3) return Usage();
  const std::vector<std::wstring> rest(argv + 3, argv + argc);
  if (SameWord(argv[2], L"verify")) return VerifyLog(rest);
  if (SameWord(argv[2], L"export")) return ExportLog(rest);
  return Usage();
}

// Ends the Varnel of this desktop as closing its hidden window does: without
// a question, keeping its settings, and waits until it has gone. An
// installer does this before it replaces or removes the program.
int Close() {
  HWND varnelMain = FindWindowW(nullptr, L"VarnelMain");
  if (varnelMain == nullptr) {
    Write(STD_ERROR_HANDLE, L"Varnel印鑑が起動していません。\r\n");
    return kExitNotPosted;
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(varnelMain, &processId);
  const UniqueHandleObject process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  if (PostMessageW(varnelMain, WM_CLOSE, 0, 0) && process &&
      WaitForSingleObject(process.get(), kEndingMs) == WAIT_OBJECT_0)
    return kExitPosted;
  Write(STD_ERROR_HANDLE, L"Varnel印鑑が終了しませんでした。\r\n");
  return kExitNotEnded;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  if (argc == 2 && AsksForHelp(argv[1])) {
    Write(STD_OUTPUT_HANDLE, kUsage);
    return kExitHelp;
  }
  if (argc == 2 && SameWord(argv[1], L"close")) return Close();
  if (argc >= 2 && SameWord(argv[1], L"pdf")) return StampPdf(argc, argv);
  if (argc >= 2 && SameWord(argv[1], L"log")) {
    // No exception may end the program with another code than the table's.
    try {
      return Log(argc, argv);
    } catch (...) {
      Write(STD_ERROR_HANDLE, L"押印履歴を読めません（メモリ不足）。\r\n");
      return kExitUnreadable;
    }
  }
  const Command* command = argc == 2 ? FindCommand(argv[1]) : nullptr;
  if (command == nullptr) {
    Write(STD_ERROR_HANDLE, kUsage);
    return kExitUsage;
  }
  return Send(command->code);
}
