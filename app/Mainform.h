#pragma once
// The stamp pad window: three seal previews and a menu reaching every
// function. It owns the three stamp operations and the builders that put a
// seal on the clipboard, and the members the renderers share.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "Clipboard.h"
#include "GdiWorkImage.h"
#include "Policy.h"
#include "Preview.h"
#include "SealForm.h"
#include "SettingsStore.h"
#include "Window.h"

class TTaskTrayForm;
class TSimpleStamp;

class TForm1 : public Window {
 public:
  // ready is the tray window's flag: 0 while a stamp or modal dialog runs.
  TForm1(SettingsStore& store, std::uint8_t& ready);
  ~TForm1() override;

  // Creates the window hidden (enough for stamping from tests).
  bool Create();
  // The start-up work: version check, settings, position, menu, start-up
  // password, first showing. False when the start-up password was refused.
  bool FormCreate(TTaskTrayForm& tray, TSimpleStamp& toolbar);
  // At program end: position and settings saved, user selection notified.
  void FormDestroy();

  // The stamp operations: name seal, date seal, bitmap seal.
  void SpeedButton1Click();
  void SpeedButton2Click();
  void B1Click();

  void AllExitClick();
  void Button1Click();  // closes the stamp pad
  void cuClick();
  void mHelpClick();
  void N4Click();
  void G1Click();  // the graphic script editor, modal
  void mSumpleStamp0Click();
  void ShowPad();
  bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
  int LoadBitmapSealPreview();

  void ClearTimerTimer();
  bool ClearTimerEnabled() const { return clearTimerEnabled_; }

  // What the shell connects: the information message, ending the program,
  // hiding the stamp pad and the toolbar.
  std::function<void()> ShowInformation;
  std::function<void()> EndProgram;
  std::function<void()> HideStampPadAndToolbar;

  // Shared with the renderers: WorkImage, DateText, ExternalRequest,
  // DateChangeLocked.
  SealForm Seal;
  bool HasBitmapSeal = false;
  AdminPolicyState Policy;
  bool UserChangeRequested = false;

  static constexpr UINT_PTR kClearTimerId = 1;
  static constexpr UINT kClearTimerMs = 120000;
  static constexpr UINT_PTR kTimer1Id = 2;
  static constexpr int kClientHeight = 91;
  static constexpr int kWidthWithBitmapSeal = 214;
  static constexpr int kWidthWithoutBitmapSeal = 141;

 protected:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormShow();
  void FormClose();
  void OnCommand(UINT id);
  void BuildMenu();
  void AttachMenu();
  void SetClientHeight();
  void SetWidth(int width);
  void ApplyAdminPolicy();
  void DrawPreviews();
  void EnableStampImages(bool enabled);
  void EnableBoth(UINT padItem, UINT trayItem, bool enabled);
  void Timer1Timer();
  std::string AskDate(std::string_view text);

  // One stamp from the password gate to the after-stamp steps.
  void StampSeal(int resolution, const std::function<void()>& reload, const std::function<void()>& drawBitmap,
                 const std::function<void()>& drawMetafile, bool clearDateText);
  bool PasswordGate();
  bool BeginStamp();
  void AfterStamp(bool clipboardFailed);
  void AfterStampAction();
  void ReportClipboardFailure();
  void EnableClearTimer();

  void CreateWorkImage();
  void FreeWorkImage();
  GdiWorkImage& Work() { return static_cast<GdiWorkImage&>(*Seal.WorkImage); }
  void PutSealDib(ClipboardWriter& clipboard, int resolution);
  void PutSealPicture(ClipboardWriter& clipboard, int resolution);
  void PutSealVectorMetafile(ClipboardWriter& clipboard, int resolution);

  void StampBitmapSeal(ClipboardWriter& clipboard);
  bool LoadBitmapSeal();
  void PutBitmapSealDib(ClipboardWriter& clipboard, int resolution);
  void PutBitmapSealPicture(ClipboardWriter& clipboard, int resolution);

  SettingsStore& store_;
  std::uint8_t& ready_;
  TTaskTrayForm* tray_ = nullptr;
  TSimpleStamp* toolbar_ = nullptr;
  bool clearTimerEnabled_ = false;
  std::unique_ptr<GdiWorkImage> BitmapSealImage;
  HMENU MainMenu1 = nullptr;
  PreviewImage Image1, Image2, Image3;
};

// Adds CF_METAFILEPICT converted from an enhanced metafile; nothing when the
// conversion or the allocation fails.
void PutMetafilePict(ClipboardWriter& clipboard, HENHMETAFILE metafile);
// The METAFILEPICT block (mode 8, the frame as extents, a Windows metafile
// converted against the screen); empty when conversion or allocation fails.
UniqueHglobal MakeMetafilePict(HENHMETAFILE metafile);

// The stamp resolutions in pixels per metre, corrected by RezoHosei.
int NameSealResolution();
int DateSealResolution();
int BitmapSealResolution();

// Posts the end-of-program notice to the user-selection program, if it runs.
void NotifyUserSelection(bool userChangeRequested);
