#include "StampDesk.h"

#include "Password.h"
#include "Settings.h"
#include "StampRecorder.h"

StampDesk::BusyScope::BusyScope(StampDesk& desk) : desk_(desk) {
  if (desk_.busyDepth_++ > 0) return;
  desk_.ready_ = 0;
  desk_.seal_.ExternalRequest = desk_.request_.external;
}

StampDesk::BusyScope::~BusyScope() {
  if (--desk_.busyDepth_ > 0) return;
  desk_.ready_ = desk_.closed_ ? 0 : 1;
  desk_.seal_.ExternalRequest = false;
}

void StampDesk::Serve(StampRequest request, const std::function<void()>& serve) {
  struct Served {
    StampRequest& current;
    const StampRequest before;
    Served(StampRequest& c, StampRequest now) : current(c), before(c) { current = now; }
    ~Served() { current = before; }
  } served(request_, request);
  serve();
}

std::wstring StampDesk::Log(const StampLabel& label) {
  return StampLogNotice(RecordStamp(label, request_.trigger));
}

void StampDesk::Record(const StampLabel& label, HWND owner) {
  const std::wstring notice = Log(label);
  // Another program's request shows nothing; its client reports the stamp.
  if (!notice.empty() && !request_.external) MessageBoxW(owner, notice.c_str(), L"Varnel印鑑", MB_OK | MB_ICONWARNING);
}

InkImpression StampDesk::Impression() { return StampImpression(OptionSettings, inkSeeds_, *seal_.clock); }

void StampDesk::CloseForGood() {
  closed_ = true;
  ready_ = 0;
}

bool StampDesk::PasswordGate(HWND owner) const {
  return OptionSettings.PasswordOnStamp != 0 || AskPassword(owner);
}

void StampDesk::Stamp(const StampOrder& order) { Finish(order, PutOrder(order)); }

// Busy from the password to the last clipboard write. A refused password
// leaves the clipboard as it was.
StampDesk::StampResult StampDesk::PutOrder(const StampOrder& order) {
  const BusyScope busy(*this);
  StampResult result;
  result.external = seal_.ExternalRequest;
  if (order.asksPassword && !PasswordGate(order.owner)) return result;
  result.started = true;
  if (!clearing_.EmptyForStamp()) {
    result.clipboardBusy = true;
    return result;
  }
  ClipboardWriter clipboard(clearing_.Owner());
  if (order.put) result.put = order.put(clipboard);
  result.clipboardBusy = clipboard.Failed();
  result.placed = clipboard.Placed();
  return result;
}

// Once the program is idle again. A stamp that could not reach the
// clipboard, or placed nothing on it, is reported, never shown as done, and
// does not end or hide the program: the user will try again. A warning of a
// stamp that placed something is shown before its message.
void StampDesk::Finish(const StampOrder& order, const StampResult& result) {
  if (!result.started) return;
  if (result.clipboardBusy) return ReportClipboardFailure(order.owner);
  const bool placed = result.placed.Any();
  if (!placed && result.put.reported) return;
  if (!placed || !result.put.problem.empty()) {
    const std::wstring text =
        result.put.problem.empty() ? L"印鑑イメージをクリップボードに転送できませんでした。" : result.put.problem;
    MessageBoxW(order.owner, text.c_str(), L"Varnel印鑑", MB_OK | MB_ICONWARNING);
  }
  if (!placed) return;
  const std::wstring logNotice = result.put.label ? Log(*result.put.label) : std::wstring();
  const bool informs = order.after != AfterStamp::Nothing && OptionSettings.ShowMessage != 0 && !result.external &&
                       ShowInformation;
  // A record not kept is said in the message, or on its own when the user
  // sees no message; another program's request shows nothing.
  if (!logNotice.empty() && !informs && !result.external)
    MessageBoxW(order.owner, logNotice.c_str(), L"Varnel印鑑", MB_OK | MB_ICONWARNING);
  if (order.after == AfterStamp::Nothing) return;
  if (informs) ShowInformation({result.placed, order.metafileOnly, result.put.pngLeftOut, logNotice});
  if (order.after != AfterStamp::MessageOnly) AfterStampAction(order.after);
}

// With the information message shown, the action waits for its closing.
void StampDesk::AfterStampAction(AfterStamp after) {
  if (OptionSettings.ShowMessage == 0) {
    const auto perform = [](const std::function<void()>& action) {
      if (action) action();
    };
    if (OptionSettings.TerminateAsStamped == 1)
      perform(ExitProgram);
    else if (OptionSettings.TerminateAsStamped == 2)
      perform(after == AfterStamp::HideToolbar ? HideToolbar : HideStampPadAndToolbar);
  }
  if (OptionSettings.ClipBrdClear == 2) clearing_.EnableClearTimer();
}

void StampDesk::ReportClipboardFailure(HWND owner) const {
  MessageBoxW(owner, L"クリップボードを開けませんでした。", L"Varnel印鑑", MB_OK | MB_ICONWARNING);
}
