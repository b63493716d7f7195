#pragma once
// The two interpreters of graphic scripts: one draws into the work image's
// bitmap, the other into its enhanced metafile (a subset of the language).

#include <string_view>

#include "SealForm.h"
#include "WorkImage.h"

class ScriptReader;

// Set by the script editor while its preview runs: the bitmap interpreter
// then never asks for the date.
extern bool ScriptPreviewMode;

// Pixels per metre at the start of every run (360 dpi).
inline constexpr int kScriptDefaultResolution = 14173;
// A script is outside input: these bound what it can ask of the platform's
// drawing. A side of 4000 pixels is a 34 cm square at 300 dpi.
inline constexpr int kScriptMaxPictureSide = 4000;
inline constexpr int kScriptMaxPenWidth = kScriptMaxPictureSide;
inline constexpr int kScriptMaxFontPoints = kScriptMaxPictureSide * 72 / 96;  // 4000 pixels tall
// Coordinates stay within 16 bits: the Windows metafile made from the
// enhanced one stores them so.
inline constexpr int kScriptMaxCoordinate = 32767;
inline constexpr int kScriptMaxDpi = 100000;

// Run the script file at cp932Path on a freshly created image. The result is
// the picture's resolution in pixels per metre, or 0 when the file cannot be
// read (nothing is drawn then) or its Reso gives no resolution; callers make
// no picture of a result of 0. The Date command asks through form.AskDate
// and reads today from form.clock.
int RunGraphicScript(WorkImage& image, std::string_view cp932Path, SealForm& form);
int RunMetafileScript(WorkImage& image, std::string_view cp932Path, SealForm& form);
// The same over a script already read, e.g. from bytes that are not a file.
int RunGraphicScript(WorkImage& image, const ScriptReader& script, SealForm& form);
int RunMetafileScript(WorkImage& image, const ScriptReader& script, SealForm& form);
