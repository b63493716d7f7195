#pragma once
// The viewer "押印履歴": the user's stamp log in a list, newest first,
// filtered by a date range and a text, saved as CSV and checked.

#include <windows.h>

// Reads the user's log and shows it modally.
void RunStampLogViewer(HWND owner);
