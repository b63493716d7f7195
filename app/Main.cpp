// Program entry: one instance, the four long-lived windows, the message loop.

#include <windows.h>

#include "FileSystem.h"
#include "Mainform.h"
#include "Message.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "Smpstamp.h"
#include "Tasktray.h"
#include "UniqueHandle.h"

// The long-lived windows, one global reference each.
TTaskTrayForm* TaskTrayForm = nullptr;
TForm1* Form1 = nullptr;
TMessageForm* MessageForm = nullptr;
TSimpleStamp* SimpleStamp = nullptr;

namespace {

int RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (MessageForm && MessageForm->IsDialogMessage(msg)) continue;
    if (SimpleStamp && SimpleStamp->IsDialogMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

void HideStampPadAndToolbar() {
  ShowWindow(Form1->Handle(), SW_HIDE);
  SimpleStamp->Hide();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  UniqueHandleObject mutex(CreateMutexW(nullptr, TRUE, L"VARNEL"));
  if (!mutex || GetLastError() != ERROR_SUCCESS) return 1;  // another instance owns it

  RegistryStore store;
  TTaskTrayForm tray(store);
  TForm1 pad(store, tray.Ready);
  TMessageForm message(store, {[&pad] { pad.AllExitClick(); }, HideStampPadAndToolbar});
  TSimpleStamp toolbar(store, pad, &message);
  TaskTrayForm = &tray;
  Form1 = &pad;
  MessageForm = &message;
  SimpleStamp = &toolbar;

  int result = 0;
  // The pad and the toolbar are owned by the hidden tray window: the program
  // lives in the notification area, with no taskbar button.
  if (tray.Create() && pad.Create(tray.Handle())) {
    tray.Attach(pad, toolbar);
    message.Create(pad.Handle());
    toolbar.Create(tray.Handle());
    pad.ShowInformation = [&message](const PlacedFormats& placed) { message.ShowMessage(placed); };
    pad.HideStampPadAndToolbar = HideStampPadAndToolbar;
    if (pad.FormCreate(tray, toolbar)) toolbar.FormCreate();
    result = RunMessageLoop();
    pad.FormDestroy();
  }
  TaskTrayForm = nullptr;
  Form1 = nullptr;
  MessageForm = nullptr;
  SimpleStamp = nullptr;
  ReleaseMutex(mutex.get());
  return result;
}
