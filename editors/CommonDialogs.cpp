#include "CommonDialogs.h"

#include <commdlg.h>

#include "Canvas.h"
#include "Records.h"
#include "Text.h"

bool ChooseSealFont(HWND owner, SealFont& font, int minSize, int maxSize, std::size_t maxNameBytes) {
  LOGFONTW description{};
  // The seal canvas turns points into pixels at 96 dots per inch; so does the preset.
  description.lfHeight = -FontPixelHeight(font.size);
  description.lfWeight = (font.style & kStyleBold) ? FW_BOLD : FW_NORMAL;
  description.lfItalic = (font.style & kStyleItalic) ? TRUE : FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(description.lfFaceName, Wide(font.name).c_str(), LF_FACESIZE);

  CHOOSEFONTW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpLogFont = &description;
  dialog.iPointSize = font.size * 10;
  // Vertical ("@") faces would lay a seal's lines on their side.
  dialog.Flags = CF_SCREENFONTS | CF_TTONLY | CF_SCALABLEONLY | CF_FORCEFONTEXIST | CF_INITTOLOGFONTSTRUCT |
                 CF_NOVERTFONTS | CF_LIMITSIZE;
  dialog.nSizeMin = minSize < 1 ? 1 : minSize;
  dialog.nSizeMax = maxSize;
  if (!ChooseFontW(&dialog)) return false;

  const auto name = Cp932FromWide(description.lfFaceName);
  if (!name || name->size() > maxNameBytes) {
    TellFontNameUnsavable(owner);
    return false;
  }
  font.name = *name;
  font.size = dialog.iPointSize / 10;
  font.style = static_cast<std::uint8_t>((description.lfWeight >= FW_BOLD ? kStyleBold : 0) |
                                         (description.lfItalic ? kStyleItalic : 0));
  return true;
}

void TellFontNameUnsavable(HWND owner) {
  MessageBoxW(owner, L"このフォントは名前を保存できないため、指定できません。", L"Varnel印鑑", MB_OK);
}

bool ChooseColour(HWND owner, COLORREF& colour, CustomColours& custom) {
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.rgbResult = colour & 0xFFFFFF;
  dialog.lpCustColors = custom.data();
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&dialog)) return false;
  colour = dialog.rgbResult;
  return true;
}
