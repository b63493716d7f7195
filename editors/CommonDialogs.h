#pragma once
// The platform's font and colour dialogs as the editors use them.

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

// A seal's font as its record keeps it: a code-page-932 face name, a size in
// points and a style byte (bold and italic only).
struct SealFont {
  std::string name;
  int size = 0;
  std::uint8_t style = 0;
};

// The font dialog with TrueType, scalable and existing fonts only and no
// effects, preset with font. On OK font takes the chosen face, size and
// style and true is returned. A face whose name a record cannot hold (more
// than maxNameBytes in code page 932, or characters it lacks) is refused
// with a message and changes nothing.
bool ChooseSealFont(HWND owner, SealFont& font, int minSize, int maxSize, std::size_t maxNameBytes);
// Why a chosen font changed nothing: its name cannot be kept.
void TellFontNameUnsavable(HWND owner);

using CustomColours = std::array<COLORREF, 16>;

// The colour dialog preset with colour; on OK colour takes the choice.
bool ChooseColour(HWND owner, COLORREF& colour, CustomColours& custom);
