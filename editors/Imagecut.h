#pragma once
// The bitmap seal cutter TImgCut: a scan moved under a square frame, the
// framed part saved as the bitmap seal in the program folder (Bitmap1) with
// its print resolution (Bitmap1Resolution).

#include <windows.h>

#include "SettingsStore.h"

// Runs the cutter modally. The resolution chosen is in OptionSettings
// afterwards, saved or not; a saved seal has been stored with the options.
void RunImageCutter(HWND owner, SettingsStore& store);
