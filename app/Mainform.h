#pragma once
// The stamp pad window: three seal previews and a menu reaching every
// function. It owns the three stamp operations and the builders that put a
// seal on the clipboard, and the members the renderers share.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Clipboard.h"
#include "Dpi.h"
#include "Export.h"
#include "GdiWorkImage.h"
#include "ImageCodec.h"
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

  // Creates the window hidden (enough for stamping from tests), owned by
  // the hidden tray window so that it gets no taskbar button.
  bool Create(HWND owner = nullptr);
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
  // Shows the pad, restored if minimised, in front.
  void ShowPad();
  bool Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
  // While a stamp or a modal dialog runs (Ready is 0).
  bool Busy() const { return ready_ == 0; }
  int LoadBitmapSealPreview();

  void ClearTimerTimer();
  bool ClearTimerEnabled() const { return clearTimerEnabled_; }
  // Empties the clipboard; when another program holds it, tries again every
  // few seconds for a minute.
  void ClearClipboardAutomatically();
  bool ClearRetryPending() const { return clearRetriesLeft_ > 0; }

  // What the shell connects: the information message, ending the program,
  // hiding the stamp pad and the toolbar.
  std::function<void(const PlacedFormats&)> ShowInformation;
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
  static constexpr UINT_PTR kClearRetryTimerId = 3;
  static constexpr UINT kClearRetryMs = 5000;
  static constexpr int kClearRetries = 12;
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

 public:
  // The stamping steps, shared with the square-stamp toolbar.
  // The program is busy while one lives; however a stamp ends (finished,
  // returned early, thrown), it is idle again and the request served.
  class BusyScope {
   public:
    explicit BusyScope(TForm1& pad);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    TForm1& pad_;
  };
  // What one stamp left, for the steps once the program is idle again.
  struct StampResult {
    bool started = false;        // false: the password was refused
    bool clipboardBusy = false;  // another program held the clipboard
    bool reported = false;       // the stamp has told the user already
    bool external = false;       // requested by another program
    std::wstring problem;        // why nothing was placed, when known
    PlacedFormats placed;
    void Take(const ClipboardWriter& clipboard);
  };

  // One stamp from the password gate to its last clipboard write.
  StampResult StampSeal(int resolution, const std::function<void()>& reload,
                        const std::function<void()>& drawBitmap, const std::function<void()>& drawMetafile,
                        bool clearDateText);
  // The clipboard steps of a seal stamp, once the stamp has begun.
  void PutSealFormats(StampResult& result, int resolution, const std::function<void()>& reload,
                      const std::function<void()>& drawBitmap, const std::function<void()>& drawMetafile,
                      bool clearDateText);
  bool PasswordGate();
  StampResult BeginStamp();
  // BeginStamp after the password: the clipboard emptied for the new picture.
  StampResult ClearForStamp();
  // What TerminateAsStamped 2 hides after a stamp; NoAction: the stamp ends
  // with the information message alone (rotated text).
  enum class AfterStampHide { StampPadAndToolbar, ToolbarOnly, NoAction };
  void FinishStamp(const StampResult& result, AfterStampHide hide = AfterStampHide::StampPadAndToolbar);
  void AfterStampAction(AfterStampHide hide = AfterStampHide::StampPadAndToolbar);
  void ReportClipboardFailure();
  void EnableClearTimer();
  void ClearRetryTimer();
  void StopClearRetries();

  void CreateWorkImage();
  void FreeWorkImage();
  GdiWorkImage& Work() { return static_cast<GdiWorkImage&>(*Seal.WorkImage); }
  // The formats of a picture drawn as a bitmap into WorkImage, in one
  // clipboard session: the picture metafile, the DIB and the PNG as the
  // options ask. False when the seal is too large for a DIB.
  bool PutBitmapPictureFormats(ClipboardWriter& clipboard, int resolution);
  // False when the seal is too large for a DIB.
  bool PutSealDib(ClipboardWriter& clipboard, int resolution);
  void PutSealPicture(ClipboardWriter& clipboard, int resolution);
  // The picture metafile of the WorkImage bitmap, for the clipboard and the export.
  UniqueHenhmetafile BuildSealPicture(int resolution);
  void PutSealVectorMetafile(ClipboardWriter& clipboard, int resolution);

  // False when the picture file could not be read (the user has been told).
  bool StampBitmapSeal(ClipboardWriter& clipboard);
  ImageFileStatus LoadBitmapSeal();
  void PutBitmapSealDib(ClipboardWriter& clipboard, int resolution);
  void PutBitmapSealPicture(ClipboardWriter& clipboard, int resolution);

 private:
  // The file export; the savers return 0 or the platform's error code.
  void ExportSeal(int resolution, bool fromHome, const wchar_t* title, const std::function<void()>& reload,
                  const std::function<void()>& draw);
  DWORD SaveSealPicture(int resolution, const std::wstring& fileName);
  DWORD SaveSealPng(int resolution, const std::wstring& fileName);
  ExportSaveDialog SaveDialog;

  SettingsStore& store_;
  std::uint8_t& ready_;
  TTaskTrayForm* tray_ = nullptr;
  TSimpleStamp* toolbar_ = nullptr;
  bool clearTimerEnabled_ = false;
  int clearRetriesLeft_ = 0;
  std::unique_ptr<GdiWorkImage> BitmapSealImage;
  HMENU MainMenu1 = nullptr;
  PreviewImage Image1, Image2, Image3;
  DpiLayout layout_;  // the previews and labels, in pixels at 96 dpi
};

// Adds CF_METAFILEPICT converted from an enhanced metafile; nothing when the
// conversion or the allocation fails.
void PutMetafilePict(ClipboardWriter& clipboard, HENHMETAFILE metafile);
// The METAFILEPICT block (mode 8, the frame as extents, a Windows metafile
// converted against the screen); empty when conversion or allocation fails.
UniqueHglobal MakeMetafilePict(HENHMETAFILE metafile);
// Puts a finished metafile on the clipboard as CF_ENHMETAFILE and CF_METAFILEPICT.
void PutPictureFormats(ClipboardWriter& clipboard, UniqueHenhmetafile metafile);

// Whether the options ask for the clipboard's "PNG" beside the other formats.
bool PngWanted();
// The bitmap as the clipboard's "PNG": paper transparent, ink in its own
// colour, the resolution (pixels per metre) as its physical size. Empty when
// it cannot be made.
UniqueHglobal TransparentPng(GdiWorkImage& image, int resolution);
// The same for a picture that is a metafile only, drawn at its own pixels.
UniqueHglobal TransparentPngOfMetafile(GdiWorkImage& picture, int resolution);

// A base resolution in pixels per metre corrected by RezoHosei, at least 1.
int CorrectedResolution(long long base);

// The stamp resolutions in pixels per metre, corrected by RezoHosei.
int NameSealResolution();
int DateSealResolution();
int BitmapSealResolution();

// Posts the end-of-program notice to the user-selection program, if it runs.
void NotifyUserSelection(bool userChangeRequested);
