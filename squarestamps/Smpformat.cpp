#include "Smpformat.h"

#include <algorithm>

#include "TextStamps.h"
#include "resource.h"

void TSmpFmt::OnInitDialog() {
  TextFormatDialog::OnInitDialog();
  Preview();
}

void TSmpFmt::DrawPreview(GdiWorkImage& image) {
  FontSpec font = DialogFont();
  font.charset = kShiftJisCharset;
  Canvas& probe = image.BeginMetafile(1, 1);
  probe.Font = font;
  const Extent extent = probe.TextExtent(previewText_);
  Canvas& canvas = image.BeginMetafile(std::max(1, extent.cx), std::max(1, extent.cy));
  canvas.Font = font;
  canvas.Brush = {kWhite, BrushStyle::Clear};
  canvas.TextOut(0, 0, previewText_);
  image.EndMetafile();
}

bool EditSquareFormat(HWND owner, TextFormatValues& values, const TextFormatValues& defaults,
                      std::string_view previewText) {
  TSmpFmt dialog(values, defaults, previewText);
  return dialog.Edit(IDD_SMPFMT, owner, values);
}
