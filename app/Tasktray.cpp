#include "Tasktray.h"

#include <shellapi.h>

#include <string>

#include "Mainform.h"
#include "Dpi.h"
#include "ControlRequest.h"
#include "MenuIds.h"
#include "PdfControl.h"
#include "ProgramFolder.h"
#include "Records.h"
#include "Smpstamp.h"
#include "StampDesk.h"

namespace {

void Append(HMENU menu, UINT id, const wchar_t* caption) {
  if (id == 0)
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  else
    AppendMenuW(menu, MF_STRING, id, caption);
}

}  // namespace

void SaveToolbarVisibility(SettingsStore& store, bool visible) {
  if (auto key = store.Open(VarnelKeyPath("SimpleStamp"))) key->Write("Show", visible ? "1" : "0");
}

TTaskTrayForm::~TTaskTrayForm() {
  RemoveTrayIcon();
  if (PopupMenu1) DestroyMenu(PopupMenu1);
}

bool TTaskTrayForm::Create() {
  SetCurrentDirectoryW(ProgramFolder().c_str());
  if (!CreateWindowOf(L"TTaskTrayForm", WS_EX_TOOLWINDOW, WS_POPUP, L"VarnelMain", 0, 0, 0, 0, nullptr, nullptr))
    return false;
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  BuildPopupMenu();
  AddTrayIcon();
  return true;
}

void TTaskTrayForm::Attach(TForm1& pad, StampDesk& desk, TSimpleStamp& toolbar) {
  pad_ = &pad;
  desk_ = &desk;
  toolbar_ = &toolbar;
}

void TTaskTrayForm::BuildPopupMenu() {
  PopupMenu1 = CreatePopupMenu();
  Append(PopupMenu1, IDM_TRAY_EXIT, L"Varnel印鑑の終了");
  Append(PopupMenu1, IDM_TRAY_CREDIT, L"Varnel印鑑について");
  Append(PopupMenu1, IDM_TRAY_HELP, L"Varnel印鑑ヘルプ");
  Append(PopupMenu1, 0, nullptr);
  Append(PopupMenu1, IDM_TRAY_CU, L"ユーザー切替");
  Append(PopupMenu1, IDM_TRAY_OPTION, L"オプション設定");
  Append(PopupMenu1, IDM_TRAY_ERASESTAMP, L"ビットマップ印を削除");
  Append(PopupMenu1, IDM_TRAY_BITMAPEDIT, L"ビットマップ印の編集");
  Append(PopupMenu1, IDM_TRAY_IMAGEEDIT, L"認印・日付印の編集");
  Append(PopupMenu1, IDM_TRAY_N5, L"グラフィックスクリプトエディタ");
  Append(PopupMenu1, 0, nullptr);
  Append(PopupMenu1, IDM_TRAY_STAMPLOG, L"押印履歴…");
  Append(PopupMenu1, IDM_TRAY_PDFSTAMP, L"PDFに押印…");
  Append(PopupMenu1, IDM_TRAY_OTHERSTAMP, L"ビットマップ印を押印");
  Append(PopupMenu1, IDM_TRAY_MDATEEXP, L"日付印をファイル化");
  Append(PopupMenu1, IDM_TRAY_MNAMEEXP, L"認印をファイル化");
  Append(PopupMenu1, IDM_TRAY_DATESTAMP, L"日付印を押印");
  Append(PopupMenu1, IDM_TRAY_NAMESTAMP, L"認印を押印");
  Append(PopupMenu1, 0, nullptr);
  Append(PopupMenu1, IDM_TRAY_SIMPLESTAMP, L"角印ツールバー表示/非表示");
  Append(PopupMenu1, IDM_TRAY_N4, L"スタンプ台表示/非表示");
  // Erasing waits until there is a bitmap seal to erase.
  for (UINT id : {IDM_TRAY_ERASESTAMP})
    EnableMenuItem(PopupMenu1, id, MF_BYCOMMAND | MF_GRAYED);
}

NOTIFYICONDATAW TTaskTrayForm::IconData() const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = hwnd_;
  data.uID = kTrayIconId;
  return data;
}

bool TTaskTrayForm::AddTrayIcon() {
  NOTIFYICONDATAW data = IconData();
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayIconMessage;
  // The icon's own small image at the tray's size, not the large one shrunk.
  const UINT dpi = WindowDpi(hwnd_);
  icon_.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                            SystemMetricForDpi(SM_CXSMICON, dpi),
                                            SystemMetricForDpi(SM_CYSMICON, dpi), LR_DEFAULTCOLOR)));
  data.hIcon = icon_ ? icon_.get() : LoadIconW(nullptr, IDI_APPLICATION);
  lstrcpynW(data.szTip, L"Varnel印鑑", ARRAYSIZE(data.szTip));
  iconAdded_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  return iconAdded_;
}

