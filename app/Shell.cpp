#include "Shell.h"

void HideStampPadAndToolbar(TForm1& pad, TSimpleStamp& toolbar) {
  ShowWindow(pad.Handle(), SW_HIDE);
  toolbar.Hide();
}

void ConnectShell(SettingsStore& store, TTaskTrayForm& tray, TForm1& pad, TSimpleStamp& toolbar,
                  TMessageForm* message) {
  StampDesk& desk = pad.Desk();
  tray.Attach(pad, desk, toolbar);
  pad.EndProgram = [&store, &tray, &toolbar] {
    SaveToolbarVisibility(store, toolbar.Visible());
    tray.Close();
  };
  pad.ToggleToolbar = [&toolbar] { toolbar.Toggle(); };
  pad.ToolbarOutline = [&toolbar](int slot, const VectorTools& tools) { return toolbar.SlotOutline(slot, tools); };
  pad.ToolbarSlotNames = [&toolbar] { return toolbar.PictureSlotNames(); };
  desk.HideStampPadAndToolbar = [&pad, &toolbar] { HideStampPadAndToolbar(pad, toolbar); };
  desk.HideToolbar = [&toolbar] { toolbar.Hide(); };
  if (message)
    desk.ShowInformation = [message](const StampNotice& notice) {
      if (notice.metafileOnly) message->MetafileOnly = 1;
      message->ShowNotice(notice);
    };
}
