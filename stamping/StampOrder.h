#pragma once
// A stamp as its caller describes it to the stamp desk.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "Clipboard.h"
#include "StampRecorder.h"

// Who asked for a stamp: the stamp pad, the tray, the toolbar, or another
// program (VrnCtl.dll or vrnctl.exe). A request of another program shows no
// information message and asks no date, but for the date stamp that asks
// to be treated as the user's own.
struct StampRequest {
  StampTrigger trigger = StampTrigger::kPad;
  bool external = false;
};

// What follows a stamp once its pictures are on the clipboard.
enum class AfterStamp {
  // The information message, then TerminateAsStamped: exit, or hide the
  // stamp pad and the toolbar; the clear timer when ClipBrdClear asks.
  HideStampPadAndToolbar,
  // The same, but TerminateAsStamped 2 hides the toolbar alone (a toolbar
  // picture file).
  HideToolbar,
  // The information message alone: no exit, hiding or clearing follows
  // (a rotated text).
  MessageOnly,
  // Nothing: no message, no action, no clear timer (a text file).
  Nothing,
};

// What a stamp's put step leaves besides the formats on the clipboard.
struct StampPut {
  bool reported = false;    // nothing was placed, and the user has been told why
  std::wstring problem;     // a warning for the user: why nothing, or not every format, was placed
  bool pngLeftOut = false;  // the PNG asked for was left out: it would lack the copy guard's marks
  std::optional<StampLabel> label;  // what the stamp log keeps of it
};

// What the information message tells of a stamp.
struct StampNotice {
  PlacedFormats placed;
  bool metafileOnly = false;  // only metafile formats were asked for
  bool pngLeftOut = false;
  std::wstring logNotice;  // the stamp log could not keep the record: why
};

struct StampOrder {
  HWND owner = nullptr;       // owns the prompts and the messages
  bool asksPassword = true;   // PasswordOnStamp 0 asks before the stamp
  AfterStamp after = AfterStamp::HideStampPadAndToolbar;
  bool metafileOnly = false;  // the message ticks the metafile formats alone
  // Puts the stamp's formats, once the clipboard has been emptied.
  std::function<StampPut(ClipboardWriter&)> put;
};
