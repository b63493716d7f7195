#include "StampDesk.h"

#include "Password.h"
#include "Settings.h"

StampDesk::BusyScope::BusyScope(StampDesk& desk) : desk_(desk) {
  if (desk_.busyDepth_++ > 0) return;
  desk_.ready_ = 0;
  desk_.seal_.ExternalRequest = desk_.externalRequest_;
}

StampDesk::BusyScope::~BusyScope() {
  if (--desk_.busyDepth_ > 0) return;
  desk_.ready_ = desk_.closed_ ? 0 : 1;
  desk_.seal_.ExternalRequest = false;
}

void StampDesk::ServeExternalRequest(const std::function<void()>& request) {
  struct Served {
    bool& flag;
    explicit Served(bool& f) : flag(f) { flag = true; }
    ~Served() { flag = false; }
  } served(externalRequest_);
  request();
}

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
  if (!placed || order.after == AfterStamp::Nothing) return;
  if (OptionSettings.ShowMessage != 0 && !result.external && ShowInformation)
    ShowInformation({result.placed, order.metafileOnly, result.put.pngLeftOut});
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
