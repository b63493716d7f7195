#pragma once
// What the two text format dialogs share: a slot's own font, size, colour
// (and angle) instead of the toolbar's common settings, with a live preview
// of the slot text. The values reach the caller only on OK.

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "Canvas.h"
#include "Dialog.h"
#include "GdiWorkImage.h"

struct TextFormatValues {
  bool OwnFormat = false;  // "デフォルトの書式を使用しない"
  std::string FontName;
  int FontSize = 0;   // points
  int StyleCode = 0;  // 1 bold, 2 italic, 3 both; 4 (from the dialogs) or 0 plain
  Color Colour = 0;
  int Angle = 0;  // rotated text only
};

class TextFormatDialog : public ModalDialog {
 public:
  TextFormatDialog(const TextFormatValues& values, const TextFormatValues& defaults, std::string_view previewText);
  // Runs the dialog; on OK, true with the edited values in values.
  bool Edit(int templateId, HWND owner, TextFormatValues& values);

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int notifyCode) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  // Draws the preview picture into image.
  virtual void DrawPreview(GdiWorkImage& image) = 0;
  virtual void TrackBar1Change() {}
  // The font as the previews build it: colour, name, size, style.
  FontSpec DialogFont() const;

  void FormShow();
  void CheckBox1Click();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void SpeedButton4Click();
  void FormClose();
  void Preview();

  TextFormatValues values_;
  const TextFormatValues defaults_;
  const std::string previewText_;
  std::string fontName_;
  int fontSize_ = 0;
  std::uint8_t fontStyle_ = 0;
  Color colour_ = 0;

 private:
  void ShowFont();
  void EnableButtons(bool fontAndSize, bool colour);
  void AddTooltips();
  void DrawItem(const DRAWITEMSTRUCT& item);
  void PaintPreview(const DRAWITEMSTRUCT& item);

  std::unique_ptr<GdiWorkImage> preview_;
  std::array<COLORREF, 16> customColours_{};
  HWND tooltip_ = nullptr;
};
