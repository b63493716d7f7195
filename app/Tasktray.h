#pragma once
// The hidden main window "VarnelMain": owner of the tray icon and its menu,
// receiver of the control messages other programs post, and keeper of the
// Ready flag that drops clicks and requests while something runs.

#include <windows.h>

#include <shellapi.h>

#include <cstdint>

#include "SettingsStore.h"
#include "TrayMenu.h"
#include "UniqueHandle.h"
#include "Window.h"

class StampDesk;
class TForm1;
class TSimpleStamp;

inline constexpr UINT kControlMessage = WM_USER;       // 0x400, code in wParam
inline constexpr UINT kTrayIconMessage = WM_USER + 1;  // 0x401, mouse message in lParam
inline constexpr UINT kTrayIconId = 100;

class TTaskTrayForm : public Window, public TrayMenu {
 public:
  explicit TTaskTrayForm(SettingsStore& store) : store_(store) {}
  ~TTaskTrayForm() override;
  // FormCreate: the program folder becomes the current directory, the
  // window and its tray icon appear, the pop-up menu is built.
  bool Create();
  void Attach(TForm1& pad, StampDesk& desk, TSimpleStamp& toolbar);

  std::uint8_t Ready = 0;
  HMENU PopupMenu1 = nullptr;

  void DisableTrayMenu() override;
  void EnableTrayMenu() override;
  void EnableItem(UINT id, bool enabled) override;
  // lParam says which client sent it: VrnCtl.dll (0) or vrnctl.exe (1).
  void HandleControlMessage(WPARAM code, LPARAM sender = 0);
  // Closes the window, which ends the message loop.
  void Close() { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

  void ExitClick();

 protected:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void BuildPopupMenu();
  NOTIFYICONDATAW IconData() const;
  bool AddTrayIcon();
  void RemoveTrayIcon();
  void TrayIconMouse(UINT mouseMessage);
  LRESULT CopyData(const COPYDATASTRUCT& data);
  void ShowPopupMenu();
  void OnCommand(UINT id);
  void TrayCommand(UINT id);
  void pHelpClick();
  void pmSimpleStampClick();
  void N4Click();

  SettingsStore& store_;
  TForm1* pad_ = nullptr;
  StampDesk* desk_ = nullptr;
  TSimpleStamp* toolbar_ = nullptr;
  UINT taskbarCreated_ = 0;
  bool iconAdded_ = false;
  UniqueHicon icon_;
};

// Writes SimpleStamp\Show as the toolbar's visibility, at exit.
void SaveToolbarVisibility(SettingsStore& store, bool visible);
