#include "StampLogFiles.h"

#include <shlobj.h>

#include <algorithm>

#include "FileSave.h"
#include "ProgramFolder.h"
#include "Text.h"
#include "UniqueHandle.h"

namespace {

// A month of stamps is a few hundred kilobytes; a file far beyond this is
// not one the program wrote, and is not read into memory.
constexpr LONGLONG kLargestLogFile = 256LL << 20;

struct ReadResult {
  std::string bytes;
  DWORD error = ERROR_SUCCESS;
};

ReadResult ReadWholeFile(const std::wstring& path) {
  ReadResult result;
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size)) {
    result.error = GetLastError();
    return result;
  }
  if (size.QuadPart > kLargestLogFile) {
    result.error = ERROR_FILE_TOO_LARGE;
    return result;
  }
  result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!result.bytes.empty() &&
      (!ReadFile(file.get(), result.bytes.data(), static_cast<DWORD>(result.bytes.size()), &read, nullptr) ||
       read != result.bytes.size()))
    result.error = read != result.bytes.size() && GetLastError() == ERROR_SUCCESS ? ERROR_HANDLE_EOF : GetLastError();
  return result;
}

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

DWORD MakeFolder(const std::wstring& folder) {
  if (folder.empty()) return ERROR_PATH_NOT_FOUND;
  const int made = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  if (made == ERROR_SUCCESS || made == ERROR_ALREADY_EXISTS || made == ERROR_FILE_EXISTS) {
    // A file of the folder's name is no folder.
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError();
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? ERROR_SUCCESS : ERROR_DIRECTORY;
  }
  return static_cast<DWORD>(made);
}

DWORD WriteAndFlush(const std::wstring& path, const std::string& text) {
  // A log made read-only, or a folder of its name, is not written to,
  // whatever the file system would let an administrator's account do.
  if (const DWORD attributes = GetFileAttributesW(path.c_str());
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return ERROR_ACCESS_DENIED;
  UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return GetLastError();
  DWORD written = 0;
  if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) return GetLastError();
  if (written != text.size()) return ERROR_WRITE_FAULT;
  // Flushed per record: a record must outlive a crash or power cut after the stamp.
  return FlushFileBuffers(file.get()) ? ERROR_SUCCESS : GetLastError();
}

}  // namespace

std::wstring StampLogFolder() { return UserFolder(); }

StampLogContent ReadStampLog(const std::wstring& folder) {
  StampLogContent content;
  for (const std::wstring& name : MonthFiles(folder)) {
    ReadResult read = ReadWholeFile(folder + L"\\" + name);
    if (read.error != ERROR_SUCCESS) {
      content.failure = Unreadable(name, read.error);
      return content;
    }
    content.files.push_back({Utf8FromWide(name), std::move(read.bytes)});
  }
  return content;
}

StampLogContent ReadStampLogFile(const std::wstring& path) {
  StampLogContent content;
  ReadResult read = ReadWholeFile(path);
  if (read.error != ERROR_SUCCESS)
    content.failure = Unreadable(path, read.error);
  else
    content.files.push_back({Utf8FromWide(path), std::move(read.bytes)});
  return content;
}

DWORD AppendStampRecord(const std::wstring& folder, int year, int month, StampLogRecord& record, std::wstring& path) {
  const std::wstring thisMonth = WideFromUtf8(MonthFileName(year, month));
  path = folder + L"\\" + thisMonth;
  if (const DWORD error = MakeFolder(folder); error != ERROR_SUCCESS) return error;
  const std::vector<std::wstring> files = MonthFiles(folder);
  std::string newest;
  if (!files.empty()) {
    // The chain runs on from the newest file, whatever month it is.
    const std::wstring newestPath = folder + L"\\" + files.back();
    ReadResult read = ReadWholeFile(newestPath);
    if (read.error != ERROR_SUCCESS) {
      path = newestPath;
      return read.error;
    }
    newest = std::move(read.bytes);
    if (files.back() >= thisMonth) path = newestPath;
  }
  const std::string line = RecordLine(record, NextPrev(newest));
  const bool intoNewest = !files.empty() && path == folder + L"\\" + files.back();
  return WriteAndFlush(path, intoNewest ? AppendText(newest, line) : AppendText("", line));
}

DWORD SaveWholeFile(const std::wstring& path, const std::string& bytes) {
  return SaveReplacing(path, [&bytes](const std::wstring& temporary) {
    UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  });
}
