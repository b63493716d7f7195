#pragma once
// A modal dialog whose controls sit on pages: child dialogs (DS_CONTROL)
// laid over a tab control's display area, one per tab. The pages' controls
// report to the same handlers as the dialog's own, so control IDs must be
// unique across the dialog and all its pages.

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "Dialog.h"

class TabbedDialog : public ModalDialog {
 public:
  struct PageTemplate {
    int templateId;
    const wchar_t* caption;
  };

 protected:
  // Creates the pages over the tab control and shows the first. Call from
  // OnInitDialog. The tab control should come last in the template: pages
  // go to the top, so Tab runs page, buttons, tab strip, page.
  void CreatePages(int tabControlId, std::initializer_list<PageTemplate> pages);
  // Takes a page's tab away; the page keeps its controls and their values.
  void HidePage(int page);
  // Shows a page whose tab is present (its tab becomes the selected one).
  void ShowPage(int page);
  // The page on show, -1 before CreatePages.
  int ActivePage() const { return active_; }
  // A control of the dialog or of any page.
  HWND Control(int id) const;
  // After the user (or ShowPage) changed the page.
  virtual void OnPageChanged() {}

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  static INT_PTR CALLBACK PageProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  int TabOfPage(int page) const;
  void ShowOnly(int page);

  HWND tab_ = nullptr;
  std::vector<HWND> pages_;
  int active_ = -1;
};
