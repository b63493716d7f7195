#pragma once
// The members of the stamp pad that the seal renderers and the script
// interpreters read and leave behind. The stamp pad window owns one; tests
// make their own.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Clock.h"
#include "SealPictureCache.h"
#include "WorkImage.h"

struct SealForm {
  // The picture holder of the current rendering (created and freed around it).
  std::unique_ptr<::WorkImage> WorkImage;
  // The middle text of the last date-seal bitmap, reused by its metafile.
  std::string DateText;
  // Set while a control message from another program is served.
  bool ExternalRequest = false;
  // Set by the administrator policy: the date may not be changed.
  bool DateChangeLocked = false;
  // Shows the date-change dialog with text in its edit field (disabling the
  // stamping entries around it) and returns the field's text at close.
  // Without it, nothing is asked.
  std::function<std::string(std::string_view text)> AskDate;
  const Clock* clock = &SystemClock();
  // The last bitmap of each seal, for drawing the same seal again.
  SealPictureCache Pictures;
};
