#pragma once
// The stamp log's files: stamp-log-YYYY-MM.jsonl in the user's own folder
// (%APPDATA%\Qdx\Varnel), read whole and appended to one record at a time.

#include <windows.h>

#include <string>
#include <vector>

#include "StampLog.h"

// The user's own folder, where the log lives.
std::wstring StampLogFolder();

// The log as read: its files oldest first, or the first one that could not
// be read (status kUnreadable, with the file and the platform's reason).
struct StampLogContent {
  std::vector<StampLogFile> files;
  ChainReport failure;  // kIntact when every file was read
};

// Every month file of the folder; a folder that does not exist is an empty log.
StampLogContent ReadStampLog(const std::wstring& folder);
// One file given by the user, whatever its name.
StampLogContent ReadStampLogFile(const std::wstring& path);

// Appends record to the user's log at the local month given, chained to
// the newest record before it (in the newest file, which takes the record
// when the clock has gone back before its month). Creates the folder when
// missing; writes the line and its break at once and flushes them to the
// disk, or leaves the file as it was. ERROR_SUCCESS, or the platform's
// reason; path names the file.
DWORD AppendStampRecord(int year, int month, StampLogRecord& record, std::wstring& path);
