#pragma once
// The options dialog "オプション設定": every option of the program on ten
// pages, validated before anything is stored.

#include <windows.h>

#include "SettingsStore.h"

// Runs the dialog modally on the options as they stand in memory. Its finish
// button validates, stores the options and saves all settings (true); the
// close box discards every change (false).
bool RunOptionsDialog(HWND owner, SettingsStore& store);
