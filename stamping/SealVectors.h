#pragma once
// The seals as vector drawings, each drawn by its own renderer into a vector
// work image, so the drawing is the seal the clipboard gets.

#include <string>
#include <string_view>

#include "GlyphSource.h"
#include "Records.h"
#include "SealForm.h"
#include "VectorCanvas.h"
#include "VectorDrawing.h"

struct VectorTools {
  GlyphSource& glyphs;
  PictureInk ink;
};

// The name and date seals by their vector renderers: upright, as the
// simple metafile is (a tilt is the bitmap's). The date seal draws
// form.DateText when it is set; else today's date, asked for as the bitmap
// form asks, and leaves it in form.DateText. form.WorkImage is the seal's
// own while it draws and empty afterwards.
VectorDrawing NameSealDrawing(SealForm& form, const VectorTools& tools);
VectorDrawing DateSealDrawing(SealForm& form, bool mayAsk, const VectorTools& tools);

// What a seal says, for a file's title or an annotation's contents: its
// lines as drawn, in order, a blank between them (code page 932).
std::string NameSealWords(const NameSealRecord& seal);
std::string DateSealWords(const DateSealRecord& seal, std::string_view middle);

// A picture alone (the bitmap seal, a picture file's stamp), its paper
// transparent; an empty drawing for a picture that is not a valid DIB.
VectorDrawing PictureDrawing(const PackedDib& onWhite, const VectorTools& tools);

// The toolbar's text stamps, drawn by their own routines.
VectorDrawing SquareStampDrawing(std::string_view text, const FontSpec& font, const VectorTools& tools);
VectorDrawing RotatedTextDrawing(std::string_view text, const FontSpec& font, int angle, const VectorTools& tools);

// The seal with the copy guard's marks in a band below it, laid out as the
// clipboard's picture lays them out, on the screen's scale: 30 screen pixels
// more height, the seal 5 pixels down, centred on a canvas of rezoHosei
// pixels when it is 100 pixels wide or less. The marked drawing's
// resolution is screenPixelsPerMetre.
struct SecurityMarks {
  std::string_view documentId;  // as typed, code page 932
  std::string_view authCode;    // MakeAuthCode of the user's key
};
VectorDrawing WithSecurityMarks(const VectorDrawing& seal, int sealPixelsPerMetre, const SecurityMarks& marks,
                                int screenPixelsPerMetre, int rezoHosei, const VectorTools& tools);
