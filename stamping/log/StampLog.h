#pragma once
// The stamp log: one UTF-8 JSON line a stamp, one file a month, each record
// chained to the one before it by the SHA-256 of that record's line, so a
// record changed, removed or moved afterwards breaks the chain there.
// Everything here works on bytes; the files themselves are read and
// written at the platform's edge.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class StampSeal { kName, kDate, kBitmap, kSquareText, kRotatedText, kSealFile, kPictureFile, kScript };
enum class StampTrigger { kPad, kTray, kToolbar, kVrnCtl, kVrnctl };
// What the picture hash is taken of: the bytes put on the clipboard in that
// format, or the file as saved.
// The file of a PDF stamp is the seal's form as written into the PDF.
enum class StampPicture { kClipboardPng, kClipboardDib, kClipboardEmf, kFileBmp, kFileEmf, kFilePng, kFileSvg, kFilePdf };

std::string_view Keyword(StampSeal seal);
std::string_view Keyword(StampTrigger trigger);
std::string_view Keyword(StampPicture picture);

// The local time of a stamp and the local time's offset from UTC.
struct StampMoment {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  int offsetMinutes = 0;
};

// "2026-12-08T09:30:05+09:00"
std::string LogTime(const StampMoment& moment);
// "stamp-log-2026-12.jsonl"
std::string MonthFileName(int year, int month);
bool IsMonthFileName(std::string_view name);
// "15.60x9.30", from hundredths of a millimetre.
std::string SizeInMm(int widthHundredths, int heightHundredths);

// The members of one record, texts in UTF-8.
struct StampLogRecord {
  std::string time, user, computer;
  std::string seal, text, trigger;
  std::string window, exe;  // the window in front before the stamp, and its program
  long long resolution = 0;  // pixels per metre
  std::string mm, picture, sha256;
  std::string prev;  // SHA-256 of the previous record's line
  std::string hash;  // SHA-256 of this record's line without its hash member
};

// The prev of the very first record.
inline const std::string kChainStart(64, '0');

// Fills record's prev and hash and returns its line (without a line break).
std::string RecordLine(StampLogRecord& record, std::string_view prev);
// A record line read back; nullopt, with the reason, when the line is not one.
std::optional<StampLogRecord> ParseRecordLine(std::string_view line, std::string* why = nullptr);

// A log file's lines: a UTF-8 byte order mark and the carriage return of
// CR LF line ends are not part of them; nothing after the last line break.
std::vector<std::string_view> LogLines(std::string_view fileBytes);
// The prev of a record appended to a log whose newest file holds these
// bytes (kChainStart for no records).
std::string NextPrev(std::string_view newestFileBytes);
// What to write at the end of a file holding these bytes to add line: the
// line and its break, after a break that a cut-off last line lacks.
std::string AppendText(std::string_view fileBytes, std::string_view line);

struct StampLogFile {
  std::string name;   // the file name, for messages
  std::string bytes;  // its content
};

enum class ChainStatus { kIntact, kBroken, kUnreadable };
enum class ChainBreak { kNone, kNotARecord, kChanged, kUnlinked, kStartMissing };

struct ChainReport {
  ChainStatus status = ChainStatus::kIntact;
  ChainBreak why = ChainBreak::kNone;
  std::string file;        // where it breaks, or the file that cannot be read
  std::size_t record = 0;  // the record's number in that file, from 1
  std::size_t files = 0, records = 0;  // what was checked
  std::string detail;      // the reader's reason, or the platform's for an unreadable file
};

// Checks the chain through the files in order (oldest first). From the
// start of the log, the first record must start the chain; a file checked
// alone starts with whatever its first record follows.
enum class ChainFrom { kLogStart, kFirstRecord };
ChainReport VerifyChain(const std::vector<StampLogFile>& files, ChainFrom from);
// The report in the program's words (UTF-8).
std::string ReportText(const ChainReport& report);

struct LoggedStamp {
  std::string file;
  std::size_t number = 0;  // in its file, from 1
  StampLogRecord record;
};
// Every readable record, oldest first; a line that is not a record is left
// out here (the chain check names it).
std::vector<LoggedStamp> ReadStamps(const std::vector<StampLogFile>& files);

// Dates are "YYYY-MM-DD", empty for no bound; both bounds are included. The
// text is looked for in every text member, ASCII letters in either case.
struct StampLogFilter {
  std::string from, to, text;
};
bool Matches(const StampLogRecord& record, const StampLogFilter& filter);
// A typed date ("2026-12-08", "2026/12/8") as "YYYY-MM-DD"; nullopt for no
// such calendar day.
std::optional<std::string> FilterDate(std::string_view typed);

// The seal and the trigger in the program's words (UTF-8); unknown
// keywords as they are.
std::string SealName(std::string_view keyword);
std::string TriggerName(std::string_view keyword);

// The records as CSV for spreadsheets: UTF-8 with a byte order mark (so a
// Japanese Excel reads it as UTF-8), CR LF, a header line.
std::string StampLogCsv(const std::vector<LoggedStamp>& stamps);
