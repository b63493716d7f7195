#include "FileSave.h"

#include <cstring>
#include <vector>

#include "FullPath.h"
#include "UniqueHandle.h"

namespace {

std::wstring FolderOf(const std::wstring& fullPath) {
  const std::size_t slash = fullPath.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : fullPath.substr(0, slash + 1);
}

// The file's content reaches the disk before the file replaces another: a
// power cut after the rename must not leave an empty file in its place.
bool FlushToDisk(const wchar_t* path) {
  UniqueFile file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && FlushFileBuffers(file.get());
}

std::size_t ColourTableBytes(const BITMAPINFOHEADER& header) {
  if (header.biBitCount > 8) return header.biCompression == BI_BITFIELDS ? 12 : 0;
  const std::size_t colours = header.biClrUsed ? header.biClrUsed : std::size_t{1} << header.biBitCount;
  return colours * sizeof(RGBQUAD);
}

}  // namespace

namespace {

DWORD LastErrorOr(DWORD fallback) {
  const DWORD error = GetLastError();
  return error ? error : fallback;
}

// Writes the content through `write`, then flushes it; the file is removed
// when either fails.
DWORD WriteAndFlush(const std::wstring& temporary, const std::function<bool(const std::wstring&)>& write) {
  SetLastError(ERROR_SUCCESS);
  if (write(temporary) && FlushToDisk(temporary.c_str())) return ERROR_SUCCESS;
  const DWORD error = LastErrorOr(ERROR_WRITE_FAULT);
  DeleteFileW(temporary.c_str());
  return error;
}

// The finished content over the target's own bytes: the target stays the
// same file (its attributes, ACL and links), for a folder where files may
// be changed but not made or removed.
DWORD CopyContentInto(const std::wstring& source, const std::wstring& target) {
  UniqueFile in(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in) return LastErrorOr(ERROR_READ_FAULT);
  UniqueFile out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) return LastErrorOr(ERROR_ACCESS_DENIED);
  std::vector<char> buffer(1 << 16);
  for (;;) {
    DWORD read = 0, written = 0;
    if (!ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
      return LastErrorOr(ERROR_READ_FAULT);
    if (read == 0) break;
    if (!WriteFile(out.get(), buffer.data(), read, &written, nullptr) || written != read)
      return LastErrorOr(ERROR_WRITE_FAULT);
  }
  if (!SetEndOfFile(out.get()) || !FlushFileBuffers(out.get())) return LastErrorOr(ERROR_WRITE_FAULT);
  return ERROR_SUCCESS;
}

// The content made complete in the user's temporary folder first, then
// copied into the target.
DWORD SaveInPlace(const std::wstring& target, const std::function<bool(const std::wstring&)>& write) {
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return ERROR_PATH_NOT_FOUND;
  const std::wstring temporary = TemporaryFileIn(folder);
  if (temporary.empty()) return LastErrorOr(ERROR_CANNOT_MAKE);
  DWORD error = WriteAndFlush(temporary, write);
  if (error != ERROR_SUCCESS) return error;
  error = CopyContentInto(temporary, target);
  DeleteFileW(temporary.c_str());
  return error;
}

// The flushed temporary file takes the target's place. ReplaceFile keeps the
// old file's attributes, ACL and short name on the new content; a new
// target is a plain rename.
DWORD MoveIntoPlace(const std::wstring& temporary, const std::wstring& target, bool targetExists) {
  if (targetExists) {
    if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
      return ERROR_SUCCESS;
    switch (const DWORD error = LastErrorOr(ERROR_WRITE_FAULT)) {
      case ERROR_FILE_NOT_FOUND:             // the target went meanwhile
      case ERROR_UNABLE_TO_MOVE_REPLACEMENT:  // the old file is gone, the new one still has its own name
        break;
      case ERROR_UNABLE_TO_REMOVE_REPLACED: {  // files here may be changed but not removed
        const DWORD copied = CopyContentInto(temporary, target);
        DeleteFileW(temporary.c_str());
        return copied;
      }
      default:
        DeleteFileW(temporary.c_str());
        return error;
    }
  }
  if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return ERROR_SUCCESS;
  const DWORD error = LastErrorOr(ERROR_WRITE_FAULT);
  DeleteFileW(temporary.c_str());
  return error;
}

}  // namespace

