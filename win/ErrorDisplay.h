#pragma once
// What the user sees of an exception that reached a window or dialog
// procedure: a message box captioned "Varnel印鑑" with the error's text. The
// program then goes on; nothing unwinds through the window manager.

#include <windows.h>

// Call only inside a catch block: shows the exception being handled.
void ShowCurrentException(HWND owner) noexcept;
