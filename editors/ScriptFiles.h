#pragma once
// The editor's files: script files chosen in the file dialogs, read and
// written by their UTF-16 names, and the preview's temporary file.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

bool PathExists(const std::wstring& path);
// The name with its extension replaced by ".vgs" (added when it has none).
std::wstring WithVgsExtension(const std::wstring& path);

// The open and save dialogs for scripts; nullopt when cancelled. The
// dialogs start at the given name.
std::optional<std::wstring> AskScriptToOpen(HWND owner, const std::wstring& name);
std::optional<std::wstring> AskScriptToSave(HWND owner, const std::wstring& name);

// Text as the edit holds it in code page 932, for the preview: a character
// the code page lacks becomes "?".
std::string PreviewBytes(std::wstring_view text);
// Code-page-932 bytes for the edit; invalid bytes become the platform's
// replacement character.
std::wstring EditText(std::string_view cp932);

// A file of a unique name in the user's temporary folder, deleted when this
// goes. The program folder is no place for it: it is often not writable.
class TemporaryScriptFile {
 public:
  TemporaryScriptFile();
  ~TemporaryScriptFile();
  TemporaryScriptFile(const TemporaryScriptFile&) = delete;
  TemporaryScriptFile& operator=(const TemporaryScriptFile&) = delete;

  // Writes the bytes; false when the file could not be made or written.
  bool Write(std::string_view bytes);
  // The name as the script reader takes it (code page 932), or "" when it
  // has none: then the short form of the name is tried.
  std::string ReaderPath() const;

 private:
  std::wstring path_;
};
