#pragma once
// Recording a stamp in the stamp log: the one call the stamping code makes
// for every stamp that puts a seal anywhere (the clipboard, a file).

#include <windows.h>

#include <string>

#include "StampLog.h"

// What a stamp put out: which seal and what it says (code page 932: the
// name, the date text, the slot's text, or the file name of a bitmap,
// seal-file or script stamp), its resolution and designed size, and the
// picture whose SHA-256 is kept.
struct StampLabel {
  StampSeal seal = StampSeal::kName;
  std::string text;
  int resolution = 0;  // pixels per metre
  int widthHundredthsMm = 0, heightHundredthsMm = 0;
  StampPicture picture = StampPicture::kClipboardDib;
  std::string pictureBytes;
};

struct StampLogResult {
  enum Status { kOff, kKept, kNotKept };
  Status status = kOff;
  std::wstring file;  // the log file written, or the one that could not be
  DWORD error = ERROR_SUCCESS;
};

// Whether stamps are recorded: the option StampLog or the policy PolicyStampLog.
bool StampLogWanted();

// The Windows user's name, as the log records it.
std::wstring UserName();

// With the option StampLog or the policy PolicyStampLog on, appends the
// record of this stamp to the user's log; with both off writes nothing
// (kOff). Never throws and never asks: a log that cannot be written leaves
// the stamp as it is and says so (kNotKept).
StampLogResult RecordStamp(const StampLabel& label, StampTrigger trigger);

// What the information message adds after a stamp: empty unless the record
// could not be kept.
std::wstring StampLogNotice(const StampLogResult& result);
