#pragma once
// The square-stamp toolbar: ten programmable stamp buttons and an edit
// button; in edit mode it widens to show each slot's text, kind, file-pick
// button and file, and the common size, colour and font of text stamps.

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Dpi.h"
#include "PdfStamping.h"
#include "SettingsStore.h"
#include "SimpleStampSettings.h"
#include "StampDesk.h"
#include "Window.h"

struct SealDrawing;
struct TextFormatValues;

class TSimpleStamp : public Window {
 public:
  // The toolbar's stamps go through the stamp desk.
  TSimpleStamp(SettingsStore& store, StampDesk& desk);
  ~TSimpleStamp() override;

  // Creates the window hidden, owned by owner.
  bool Create(HWND owner = nullptr);
  // Position and first visibility, after the stamp pad's start-up; by
  // default just below the stamp pad.
  void FormCreate(HWND stampPad);

  bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
  // Each showing reloads every slot from the registry.
  void Show() { ShowWindow(hwnd_, SW_SHOWNOACTIVATE); }
  void Hide() { ShowWindow(hwnd_, SW_HIDE); }
  // Closing as the user does: hidden, and the clipboard emptied when the
  // options say so.
  void Close() { SendMessageW(hwnd_, WM_CLOSE, 0, 0); }
  void Toggle() { Visible() ? Close() : Show(); }
  // For the program's message loop: Tab and the keyboard in edit mode.
  bool IsDialogMessage(MSG& msg);

  // The handlers; slot is 0-based.
  void SpeedButton1Click(int slot);
  void SpeedButton11Click();
  void RadioGroup1Click(int slot);
  void File1Click(int slot);
  void FileName1DblClick(int slot);
  void SpeedButton12Click();
  void SpeedButton13Click();
  void tbSizeChange();

  // A slot's picture stamp as outlines, for a file (a PDF page); nullopt
  // for a slot that makes no picture, or one the policy switches off.
  std::optional<SealOutline> SlotOutline(int slot, const VectorTools& tools);
  // The captions of the slots that make pictures; empty for the others.
  std::vector<std::wstring> PictureSlotNames() const;

  bool EditMode() const { return editMode_; }
  const SimpleStampState& State() const { return state_; }

  // In pixels at 96 dpi; the window has them at its monitor's DPI.
  static constexpr int kCompactWidth = 68;
  static constexpr int kEditWidth = 360;
  // Edit mode is centred as if the window were this wide.
  static constexpr int kEditCentringWidth = 456;

 protected:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id, int x, int y, int width,
                  int height);
  void AddTooltip(HWND control);
  void FormShow();
  void FormClose();
  void FormDestroy();
  void OnCommand(int id, int code);
  void ShowEditControls(bool shown);
  void SetWidth(int width);
  void SetCaptionsFromTexts();
  void EnableFileName(int slot, int kind);
  void ShowFileName(int slot);
  // The controls' values into the state, before saving or stamping.
  void TakeControls();
  void Save();
  int KindOf(int slot) const;
  std::string SlotText(int slot) const;
  TextFormatValues CommonFormatValues() const;
  void OpenSquareFormat(int slot);
  void OpenRotatedFormat(int slot);
  POINT CompactPosition() const;

  // The stamps, by kind (SmpstampStamps.cpp).
  void StampSlot(int slot);
  StampOrder Order(AfterStamp after, bool asksPassword, std::function<StampPut(ClipboardWriter&)> put) const;
  void StampSquare(int slot, const std::string& text);
  void StampRotatedText(int slot, const std::string& text);
  void StampSealFile(const std::function<bool()>& readDesign, const std::function<SealDrawing()>& drawing);
  void StampNameSealFile(const std::string& file);
  void StampDateSealFile(const std::string& file);
  void StampImageFile(const std::string& file);
  void StampTextFile(const std::string& file);
  void Launch(const std::string& file);
  void SetWallpaper(const std::string& file, bool tile);
  void StampScript(const std::string& file, bool metafile);

  SettingsStore& store_;
  StampDesk& desk_;
  SimpleStampState state_;
  bool loaded_ = false;  // nothing is saved that was never loaded
  bool Loading = false;
  bool editMode_ = false;
  POINT compactPosition_{0, 0};
  DpiLayout layout_;  // every control, in pixels at 96 dpi
  HWND tooltip_ = nullptr;
  std::wstring tipText_;
  std::array<HWND, kSlotCount> buttons_{}, edits_{}, kinds_{}, files_{}, fileNames_{};
  HWND editButton_ = nullptr, sizeLabel_ = nullptr, tbSize = nullptr, colourButton_ = nullptr, fontButton_ = nullptr;
  std::array<COLORREF, 16> customColours_{};
};
