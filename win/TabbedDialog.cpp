#include "TabbedDialog.h"

#include <commctrl.h>

namespace {

// The messages of a page's controls that the dialog's handlers see.
bool ForwardedFromPage(UINT message) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return true;
  }
  return false;
}

}  // namespace

INT_PTR CALLBACK TabbedDialog::PageProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    return FALSE;
  }
  auto* owner = reinterpret_cast<TabbedDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!owner || !ForwardedFromPage(message)) return FALSE;
  try {
    INT_PTR result = FALSE;
    if (!owner->Handle(message, wParam, lParam, result)) return FALSE;
    if (message != WM_NOTIFY) return result;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
  } catch (...) {
    // An exception must not unwind through the dialog manager.
    EndDialog(owner->hwnd_, -1);
    return TRUE;
  }
}

void TabbedDialog::CreatePages(int tabControlId, std::initializer_list<PageTemplate> pages) {
  tab_ = Item(tabControlId);
  if (!tab_) return;
  int index = 0;
  for (const PageTemplate& page : pages) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(page.caption);
    item.lParam = index++;
    SendMessageW(tab_, TCM_INSERTITEMW, SendMessageW(tab_, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&item));
  }
  // The display area is known once every tab (and so every row of tabs) exists.
  RECT area;
  GetWindowRect(tab_, &area);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&area), 2);
  SendMessageW(tab_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  for (const PageTemplate& page : pages) {
    HWND window = CreateDialogParamW(ResourceModule(), MAKEINTRESOURCEW(page.templateId), hwnd_, PageProcedure,
                                     reinterpret_cast<LPARAM>(this));
    if (window)
      SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_HIDEWINDOW);
    pages_.push_back(window);
  }
  if (!pages_.empty()) ShowPage(0);
}

int TabbedDialog::TabOfPage(int page) const {
  const auto count = static_cast<int>(SendMessageW(tab_, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (SendMessageW(tab_, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)) && item.lParam == page) return i;
  }
  return -1;
}

void TabbedDialog::ShowOnly(int page) {
  for (std::size_t i = 0; i < pages_.size(); ++i)
    if (pages_[i]) ShowWindow(pages_[i], static_cast<int>(i) == page ? SW_SHOW : SW_HIDE);
  active_ = page;
  OnPageChanged();
}

void TabbedDialog::ShowPage(int page) {
  const int tab = TabOfPage(page);
  if (tab < 0) return;
  SendMessageW(tab_, TCM_SETCURSEL, tab, 0);
  ShowOnly(page);
}

void TabbedDialog::HidePage(int page) {
  const int tab = TabOfPage(page);
  if (tab < 0) return;
  SendMessageW(tab_, TCM_DELETEITEM, tab, 0);
  if (page == active_) {
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    const bool any = SendMessageW(tab_, TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
    if (any) ShowPage(static_cast<int>(item.lParam));
  }
}

HWND TabbedDialog::Control(int id) const {
  if (HWND own = Item(id)) return own;
  for (HWND page : pages_)
    if (HWND found = page ? GetDlgItem(page, id) : nullptr) return found;
  return nullptr;
}

bool TabbedDialog::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
  if (message != WM_NOTIFY) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->hwndFrom != tab_ || header->code != TCN_SELCHANGE) return false;
  const auto tab = static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0));
  TCITEMW item{};
  item.mask = TCIF_PARAM;
  if (tab >= 0 && SendMessageW(tab_, TCM_GETITEMW, tab, reinterpret_cast<LPARAM>(&item)))
    ShowOnly(static_cast<int>(item.lParam));
  result = 0;
  return true;
}
