// This file's Japanese texts are UTF-8, as the log and its CSV are: the
// target is not compiled for code page 932.

#include "StampLog.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "Json.h"
#include "Sha256.h"

namespace {

constexpr std::string_view kHashMember = ",\"hash\":\"";
// ,"hash":"<64 hex digits>"}
constexpr std::size_t kHashSuffixSize = kHashMember.size() + 64 + 2;
constexpr std::string_view kBom = "\xEF\xBB\xBF";

const char* const kSealKeywords[] = {"name", "date", "bitmap", "square", "rotated", "seal-file", "picture-file",
                                     "script"};
const char* const kSealNames[] = {"認印", "日付印", "ビットマップ印", "角印", "回転文字", "印影ファイル",
                                  "画像ファイル", "スクリプト"};
const char* const kTriggerKeywords[] = {"pad", "tray", "toolbar", "VrnCtl", "vrnctl"};
const char* const kTriggerNames[] = {"スタンプ台", "タスクトレー", "角印ツールバー", "VrnCtl", "vrnctl"};
const char* const kPictureKeywords[] = {"clipboard-png", "clipboard-dib", "clipboard-emf",
                                        "file-bmp",      "file-emf",      "file-png",
                                        "file-svg",      "file-pdf"};

template <typename Enum, std::size_t N>
std::string_view KeywordOf(Enum value, const char* const (&keywords)[N]) {
  const auto index = static_cast<std::size_t>(value);
  return index < N ? keywords[index] : "";
}

template <std::size_t N>
std::string NameOf(std::string_view keyword, const char* const (&keywords)[N], const char* const (&names)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (keyword == keywords[i]) return names[i];
  return std::string(keyword);
}

std::string TwoDigits(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", n);
  return buffer;
}

bool IsHex64(std::string_view text) {
  return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The line as it was before its hash member was added.
std::string WithoutHash(std::string_view line) {
  return std::string(line.substr(0, line.size() - kHashSuffixSize)) + "}";
}

bool HashHolds(std::string_view line, const StampLogRecord& record) {
  return line.size() > kHashSuffixSize &&
         line.substr(line.size() - kHashSuffixSize, kHashMember.size()) == kHashMember &&
         line.substr(line.size() - kHashSuffixSize + kHashMember.size(), 64) == record.hash &&
         Sha256Hex(WithoutHash(line)) == record.hash;
}

void AppendMember(std::string& line, std::string_view name, std::string_view value) {
  if (line.size() > 1) line += ',';
  AppendJsonString(line, name);
  line += ':';
  AppendJsonString(line, value);
}

bool DayExists(int year, int month, int day) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool ContainsFolded(std::string_view text, std::string_view wanted) {
  if (wanted.empty()) return true;
  if (text.size() < wanted.size()) return false;
  for (std::size_t i = 0; i + wanted.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < wanted.size() && FoldAscii(text[i + k]) == FoldAscii(wanted[k])) ++k;
    if (k == wanted.size()) return true;
  }
  return false;
}

// A cell as RFC 4180 quotes it. A cell that a spreadsheet would take for a
// formula (window titles come from other programs) is kept as text by a
// leading apostrophe.
void AppendCsvCell(std::string& out, std::string_view cell) {
  std::string text;
  if (!cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos) text = "'";
  text += cell;
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

std::string_view Keyword(StampSeal seal) { return KeywordOf(seal, kSealKeywords); }
std::string_view Keyword(StampTrigger trigger) { return KeywordOf(trigger, kTriggerKeywords); }
std::string_view Keyword(StampPicture picture) { return KeywordOf(picture, kPictureKeywords); }

std::string SealName(std::string_view keyword) { return NameOf(keyword, kSealKeywords, kSealNames); }
std::string TriggerName(std::string_view keyword) { return NameOf(keyword, kTriggerKeywords, kTriggerNames); }

std::string LogTime(const StampMoment& m) {
  const int offset = m.offsetMinutes < 0 ? -m.offsetMinutes : m.offsetMinutes;
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", m.year, m.month, m.day, m.hour,
                m.minute, m.second, m.offsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
  return buffer;
}

std::string MonthFileName(int year, int month) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "stamp-log-%04d-%02d.jsonl", year, month);
  return buffer;
}

bool IsMonthFileName(std::string_view name) {
  // stamp-log-YYYY-MM.jsonl
  if (name.size() != 23 || !name.starts_with("stamp-log-") || !name.ends_with(".jsonl") || name[14] != '-')
    return false;
  if (!IsDigits(name.substr(10, 4)) || !IsDigits(name.substr(15, 2))) return false;
  const int month = (name[15] - '0') * 10 + (name[16] - '0');
  return month >= 1 && month <= 12;
}

