#pragma once
// The date-change dialog: the date seal's middle text, to confirm or change
// by whole days before it is stamped.

#include <windows.h>

#include <string>
#include <string_view>

#include "Clock.h"

// Shows the dialog with text in its edit field and returns the field's text
// when it closes, however it was closed.
std::string AskDateChange(HWND owner, std::string_view text, const Clock& clock = SystemClock());
