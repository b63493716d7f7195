#pragma once
// The square format dialog "角印の書式設定" for a slot of kind skSquare.

#include <windows.h>

#include <string_view>

#include "TextFormatDialog.h"

class TSmpFmt : public TextFormatDialog {
 public:
  using TextFormatDialog::TextFormatDialog;

 protected:
  void OnInitDialog() override;
  // The text at the top-left of a picture its size; the frame of the real
  // stamp is not previewed.
  void DrawPreview(GdiWorkImage& image) override;
};

// Shows the dialog over owner with values; defaults are the toolbar's common
// settings. True on OK, with the edited values in values.
bool EditSquareFormat(HWND owner, TextFormatValues& values, const TextFormatValues& defaults,
                      std::string_view previewText);