std::wstring TemporaryFileIn(const std::wstring& folder) {
  wchar_t temporary[MAX_PATH + 16] = {};
  if (folder.size() > MAX_PATH - 14) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return {};
  }
  if (GetTempFileNameW(folder.c_str(), L"vrn", 0, temporary) == 0) return {};
  // Wine names a file it could not make (a folder that takes no new files)
  // as if it had made it.
  if (const DWORD error = GetLastError(); GetFileAttributesW(temporary) == INVALID_FILE_ATTRIBUTES) {
    SetLastError(error ? error : ERROR_ACCESS_DENIED);
    return {};
  }
  return temporary;
}

DWORD SaveReplacing(const std::wstring& path, const std::function<bool(const std::wstring& temporary)>& write) {
  const std::wstring target = FullPath(path);
  // A read-only file or a folder of that name is not replaced (some file
  // systems would let the move below do it).
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return ERROR_ACCESS_DENIED;
  const bool targetExists = attributes != INVALID_FILE_ATTRIBUTES;
  // Beside the target, so the move stays on one volume.
  const std::wstring temporary = TemporaryFileIn(FolderOf(target));
  if (temporary.empty()) {
    const DWORD error = LastErrorOr(ERROR_CANNOT_MAKE);
    return targetExists && error == ERROR_ACCESS_DENIED ? SaveInPlace(target, write) : error;
  }
  if (const DWORD error = WriteAndFlush(temporary, write); error != ERROR_SUCCESS) return error;
  return MoveIntoPlace(temporary, target, targetExists);
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return bytes.empty() || (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                           written == bytes.size());
}

DWORD SaveWholeFile(const std::wstring& path, std::string_view bytes) {
  return SaveReplacing(path, [bytes](const std::wstring& temporary) { return WriteWholeFile(temporary, bytes); });
}

DWORD AppendRestoringOnFailure(HANDLE file, std::uint64_t expectedSize, const std::string& bytes) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) return GetLastError();
  if (static_cast<std::uint64_t>(size.QuadPart) != expectedSize) return ERROR_INVALID_DATA;
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(expectedSize);
  if (!SetFilePointerEx(file, end, nullptr, FILE_BEGIN)) return GetLastError();
  DWORD written = 0;
  DWORD error = ERROR_SUCCESS;
  if (bytes.size() > MAXDWORD) {
    error = ERROR_ARITHMETIC_OVERFLOW;
  } else if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
             written != bytes.size()) {
    error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
  } else if (!FlushFileBuffers(file)) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    // Cut back to the original length: whatever part of the write landed goes.
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    FlushFileBuffers(file);
  }
  return error;
}

bool WriteBmpFile(const std::wstring& path, const PackedDib& dib) {
  BITMAPINFOHEADER header{};
  if (dib.size() < sizeof header) return false;
  std::memcpy(&header, dib.data(), sizeof header);
  const std::size_t bitsOffset = sizeof(BITMAPFILEHEADER) + sizeof header + ColourTableBytes(header);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfSize = static_cast<DWORD>(sizeof file + dib.size());
  file.bfOffBits = static_cast<DWORD>(bitsOffset);
  UniqueFile out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) return false;
  DWORD written = 0;
  if (!WriteFile(out.get(), &file, sizeof file, &written, nullptr) || written != sizeof file) return false;
  return WriteFile(out.get(), dib.data(), static_cast<DWORD>(dib.size()), &written, nullptr) &&
         written == dib.size();
}

void ReportSaveFailure(HWND owner, const std::wstring& path, DWORD error) {
  const std::wstring text = L"ファイルを保存できませんでした。\n" + path + L"\n\n" + SystemErrorText(error);
  MessageBoxW(owner, text.c_str(), L"Varnel印鑑", MB_OK | MB_ICONERROR);
}
