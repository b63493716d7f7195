// Program entry: one instance, the four long-lived windows, the message loop.

#include <windows.h>

#include "ForegroundWatch.h"
#include "RegistryStore.h"
#include "Shell.h"
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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  UniqueHandleObject mutex(CreateMutexW(nullptr, TRUE, L"VARNEL"));
  if (!mutex || GetLastError() != ERROR_SUCCESS) return 1;  // another instance owns it

  RegistryStore store;
  // The document a stamp goes into, for the stamp log: the last other
  // program's window in front.
  const ForegroundWatch foreground;
  TTaskTrayForm tray(store);
  TForm1 pad(store, tray.Ready);
  TSimpleStamp toolbar(store, pad.Desk());
  TMessageForm message(store, {[&pad] { pad.AllExitClick(); }, [&pad, &toolbar] { HideStampPadAndToolbar(pad, toolbar); }});
  TaskTrayForm = &tray;
  Form1 = &pad;
  MessageForm = &message;
  SimpleStamp = &toolbar;

  int result = 0;
  // The pad and the toolbar are owned by the hidden tray window: the program
  // lives in the notification area, with no taskbar button.
  if (tray.Create() && pad.Create(tray.Handle())) {
    message.Create(pad.Handle());
    toolbar.Create(tray.Handle());
    ConnectShell(store, tray, pad, toolbar, &message);
    if (pad.FormCreate(tray))
      toolbar.FormCreate(pad.Handle());
    else
      tray.Close();  // the start-up password was refused
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
