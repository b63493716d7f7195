#pragma once
// What the long-lived windows may ask of each other, connected in one place
// for the program and for the tests that build the shell themselves.

#include "Mainform.h"
#include "Message.h"
#include "SettingsStore.h"
#include "Smpstamp.h"
#include "Tasktray.h"

// The tray serves the pad and the toolbar; the pad's exit ends the program
// (the toolbar's visibility saved); the desk hides the pad and the toolbar
// after a stamp and shows the information message, when there is one.
void ConnectShell(SettingsStore& store, TTaskTrayForm& tray, TForm1& pad, TSimpleStamp& toolbar,
                  TMessageForm* message);

// Hides the stamp pad and the toolbar (TerminateAsStamped 2).
void HideStampPadAndToolbar(TForm1& pad, TSimpleStamp& toolbar);
