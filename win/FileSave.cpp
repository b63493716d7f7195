#include "FileSave.h"

#include <cstring>
#include <vector>

#include "UniqueHandle.h"

namespace {

std::wstring FullPath(const std::wstring& path) {
  const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::vector<wchar_t> buffer(n + 1);
  const DWORD written = GetFullPathNameW(path.c_str(), n + 1, buffer.data(), nullptr);
  return written == 0 || written > n ? path : std::wstring(buffer.data(), written);
}

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

DWORD SaveReplacing(const std::wstring& path, const std::function<bool(const std::wstring& temporary)>& write) {
  const std::wstring target = FullPath(path);
  // A read-only file or a folder of that name is not replaced (some file
  // systems would let the move below do it).
  if (const DWORD attributes = GetFileAttributesW(target.c_str());
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return ERROR_ACCESS_DENIED;
  wchar_t temporary[MAX_PATH + 16] = {};
  // Creates an empty file of a unique name in the target's folder, so the
  // move below stays on one volume.
  if (GetTempFileNameW(FolderOf(target).c_str(), L"vrn", 0, temporary) == 0) {
    const DWORD error = GetLastError();
    return error ? error : ERROR_CANNOT_MAKE;
  }
  SetLastError(ERROR_SUCCESS);
  if (!write(temporary) || !FlushToDisk(temporary)) {
    const DWORD error = GetLastError();
    DeleteFileW(temporary);
    return error ? error : ERROR_WRITE_FAULT;
  }
  if (!MoveFileExW(temporary, target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFileW(temporary);
    return error ? error : ERROR_WRITE_FAULT;
  }
  return ERROR_SUCCESS;
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

std::wstring SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring result = n && text ? std::wstring(text, n) : std::wstring();
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L' '))
    result.pop_back();
  if (result.empty()) result = L"エラー " + std::to_wstring(error);
  return result;
}

void ReportSaveFailure(HWND owner, const std::wstring& path, DWORD error) {
  const std::wstring text = L"ファイルを保存できませんでした。\n" + path + L"\n\n" + SystemErrorText(error);
  MessageBoxW(owner, text.c_str(), L"Varnel印鑑", MB_OK | MB_ICONERROR);
}