std::string SizeInMm(int widthHundredths, int heightHundredths) {
  const auto mm = [](int hundredths) {
    const int whole = hundredths < 0 ? 0 : hundredths;
    return std::to_string(whole / 100) + "." + TwoDigits(whole % 100);
  };
  return mm(widthHundredths) + "x" + mm(heightHundredths);
}

std::string RecordLine(StampLogRecord& record, std::string_view prev) {
  record.prev = std::string(prev);
  std::string line = "{";
  AppendMember(line, "time", record.time);
  AppendMember(line, "user", record.user);
  AppendMember(line, "computer", record.computer);
  AppendMember(line, "seal", record.seal);
  AppendMember(line, "text", record.text);
  AppendMember(line, "trigger", record.trigger);
  AppendMember(line, "window", record.window);
  AppendMember(line, "exe", record.exe);
  line += ",\"resolution\":" + std::to_string(record.resolution);
  AppendMember(line, "mm", record.mm);
  AppendMember(line, "picture", record.picture);
  AppendMember(line, "sha256", record.sha256);
  AppendMember(line, "prev", record.prev);
  line += '}';
  record.hash = Sha256Hex(line);
  line.pop_back();
  line += std::string(kHashMember) + record.hash + "\"}";
  return line;
}

std::optional<StampLogRecord> ParseRecordLine(std::string_view line, std::string* why) {
  std::string reason;
  const std::optional<JsonObject> object = ParseJsonObject(line, &reason);
  if (!object) {
    if (why) *why = reason;
    return std::nullopt;
  }
  StampLogRecord record;
  const std::pair<const char*, std::string StampLogRecord::*> texts[] = {
      {"time", &StampLogRecord::time},     {"user", &StampLogRecord::user},     {"computer", &StampLogRecord::computer},
      {"seal", &StampLogRecord::seal},     {"text", &StampLogRecord::text},     {"trigger", &StampLogRecord::trigger},
      {"window", &StampLogRecord::window}, {"exe", &StampLogRecord::exe},       {"mm", &StampLogRecord::mm},
      {"picture", &StampLogRecord::picture}, {"sha256", &StampLogRecord::sha256}, {"prev", &StampLogRecord::prev},
      {"hash", &StampLogRecord::hash},
  };
  for (const auto& [name, field] : texts) {
    const auto member = object->find(name);
    if (member == object->end() || !member->second.isString) {
      if (why) *why = std::string("the text member \"") + name + "\" is missing";
      return std::nullopt;
    }
    record.*field = member->second.text;
  }
  const auto resolution = object->find("resolution");
  if (resolution == object->end() || resolution->second.isString || !IsDigits(resolution->second.text) ||
      resolution->second.text.size() > 9) {
    if (why) *why = "the member \"resolution\" is not a whole number";
    return std::nullopt;
  }
  record.resolution = std::stoll(resolution->second.text);
  if (!IsHex64(record.prev) || !IsHex64(record.hash)) {
    if (why) *why = "\"prev\" and \"hash\" must be SHA-256 digests";
    return std::nullopt;
  }
  return record;
}

std::vector<std::string_view> LogLines(std::string_view bytes) {
  if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
  return lines;
}

std::string NextPrev(std::string_view newestFileBytes) {
  const std::vector<std::string_view> lines = LogLines(newestFileBytes);
  return lines.empty() ? kChainStart : Sha256Hex(lines.back());
}

std::string AppendText(std::string_view fileBytes, std::string_view line) {
  std::string text;
  if (!fileBytes.empty() && fileBytes.back() != '\n') text += '\n';
  text += line;
  text += '\n';
  return text;
}

ChainReport VerifyChain(const std::vector<StampLogFile>& files, ChainFrom from) {
  ChainReport report;
  std::string expectedPrev = kChainStart;
  bool first = true;
  for (const StampLogFile& file : files) {
    ++report.files;
    std::size_t number = 0;
    for (std::string_view line : LogLines(file.bytes)) {
      ++number;
      const auto broken = [&](ChainBreak why, std::string detail = {}) {
        report.status = ChainStatus::kBroken;
        report.why = why;
        report.file = file.name;
        report.record = number;
        report.detail = std::move(detail);
        return report;
      };
      std::string reason;
      const std::optional<StampLogRecord> record = ParseRecordLine(line, &reason);
      if (!record) return broken(ChainBreak::kNotARecord, reason);
      if (!HashHolds(line, *record)) return broken(ChainBreak::kChanged);
      if (record->prev != expectedPrev && !(first && from == ChainFrom::kFirstRecord))
        return broken(first ? ChainBreak::kStartMissing : ChainBreak::kUnlinked);
      first = false;
      expectedPrev = Sha256Hex(line);
      ++report.records;
    }
  }
  return report;
}

