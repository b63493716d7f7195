#pragma once
// The two stamps that draw the slot text themselves: the square stamp (the
// text in a rounded frame) and rotated text. Both are vector pictures sized
// to the text.

#include <string_view>

#include "Canvas.h"
#include "SimpleStampSettings.h"
#include "WorkImage.h"

inline constexpr int kShiftJisCharset = 128;

// The font of a text stamp: the slot's record when it asks for its own
// format, else the common settings (rotated text is then pure red).
FontSpec SquareStampFont(const SquareTextFormat& record, const CommonTextSettings& common);
FontSpec RotatedTextFont(const RotatedTextFormat& record, const CommonTextSettings& common);

struct SquareStampLayout {
  int width = 0, height = 0;  // 40 % larger than the text each way
  Rect frame;                 // 10 % of the text size in from each side
  int corner = 0;
  int textX = 0, textY = 0;
};
SquareStampLayout LayoutSquareStamp(Extent text);

// Measures the text on a throw-away recording, then records the stamp into
// image's metafile. Returns the layout it drew.
SquareStampLayout DrawSquareStamp(WorkImage& image, std::string_view text, const FontSpec& font);

struct RotatedTextLayout {
  int width = 0, height = 0;  // the turned text box, plus one pixel
  int x = 0, y = 0;           // where the text starts
  int escapement = 0;         // tenths of a degree, 0...3599
};
// The text box of w x h pixels turned by angle degrees (counter-clockwise
// on screen), with the corners truncated toward zero.
RotatedTextLayout LayoutRotatedText(Extent text, int angle);

// Records the text turned by angle into target's metafile: measured in the
// font's style, drawn at normal weight, upright and without underline.
RotatedTextLayout DrawRotatedText(WorkImage& target, std::string_view text, const FontSpec& font, int angle);
