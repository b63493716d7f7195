#pragma once
// The information message after a stamp: which clipboard formats were
// written, and on closing the after-stamp action. A non-modal dialog made
// once and hidden, not destroyed, when it is closed.

#include <windows.h>

#include <cstdint>
#include <functional>

#include "Clipboard.h"
#include "SettingsStore.h"
#include "StampOrder.h"

class TMessageForm {
 public:
  struct Actions {
    std::function<void()> ExitProgram;
    std::function<void()> HideStampPadAndToolbar;
  };

  TMessageForm(SettingsStore& store, Actions actions);
  ~TMessageForm();
  TMessageForm(const TMessageForm&) = delete;
  TMessageForm& operator=(const TMessageForm&) = delete;

  // Creates the hidden window; true when it exists.
  bool Create(HWND owner);
  // Sets the boxes for the latest stamp and shows the message in front, also
  // when it is already shown. Only formats the stamp placed are ticked; a
  // PNG left out for the copy guard's sake and a record the stamp log could
  // not keep are said.
  void ShowNotice(const StampNotice& notice);
  void ShowMessage(PlacedFormats placed = PlacedFormats::All()) {
    StampNotice notice;
    notice.placed = placed;
    ShowNotice(notice);
  }
  HWND Handle() const { return hwnd_; }
  // For the program's message loop: true when msg was the form's (its Enter,
  // Esc and Tab keys). windows.h makes the name IsDialogMessageW, in the
  // declaration and in every call alike.
  bool IsDialogMessage(MSG& msg);

  // Set to 1 by a caller that put only metafile formats on the clipboard,
  // just before ShowMessage; the showing resets it.
  std::int32_t MetafileOnly = 0;

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam);

  void FormShow(const StampNotice& notice);
  // The stamp log's notice below the formats; the form grows to hold it.
  void ShowLogNotice(const std::wstring& text);
  void Button1Click();
  void FormKeyDown(WPARAM key);
  void FormClose();
  void SetFormatBoxes(bool box1, bool box2, bool box3, bool box4);
  void Tick(int id, bool ticked);
  bool Ticked(int id) const;

  SettingsStore& store_;
  Actions actions_;
  HWND hwnd_ = nullptr;
  RECT plainWindow_{};  // the form and the controls below the notice, without it
  RECT plainOk_{}, plainNonDisp_{};
};
