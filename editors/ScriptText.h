#pragma once
// The script editor's text rules that need no window: how an opened file
// becomes the editor's lines, and the builder's millimetre display.

#include <string>
#include <string_view>

// The editor's text for a script file's bytes: the file read as text in
// pieces of at most 1023 bytes (a line, or the part of a longer line), each
// trimmed at both ends and put on a line of its own. Lines are separated by
// CR LF; the last has no line end. Comment lines are kept.
std::string EditorTextOfFile(std::string_view fileBytes);

// dots / dpi * 25.4 in the platform's default floating-point text form (up
// to 15 significant digits: 100 dots at 300 dpi read 8.46666666666667), or
// "-" for 0 dpi.
std::string MillimetreText(int dots, int dpi);
