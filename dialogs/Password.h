#pragma once
// The password prompt, asked at start-up and before protected functions.

#include <windows.h>

// Asks until the user's password is typed (true) or the prompt is cancelled
// or closed (false). A wrong password is reported and may be retried.
bool AskPassword(HWND owner);
