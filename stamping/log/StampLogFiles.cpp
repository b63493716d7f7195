#include "StampLogFiles.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "FileSave.h"
#include "FileSystemWide.h"
#include "ProgramFolder.h"
#include "Text.h"
#include "UniqueHandle.h"

namespace {

// A month of stamps is a few hundred kilobytes; a file far beyond this is
// not one the program wrote, and is not read into memory.
constexpr std::size_t kLargestLogFile = std::size_t{256} << 20;

// The month files' names in the folder, oldest first (the names sort by month).
std::vector<std::wstring> MonthFiles(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\stamp-log-*.jsonl").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsMonthFileName(Utf8FromWide(found.cFileName)))
      names.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

ChainReport Unreadable(const std::wstring& file, DWORD error) {
  ChainReport report;
  report.status = ChainStatus::kUnreadable;
  report.file = Utf8FromWide(file);
  report.detail = Utf8FromWide(SystemErrorText(error));
  return report;
}

// The end of an open log file that holds its last line whole: from just
// after a line break before that line, or the whole file when it has none.
// The chain and the next line's break need no more of it.
DWORD ReadLastLine(HANDLE file, std::uint64_t size, std::string& tail) {
  for (std::uint64_t want = 4096;; want *= 2) {
    const std::uint64_t from = size > want ? size - want : 0;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(from);
    tail.assign(static_cast<std::size_t>(size - from), '\0');
    DWORD read = 0;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
        !ReadFile(file, tail.data(), static_cast<DWORD>(tail.size()), &read, nullptr))
      return GetLastError();
    if (read != tail.size()) return ERROR_HANDLE_EOF;
    if (from == 0) return ERROR_SUCCESS;
    // Not the file's last byte: that may be the last line's own break.
    const std::size_t cut = std::string_view(tail).substr(0, tail.size() - 1).rfind('\n');
    if (cut != std::string_view::npos) {
      tail.erase(0, cut + 1);
      return ERROR_SUCCESS;
    }
  }
}

// Opens a log file (made when missing) for reading its end and appending;
// others may read it meanwhile, not write it. A log made read-only, or a
// folder of its name, is not written to, whatever the file system would let
// an administrator's account do.
DWORD OpenLogFile(const std::wstring& path, DWORD access, DWORD disposition, UniqueFile& file,
                  std::uint64_t& size) {
  if (const DWORD attributes = GetFileAttributesW(path.c_str());
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) &&
      (access & GENERIC_WRITE))
    return ERROR_ACCESS_DENIED;
  file.reset(CreateFileW(path.c_str(), access, FILE_SHARE_READ | (access & GENERIC_WRITE ? 0 : FILE_SHARE_WRITE),
                         nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER length{};
  if (!file || !GetFileSizeEx(file.get(), &length)) return GetLastError();
  if (static_cast<std::uint64_t>(length.QuadPart) > kLargestLogFile) return ERROR_FILE_TOO_LARGE;
  size = static_cast<std::uint64_t>(length.QuadPart);
  return ERROR_SUCCESS;
}

}  // namespace

std::wstring StampLogFolder() { return UserFolder(); }

StampLogContent ReadStampLog(const std::wstring& folder) {
  StampLogContent content;
  for (const std::wstring& name : MonthFiles(folder)) {
    DWORD error = ERROR_SUCCESS;
    std::optional<std::string> bytes = ReadFileBytes(folder + L"\\" + name, kLargestLogFile, &error);
    if (!bytes) {
      content.failure = Unreadable(name, error);
      return content;
    }
    content.files.push_back({Utf8FromWide(name), std::move(*bytes)});
  }
  return content;
}

StampLogContent ReadStampLogFile(const std::wstring& path) {
  StampLogContent content;
  DWORD error = ERROR_SUCCESS;
  std::optional<std::string> bytes = ReadFileBytes(path, kLargestLogFile, &error);
  if (!bytes)
    content.failure = Unreadable(path, error);
  else
    content.files.push_back({Utf8FromWide(path), std::move(*bytes)});
  return content;
}

DWORD AppendStampRecord(int year, int month, StampLogRecord& record, std::wstring& path) {
  const std::wstring folder = StampLogFolder();
  const std::wstring thisMonth = WideFromUtf8(MonthFileName(year, month));
  path = folder + L"\\" + thisMonth;
  if (const DWORD error = MakeUserFolder(); error != ERROR_SUCCESS) return error;
  // The chain runs on from the newest file, whatever month it is; that file
  // takes the record when the clock has gone back before its month.
  const std::vector<std::wstring> files = MonthFiles(folder);
  const bool intoNewest = !files.empty() && files.back() >= thisMonth;
  std::string newestEnd;
  if (!files.empty() && !intoNewest) {
    const std::wstring newestPath = folder + L"\\" + files.back();
    UniqueFile newest;
    std::uint64_t size = 0;
    DWORD error = OpenLogFile(newestPath, GENERIC_READ, OPEN_EXISTING, newest, size);
    if (error == ERROR_SUCCESS) error = ReadLastLine(newest.get(), size, newestEnd);
    if (error != ERROR_SUCCESS) {
      path = newestPath;
      return error;
    }
  }
  if (intoNewest) path = folder + L"\\" + files.back();
  UniqueFile file;
  std::uint64_t size = 0;
  DWORD error = OpenLogFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, file, size);
  if (error == ERROR_SUCCESS && intoNewest) error = ReadLastLine(file.get(), size, newestEnd);
  if (error != ERROR_SUCCESS) return error;
  const std::string line = RecordLine(record, NextPrev(newestEnd));
  // One write, flushed: a record must outlive a crash or power cut after
  // the stamp, and a write that fails leaves no half line behind.
  return AppendRestoringOnFailure(file.get(), size, AppendText(intoNewest ? newestEnd : std::string(), line));
}
