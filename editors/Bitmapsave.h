#pragma once
// The name of a new bitmap seal: asked by TBmpSaveForm, always a bare file
// name with the extension ".bmp" in the program folder.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// The name the bitmap seal is stored under: the file-name part of what was
// typed (drive and folders dropped) with its extension replaced by ".bmp",
// as code-page-932 bytes that fit Bitmap1. Without a value, `problem` says
// why the text gives no usable name.
std::optional<std::string> BitmapSealFileName(std::wstring_view typed, std::wstring& problem);

// Shows TBmpSaveForm with the suggested name; the name chosen, or nothing
// when the user cancelled.
std::optional<std::string> AskBitmapSealName(HWND owner, const std::wstring& suggestion);
