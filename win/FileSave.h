#pragma once
// Saving files so that a failed write never leaves half a file in place of a
// good one: the content goes to a fresh file beside the target, which then
// takes the target's place. Paths are UTF-16, as the file dialogs give them.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ErrorText.h"
#include "WorkImage.h"

// A fresh empty file of a unique name in folder; empty when it cannot be
// made (the error is in GetLastError).
std::wstring TemporaryFileIn(const std::wstring& folder);

// Creates the content through `write` (given the temporary file's path, true
// when it wrote it), flushes it to the disk and puts it in path's place: an
// existing file is replaced keeping its attributes, ACL and short name. In a
// folder where the user may change files but not make them, the content is
// made in the user's temporary folder and copied into the existing file.
// 0 on success, else the platform's error code; the temporary file is gone
// either way.
DWORD SaveReplacing(const std::wstring& path, const std::function<bool(const std::wstring& temporary)>& write);

// Writes bytes as the whole of a file, made or emptied; false when any step fails.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);
// Saves bytes in path's place as SaveReplacing does: 0 or the platform's error code.
DWORD SaveWholeFile(const std::wstring& path, std::string_view bytes);

// Appends bytes to an open file whose size is expectedSize, in one write,
// and flushes them to the disk; when any step fails the file is cut back to
// expectedSize, so its bytes are as they were. The file's own bytes are
// never written. 0 on success, else the platform's error code.
DWORD AppendRestoringOnFailure(HANDLE file, std::uint64_t expectedSize, const std::string& bytes);

// A packed DIB (header, colour table, rows) as a .bmp file.
bool WriteBmpFile(const std::wstring& path, const PackedDib& dib);


// Tells the user that a file could not be saved, with the platform's reason.
void ReportSaveFailure(HWND owner, const std::wstring& path, DWORD error);