void TTaskTrayForm::RemoveTrayIcon() {
  if (!iconAdded_ || !hwnd_) return;
  NOTIFYICONDATAW data = IconData();
  Shell_NotifyIconW(NIM_DELETE, &data);
  iconAdded_ = false;
}

void TTaskTrayForm::EnableItem(UINT id, bool enabled) {
  EnableMenuItem(PopupMenu1, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void TTaskTrayForm::DisableTrayMenu() {
  for (UINT id : {IDM_TRAY_OPTION, IDM_TRAY_IMAGEEDIT, IDM_TRAY_BITMAPEDIT, IDM_TRAY_NAMESTAMP, IDM_TRAY_DATESTAMP,
                  IDM_TRAY_OTHERSTAMP, IDM_TRAY_ERASESTAMP, IDM_TRAY_MNAMEEXP, IDM_TRAY_MDATEEXP, IDM_TRAY_PDFSTAMP})
    EnableItem(id, false);
}

void TTaskTrayForm::EnableTrayMenu() {
  EnableItem(IDM_TRAY_OPTION, true);
  EnableItem(IDM_TRAY_NAMESTAMP, true);
  EnableItem(IDM_TRAY_DATESTAMP, true);
  const bool bitmapSeal = pad_ && pad_->HasBitmapSeal;
  const AdminPolicyState policy = pad_ ? pad_->Policy : AdminPolicyState{};
  EnableItem(IDM_TRAY_OTHERSTAMP, bitmapSeal);
  EnableItem(IDM_TRAY_IMAGEEDIT, OptionSettings.EditorLock != 0 && !policy.SealEditorOff());
  EnableItem(IDM_TRAY_BITMAPEDIT, !policy.BitmapEditOff());
  EnableItem(IDM_TRAY_ERASESTAMP, bitmapSeal && !policy.BitmapEditOff());
  EnableItem(IDM_TRAY_MNAMEEXP, !policy.FileOutputOff());
  EnableItem(IDM_TRAY_MDATEEXP, !policy.FileOutputOff());
  EnableItem(IDM_TRAY_PDFSTAMP, !policy.FileOutputOff());
}

void TTaskTrayForm::HandleControlMessage(WPARAM code, LPARAM sender) {
  if (Ready == 0 || !pad_ || !desk_) return;  // busy: the request is dropped, not queued
  TForm1& pad = *pad_;
  const StampTrigger trigger = sender == kFromVrnctl ? StampTrigger::kVrnctl : StampTrigger::kVrnCtl;
  // Code 7 is the date stamp as the user's own: the date prompt and the message.
  if (code == 7) return desk_->Serve({trigger, false}, [&] { pad.SpeedButton2Click(); });
  desk_->Serve({trigger, true}, [&] {
    switch (code) {
      case 1: pad.SpeedButton1Click(); break;
      case 2: pad.SpeedButton2Click(); break;
      case 3:
        if (pad.HasBitmapSeal) pad.B1Click();
        break;
      case 4: desk_->Clearing().ClearOnRequest(); break;
      case 5: pad.AllExitClick(); break;
      case 6:
        pad.UserChangeRequested = true;
        pad.AllExitClick();
        break;
    }
  });
}

// A PDF stamp asked for by another program; the answer is its outcome.
LRESULT TTaskTrayForm::CopyData(const COPYDATASTRUCT& data) {
  if (!IsPdfRequest(data) || !pad_ || !desk_) return 0;
  if (Ready == 0) return PdfAnswer(PdfStampResult::Busy);  // dropped, as other requests are
  return ServePdfRequest(data, [this](const PdfStampRequest& request, bool fromVrnctl) {
    PdfStampResult result = PdfStampResult::Unsupported;
    desk_->Serve({fromVrnctl ? StampTrigger::kVrnctl : StampTrigger::kVrnCtl, true},
                 [&] { result = pad_->StampPdfRequest(request); });
    return result;
  });
}

void TTaskTrayForm::TrayIconMouse(UINT mouseMessage) {
  if (Ready == 0 || !pad_ || !desk_) return;
  const int focusGet = OptionSettings.FocusGet;
  if (focusGet == 1) SetForegroundWindow(hwnd_);
  switch (mouseMessage) {
    case WM_RBUTTONDOWN:
      ShowPopupMenu();
      break;
    case WM_LBUTTONDOWN:
      if (focusGet == 0) SetForegroundWindow(hwnd_);
      break;
    case WM_LBUTTONDBLCLK:
      desk_->Serve({StampTrigger::kTray}, [this] {
        switch (OptionSettings.TaskTrayIconDoubleClick) {
          case 0: pad_->ShowPad(); break;
          case 1: pad_->SpeedButton1Click(); break;
          case 2: pad_->SpeedButton2Click(); break;
          case 3:
            if (pad_->HasBitmapSeal) pad_->B1Click();
            break;
        }
      });
      break;
  }
}

void TTaskTrayForm::ShowPopupMenu() {
  POINT cursor;
  GetCursorPos(&cursor);
  // The menu only closes on a click elsewhere when its owner is in front.
  if (OptionSettings.FocusGet == 0) SetForegroundWindow(hwnd_);
  TrackPopupMenu(PopupMenu1, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void TTaskTrayForm::ExitClick() {
  if (MessageBoxW(hwnd_, L"Varnel印鑑を終了します", L"Varnel印鑑", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  SaveToolbarVisibility(store_, toolbar_ && toolbar_->Visible());
  Close();
}

void TTaskTrayForm::pHelpClick() {
  if (pad_) pad_->mHelpClick();
}

void TTaskTrayForm::pmSimpleStampClick() {
  if (toolbar_) toolbar_->Toggle();
}

void TTaskTrayForm::N4Click() {
  if (!pad_) return;
  // A minimised pad is brought back rather than closed.
  if (pad_->Visible() && !IsIconic(pad_->Handle()))
    pad_->Button1Click();
  else
    pad_->ShowPad();
}

void TTaskTrayForm::OnCommand(UINT id) {
  if (!pad_ || !desk_) return;
  // A disabled item does nothing, also when its command is posted.
  const UINT state = GetMenuState(PopupMenu1, id, MF_BYCOMMAND);
  if (state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) != 0) return;
  desk_->Serve({StampTrigger::kTray}, [this, id] { TrayCommand(id); });
}

void TTaskTrayForm::TrayCommand(UINT id) {
  switch (id) {
    case IDM_TRAY_EXIT: ExitClick(); break;
    case IDM_TRAY_CREDIT: pad_->N4Click(); break;
    case IDM_TRAY_HELP: pHelpClick(); break;
    case IDM_TRAY_CU: pad_->cuClick(); break;
    case IDM_TRAY_OPTION: pad_->Option1Click(); break;
    case IDM_TRAY_IMAGEEDIT: pad_->Button3Click(); break;
    case IDM_TRAY_ERASESTAMP: pad_->EraseStampClick(); break;
    case IDM_TRAY_BITMAPEDIT: pad_->BitmapEditClick(); break;
    case IDM_TRAY_OTHERSTAMP: pad_->B1Click(); break;
    case IDM_TRAY_MDATEEXP: pad_->mDateExpClick(); break;
    case IDM_TRAY_MNAMEEXP: pad_->mNameExpClick(); break;
    case IDM_TRAY_PDFSTAMP: pad_->mPdfStampClick(); break;
    case IDM_TRAY_STAMPLOG: pad_->mStampLogClick(); break;
    case IDM_TRAY_DATESTAMP: pad_->SpeedButton2Click(); break;
    case IDM_TRAY_NAMESTAMP: pad_->SpeedButton1Click(); break;
    case IDM_TRAY_SIMPLESTAMP: pmSimpleStampClick(); break;
    case IDM_TRAY_N4: N4Click(); break;
    case IDM_TRAY_N5: pad_->G1Click(); break;
  }
}

LRESULT TTaskTrayForm::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kControlMessage) {
    HandleControlMessage(wParam, lParam);
    return 0;
  }
  if (message == WM_COPYDATA) return CopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
  if (message == kTrayIconMessage) {
    TrayIconMouse(static_cast<UINT>(lParam));
    return 0;
  }
  if (taskbarCreated_ != 0 && message == taskbarCreated_) {
    // Explorer restarted: its new notification area knows no icons.
    iconAdded_ = false;
    AddTrayIcon();
    return 0;
  }
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      RemoveTrayIcon();
      PostQuitMessage(0);
      return 0;
  }
  return Default(message, wParam, lParam);
}
