#pragma once
// The two folders the program's own files live in: the program folder (the
// exe's, which an installed program may not write) and the user's own.

#include <string>

// The folder of the running exe, without a trailing backslash.
std::wstring ProgramFolder();
// A file beside the exe.
std::wstring ProgramFile(const std::wstring& name);
// The user's own folder for the files the program makes,
// %APPDATA%\Qdx\Varnel, without a trailing backslash; empty when the
// platform names no such folder. It is not created here.
std::wstring UserFolder();
