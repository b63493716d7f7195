#pragma once
// The base of the two editing dialogs: a tabbed dialog with helpers that
// read and set its controls in the record's terms (choices as indices,
// texts as code-page-932 bytes, up-downs and sliders as integers).

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "TabbedDialog.h"

// A choice: radio buttons with consecutive IDs, the first one's ID given.
struct Choice {
  int firstId;
  int count;
};

class FormDialog : public TabbedDialog {
 protected:
  // The index of the checked button, -1 when none is checked.
  int ChoiceIndex(Choice choice) const;
  // Checks the button of that index; any other index checks none.
  void SetChoiceIndex(Choice choice, int index) const;
  // The choice that holds the button with this ID, if any of those given.
  static bool InChoice(Choice choice, int id) { return id >= choice.firstId && id < choice.firstId + choice.count; }

  bool Checked(int id) const;
  void SetChecked(int id, bool checked) const;

  // The control's text as the user sees it.
  std::wstring WideText(int id) const;
  // Texts as the records hold them. A text the edit cannot hold in code page
  // 932 (it keeps such characters out) reads as empty.
  std::string Cp932Text(int id) const;
  void SetCp932Text(int id, std::string_view text) const;
  // Keeps typing, pasting and input-method text from making the edit's text
  // longer than maxBytes in code page 932, or from adding characters that
  // code page 932 lacks. A longer text put there by the program stays until
  // the user shortens it.
  void LimitBytes(int id, std::size_t maxBytes) const;

  void SetUpDown(int id, int low, int high, int position) const;
  int UpDownPosition(int id) const;
  void SetUpDownPosition(int id, int position) const;
  void SetSlider(int id, int low, int high, int position) const;
  int SliderPosition(int id) const;
  void SetSliderPosition(int id, int position) const;

  void EnableControl(int id, bool enabled) const;
  // A tooltip shown over the control.
  void AddHint(int id, const wchar_t* text);

  // A message box with an empty caption and an OK button.
  void ShowValidationMessage(const wchar_t* text) const;

 private:
  HWND hints_ = nullptr;
};