std::string ReportText(const ChainReport& report) {
  const std::string where = report.file + " の " + std::to_string(report.record) + " 件目";
  switch (report.status) {
    case ChainStatus::kIntact:
      return "押印履歴は改ざんされていません（" + std::to_string(report.files) + " ファイル、" +
             std::to_string(report.records) + " 件）。";
    case ChainStatus::kUnreadable:
      return "押印履歴を読めません: " + report.file + "（" + report.detail + "）";
    case ChainStatus::kBroken:
      break;
  }
  switch (report.why) {
    case ChainBreak::kNotARecord: return "押印履歴が改ざんされています: " + where + "は押印履歴の記録として読めません。";
    case ChainBreak::kChanged: return "押印履歴が改ざんされています: " + where + "が書き換えられています。";
    case ChainBreak::kStartMissing:
      return "押印履歴が改ざんされています: " + where + "より前の記録が削除されています。";
    default:
      return "押印履歴が改ざんされています: " + where +
             "が直前の記録とつながりません（記録の削除・並べ替え・書き換え）。";
  }
}

std::vector<LoggedStamp> ReadStamps(const std::vector<StampLogFile>& files) {
  std::vector<LoggedStamp> stamps;
  for (const StampLogFile& file : files) {
    std::size_t number = 0;
    for (std::string_view line : LogLines(file.bytes)) {
      ++number;
      if (std::optional<StampLogRecord> record = ParseRecordLine(line))
        stamps.push_back({file.name, number, std::move(*record)});
    }
  }
  return stamps;
}

bool Matches(const StampLogRecord& r, const StampLogFilter& filter) {
  const std::string_view day = std::string_view(r.time).substr(0, 10);
  if (!filter.from.empty() && day < filter.from) return false;
  if (!filter.to.empty() && day > filter.to) return false;
  if (filter.text.empty()) return true;
  for (const std::string* text : {&r.time, &r.user, &r.computer, &r.text, &r.window, &r.exe, &r.sha256})
    if (ContainsFolded(*text, filter.text)) return true;
  return ContainsFolded(SealName(r.seal), filter.text) || ContainsFolded(TriggerName(r.trigger), filter.text) ||
         ContainsFolded(r.seal, filter.text) || ContainsFolded(r.trigger, filter.text);
}

std::optional<std::string> FilterDate(std::string_view typed) {
  int part[3] = {0, 0, 0};
  int index = 0, digits = 0;
  for (char c : typed) {
    if (c >= '0' && c <= '9') {
      if (++digits > (index == 0 ? 4 : 2)) return std::nullopt;
      part[index] = part[index] * 10 + (c - '0');
    } else if ((c == '-' || c == '/') && digits > 0 && index < 2) {
      ++index;
      digits = 0;
    } else {
      return std::nullopt;
    }
  }
  if (index != 2 || digits == 0 || !DayExists(part[0], part[1], part[2])) return std::nullopt;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", part[0], part[1], part[2]);
  return std::string(buffer);
}

std::string StampLogCsv(const std::vector<LoggedStamp>& stamps) {
  static constexpr const char* kHeader[] = {"日時",      "ユーザー",  "コンピューター", "印",        "印面",
                                            "操作",      "押印先ウィンドウ", "押印先プログラム", "解像度(dpm)",
                                            "大きさ(mm)", "画像",      "画像のSHA-256", "記録のSHA-256"};
  std::string csv(kBom);
  const auto endRow = [&csv] {
    csv.pop_back();  // the last comma
    csv += "\r\n";
  };
  for (const char* title : kHeader) {
    AppendCsvCell(csv, title);
    csv += ',';
  }
  endRow();
  for (const LoggedStamp& stamp : stamps) {
    const StampLogRecord& r = stamp.record;
    for (const std::string& cell : {r.time, r.user, r.computer, SealName(r.seal), r.text, TriggerName(r.trigger),
                                    r.window, r.exe, std::to_string(r.resolution), r.mm, r.picture, r.sha256, r.hash}) {
      AppendCsvCell(csv, cell);
      csv += ',';
    }
    endRow();
  }
  return csv;
}
