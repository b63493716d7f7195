#pragma once
// The small pictures of the editor's buttons, drawn on the button face.

#include "UniqueHandle.h"

enum class Glyph { New, Open, Save, Refresh, Copy, Paste, Finish, Builder };

inline constexpr int kGlyphSide = 16;

// A kGlyphSide square bitmap for BM_SETIMAGE; none when GDI refuses.
UniqueHbitmap MakeButtonGlyph(Glyph glyph);
