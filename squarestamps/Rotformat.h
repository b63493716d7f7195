#pragma once
// The rotated-text format dialog "回転文字の書式設定" for a slot of kind
// skRotatedText: the square format's fields and the angle.

#include <windows.h>

#include <string_view>

#include "TextFormatDialog.h"

class TRotFmt : public TextFormatDialog {
 public:
  using TextFormatDialog::TextFormatDialog;

 protected:
  void OnInitDialog() override;
  void TrackBar1Change() override;
  void DrawPreview(GdiWorkImage& image) override;

 private:
  void ShowAngle();
};

// As EditSquareFormat, with the angle in values.Angle.
bool EditRotatedFormat(HWND owner, TextFormatValues& values, const TextFormatValues& defaults,
                       std::string_view previewText);
