#pragma once
// The platform's font and colour dialogs for the toolbar and the format
// dialogs, with fonts as the records keep them (code-page-932 name, points,
// style byte).

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct PickedFont {
  std::string name;
  int points = 0;
  std::uint8_t style = 0;  // bold and italic only
};

// Nothing when cancelled, or when the chosen name has no code-page-932
// spelling (the user is told why). With a range, sizes outside it are
// refused by the dialog.
std::optional<PickedFont> PickFont(HWND owner, const PickedFont& initial, int minPoints = 0, int maxPoints = 0);
// Nothing when cancelled; custom holds the dialog's custom colours.
std::optional<COLORREF> PickColour(HWND owner, COLORREF initial, std::array<COLORREF, 16>& custom);

// A text typed by the user in code page 932; a character it lacks becomes "・".
std::string Cp932Typed(std::wstring_view text);
// A window's text in code page 932, the same way.
std::string WindowTextCp932(HWND hwnd);
