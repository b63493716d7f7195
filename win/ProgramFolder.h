#pragma once
// The two folders the program's own files live in: the program folder (the
// exe's, which an installed program may not write) and the user's own.
// Files a user makes (the bitmap seal) are kept in the user's folder and read
// from there first; the program folder's copy serves where the user has none
// (a company seal an administrator placed beside the exe, the seal of an
// unzipped folder). The current directory never takes part.

#include <windows.h>

#include <string>
#include <string_view>

// The folder of the running exe, without a trailing backslash.
std::wstring ProgramFolder();
// A file beside the exe.
std::wstring ProgramFile(const std::wstring& name);
// The user's own folder for the files the program makes,
// %APPDATA%\Qdx\Varnel, without a trailing backslash; empty when the
// platform names no such folder. It is not created here.
std::wstring UserFolder();
// A file in the user's folder; empty when there is no such folder.
std::wstring UserFile(const std::wstring& name);
// Makes the user's folder (and Qdx above it) when it is not there yet:
// ERROR_SUCCESS, or the platform's reason.
DWORD MakeUserFolder();

// The file dialogs may leave the current directory where the user browsed:
// this puts it back when it goes.
class KeepCurrentDirectory {
 public:
  KeepCurrentDirectory();
  ~KeepCurrentDirectory();
  KeepCurrentDirectory(const KeepCurrentDirectory&) = delete;
  KeepCurrentDirectory& operator=(const KeepCurrentDirectory&) = delete;

 private:
  std::wstring directory_;
};

// A name the settings keep (Bitmap1) as the file it stands for: a full path
// as it is; otherwise the user's copy, else the program folder's. Empty when
// neither folder holds it.
std::wstring FindProgramFile(const std::wstring& name);

// Whether a program file of this code-page-932 name is there, found as
// FindProgramFile finds it: what the settings ask before making "varnel.bmp"
// the bitmap seal of a first start.
bool ProgramFileExists(std::string_view name);

// Whether files may be made and removed in the folder: true for an unzipped
// program folder, false for one installed under Program Files, which only
// administrators may change.
bool FolderAcceptsNewFiles(const std::wstring& folder);
bool ProgramFolderWritable();

// Removing a program file the user no longer wants (erasing the bitmap
// seal): the user's copy; else the program folder's when that folder may be
// changed. A copy the installation placed is left alone.
enum class EraseOutcome { Erased, Missing, BelongsToInstallation, Failed };
struct EraseResult {
  EraseOutcome outcome = EraseOutcome::Missing;
  std::wstring path;  // the file erased or kept
  DWORD error = ERROR_SUCCESS;  // the platform's reason when Failed
};
EraseResult EraseProgramFile(const std::wstring& name);
// Tells the user that the file belongs to the installation and stays.
void TellBelongsToInstallation(HWND owner, const std::wstring& path);
