#pragma once
// Recording a stamp in the stamp log: the one call the stamping code makes
// for every stamp that puts a seal anywhere (the clipboard, a file).

#include <windows.h>

#include <string>
#include <string_view>

#include "StampLog.h"

struct StampLogEntry {
  StampSeal seal = StampSeal::kName;
  // The seal's text in code page 932: the name, the date text, the slot's
  // text, or the file name of a bitmap, seal-file or script stamp.
  std::string text;
  StampTrigger trigger = StampTrigger::kPad;
  int resolution = 0;  // the stamp resolution, pixels per metre
  int widthHundredthsMm = 0, heightHundredthsMm = 0;
  // The picture as it was put out, and which one it is.
  StampPicture picture = StampPicture::kClipboardDib;
  std::string_view pictureBytes;
};

struct StampLogResult {
  enum Status { kOff, kKept, kNotKept };
  Status status = kOff;
  std::wstring file;  // the log file written, or the one that could not be
  DWORD error = ERROR_SUCCESS;
};

// Whether stamps are recorded: the option StampLog or the policy PolicyStampLog.
bool StampLogWanted();

// With the option StampLog or the policy PolicyStampLog on, appends the
// record of this stamp to the user's log; with both off writes nothing
// (kOff). Never throws and never asks: a log that cannot be written leaves
// the stamp as it is and says so (kNotKept).
StampLogResult RecordStamp(const StampLogEntry& entry);

// What the information message adds after a stamp: empty unless the record
// could not be kept.
std::wstring StampLogNotice(const StampLogResult& result);
