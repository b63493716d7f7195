#pragma once
// The seal editor "印影編集": every field of the name seal and the date seal
// on four pages, with a live preview.

#include <windows.h>

#include "Policy.h"
#include "SettingsStore.h"

// Runs the editor modally. It reloads all settings on opening; its finish
// button saves them all and returns true. Any other way out leaves the two
// seal records as they were on opening and returns false. Positions 0 and 1
// of the policy hide the name pages and the date pages.
bool RunSealEditor(HWND owner, SettingsStore& store, const AdminPolicyState& policy);
