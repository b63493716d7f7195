#include "FontColourPick.h"

#include <commdlg.h>

#include <vector>

#include "CommonDialogs.h"
#include "Records.h"
#include "Text.h"

std::optional<PickedFont> PickFont(HWND owner, const PickedFont& initial, int minPoints, int maxPoints) {
  LOGFONTW font{};
  const std::wstring face = Wide(initial.name);
  lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  {
    HDC screen = GetDC(nullptr);
    font.lfHeight = -MulDiv(initial.points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
  }
  font.lfWeight = (initial.style & kStyleBold) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (initial.style & kStyleItalic) ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  CHOOSEFONTW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = owner;
  choose.lpLogFont = &font;
  choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  if (minPoints > 0 && maxPoints >= minPoints) {
    choose.Flags |= CF_LIMITSIZE;
    choose.nSizeMin = minPoints;
    choose.nSizeMax = maxPoints;
  }
  if (!ChooseFontW(&choose)) return std::nullopt;
  const std::optional<std::string> name = Cp932FromWide(font.lfFaceName);
  if (!name || name->empty()) {
    TellFontNameUnsavable(owner);
    return std::nullopt;
  }
  PickedFont picked;
  picked.name = *name;
  picked.points = (choose.iPointSize + 5) / 10;
  picked.style =
      static_cast<std::uint8_t>((font.lfWeight >= FW_BOLD ? kStyleBold : 0) | (font.lfItalic ? kStyleItalic : 0));
  return picked;
}

std::optional<COLORREF> PickColour(HWND owner, COLORREF initial, std::array<COLORREF, 16>& custom) {
  COLORREF colour = initial;
  if (!ChooseColour(owner, colour, custom)) return std::nullopt;
  return colour;
}

std::string Cp932Typed(std::wstring_view text) {
  if (auto whole = Cp932FromWide(text)) return *whole;
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    // A surrogate pair is one character.
    const std::size_t length = (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size()) ? 2 : 1;
    out += Cp932FromWide(text.substr(i, length)).value_or("・");
    i += length;
  }
  return out;
}

std::string WindowTextCp932(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd, buffer.data(), length + 1);
  return Cp932Typed(buffer.data());
}
