#pragma once
// Driving another process's tabbed dialogs: controls found by ID on any of
// their pages, pages chosen the way the keyboard chooses them, and pictures
// of windows taken from the screen.

#include <windows.h>

#include <string>


namespace harness {

// The control with this ID among the dialog's descendants (its pages' too).
HWND FindControl(HWND dialog, int id);
// Selects the tab of that index as the keyboard would, so the dialog is told.
void SelectPage(HWND dialog, int tabControlId, int index);

std::wstring TextIn(HWND dialog, int id);
void SetTextIn(HWND dialog, int id, const std::wstring& text);
// Types key by key, so the control's own limits apply.
void TypeInto(HWND dialog, int id, const std::wstring& text);
bool CheckedIn(HWND dialog, int id);
// The index of the checked button among count consecutive IDs, -1 for none.
int ChoiceIn(HWND dialog, int firstId, int count);
// A click that returns at once (the handler may open a modal window).
void PostClickIn(HWND dialog, int id);
// A click that returns when the handler has run.
void ClickIn(HWND dialog, int id);
int UpDownIn(HWND dialog, int id);
void SetUpDownIn(HWND dialog, int id, int position);
int SliderIn(HWND dialog, int id);
void SetSliderIn(HWND dialog, int id, int position);


}  // namespace harness
