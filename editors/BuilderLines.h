#pragma once
// The script lines the builder appends for each of its elements, headed by
// a comment line. Numbers are decimal without padding, every separator one
// blank; texts are code-page-932 bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Canvas.h"

using ScriptLines = std::vector<std::string>;

// The font of the text and date elements.
struct BuilderFont {
  std::string name;
  int points = 9;
  std::uint8_t style = 0;  // bit 0 bold, 1 italic, 2 underline, 3 strike-out
};

// "BOLD", "ITALIC" or "ITALICBOLD" when the style is exactly that, else "".
std::string_view StyleWord(std::uint8_t style);

ScriptLines HeaderLines(int width, int height, int dpi);
ScriptLines CircleLines(int centreX, int centreY, int lineWidth, int radiusX, int radiusY, Color color);
ScriptLines RectangleLines(int width, int height, int lineWidth, int left, int top, Color color);
ScriptLines RoundRectLines(int width, int height, int lineWidth, int left, int top, int corner, Color color);
ScriptLines StraightLineLines(int x1, int y1, int x2, int y2, int lineWidth, Color color);
ScriptLines TextLines(std::string_view text, int left, int top, const BuilderFont& font, Color color);
// format is the index of the chosen date format (0 two-digit Western, 1 era,
// 2 four-digit Western); the header follows the number only when not empty.
ScriptLines DateLines(int format, std::string_view header, int left, int top, const BuilderFont& font, Color color);
