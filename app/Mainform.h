#pragma once
// The stamp pad window: three seal previews and a menu reaching every
// function. It owns the stamp desk, through which every stamp of the program
// goes, and the members the renderers share.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Dpi.h"
#include "PdfStamping.h"
#include "Policy.h"
#include "Preview.h"
#include "SealExport.h"
#include "SealForm.h"
#include "SealOutput.h"
#include "SettingsStore.h"
#include "StampDesk.h"
#include "TrayMenu.h"
#include "Window.h"

class TForm1 : public Window {
 public:
  // ready is the tray window's flag: 0 while a stamp or modal dialog runs.
  TForm1(SettingsStore& store, std::uint8_t& ready);

  // Creates the window hidden (enough for stamping from tests), owned by
  // the hidden tray window so that it gets no taskbar button, and the desk.
  bool Create(HWND owner = nullptr);
  // The start-up work: version check, settings, position, menu, start-up
  // password, first showing. False when the start-up password was refused:
  // the program is to end, and the desk takes no more requests.
  bool FormCreate(TrayMenu& tray);
  // At program end: position and settings saved, user selection notified.
  void FormDestroy();

  // The stamp operations: name seal, date seal, bitmap seal.
  void SpeedButton1Click();
  void SpeedButton2Click();
  void B1Click();

  void AllExitClick();
  void Button1Click();  // closes the stamp pad
  void Button3Click();  // the seal editor
  void Option1Click();  // the options dialog
  void cuClick();
  void mHelpClick();
  void N4Click();
  void G1Click();  // the graphic script editor, modal
  void mSumpleStamp0Click();
  void BitmapEditClick();
  void EraseStampClick();
  void mNameExpClick();
  void mDateExpClick();
  // "PDFに押印…": the dialog, then the chosen seal on the chosen page.
  void mPdfStampClick();
  // "押印履歴…": the stamp log's viewer.
  void mStampLogClick();
  // A seal on a PDF page as another program asked for it (vrnctl pdf).
  PdfStampResult StampPdfRequest(const PdfStampRequest& request);
  // Shows the pad, restored if minimised, in front.
  void ShowPad();
  bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
  int LoadBitmapSealPreview();

  StampDesk& Desk() { return desk_; }

  // What the shell connects: ending the program (after the question),
  // showing or hiding the square-stamp toolbar, and the toolbar's picture
  // stamps as outlines and their captions (for a PDF).
  std::function<void()> EndProgram;
  std::function<void()> ToggleToolbar;
  std::function<std::optional<SealOutline>(int slot, const VectorTools&)> ToolbarOutline;
  std::function<std::vector<std::wstring>()> ToolbarSlotNames;

  // Shared with the renderers: WorkImage, DateText, ExternalRequest,
  // DateChangeLocked.
  SealForm Seal;
  bool HasBitmapSeal = false;
  AdminPolicyState Policy;
  bool UserChangeRequested = false;

  static constexpr UINT_PTR kTimer1Id = 2;
  // In pixels at 96 dpi; the window has them at its monitor's DPI.
  static constexpr int kClientHeight = 91;
  static constexpr int kWidthWithBitmapSeal = 214;
  static constexpr int kWidthWithoutBitmapSeal = 141;

 protected:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormShow();
  void FormClose();
  void OnCommand(UINT id);
  bool ItemEnabled(UINT id) const;
  void BuildMenu();
  void AttachMenu();
  void SetClientHeight();
  void SetWidth(int width);
  void ApplyAdminPolicy();
  void MoveToStoredPosition();
  POINT RestoredPosition() const;
  void DrawPreviews();
  void EnableStampImages(bool enabled);
  void EnableBoth(UINT padItem, UINT trayItem, bool enabled);
  void Timer1Timer();
  std::string AskDate(std::string_view text);
  // The order of a stamp of the name or the date seal.
  StampOrder SealOrder(const SealDrawing& drawing);
  void ExportSeal(const SealExportRequest& request);
  // The seal chosen for a PDF as outlines.
  std::optional<SealOutline> OutlineSeal(const PdfSealChoice& choice, const VectorTools& tools);

  SettingsStore& store_;
  StampDesk desk_;
  TrayMenu* tray_ = nullptr;
  ExportSaveDialog SaveDialog;
  PdfStampRequest pdfRequest_;  // the dialog's last choices
  HMENU MainMenu1 = nullptr;
  PreviewImage Image1, Image2, Image3;
  DpiLayout layout_;  // the previews and labels, in pixels at 96 dpi
};

// Posts the end-of-program notice to the user-selection program, if it runs.
void NotifyUserSelection(bool userChangeRequested);
