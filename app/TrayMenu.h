#pragma once
// What the stamp pad may do to the tray's pop-up menu.

#include <windows.h>

class TrayMenu {
 public:
  // The stamping and editing items off while a modal dialog of the stamp
  // pad runs, and back as the pad's state allows.
  virtual void DisableTrayMenu() = 0;
  virtual void EnableTrayMenu() = 0;
  virtual void EnableItem(UINT id, bool enabled) = 0;

 protected:
  ~TrayMenu() = default;
};

// The tray menu's stamping and editing items are off while a modal dialog of
// the stamp pad runs, and come back however the dialog ends.
class TrayMenuOff {
 public:
  explicit TrayMenuOff(TrayMenu* tray) : tray_(tray) {
    if (tray_) tray_->DisableTrayMenu();
  }
  ~TrayMenuOff() {
    if (tray_) tray_->EnableTrayMenu();
  }
  TrayMenuOff(const TrayMenuOff&) = delete;
  TrayMenuOff& operator=(const TrayMenuOff&) = delete;

 private:
  TrayMenu* tray_;
};
