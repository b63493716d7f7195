#pragma once
// The one door of every stamp. A caller describes a stamp as an order and
// hands it to Stamp, which holds the steps once: busy, the password, an
// empty clipboard, the order's formats, idle again, the report or the
// information message, the after-stamp action and the clear timer. The desk
// alone writes the busy state, so every way out of a stamp ends idle.

#include <windows.h>

#include <cstdint>
#include <functional>

#include "ClipboardClearing.h"
#include "InkImpression.h"
#include "SealForm.h"
#include "StampOrder.h"

class StampDesk {
 public:
  // ready is the tray window's flag (0 while a stamp or a modal dialog
  // runs); seal holds the renderers' shared state, ExternalRequest among it.
  StampDesk(std::uint8_t& ready, SealForm& seal) : ready_(ready), seal_(seal) {}
  StampDesk(const StampDesk&) = delete;
  StampDesk& operator=(const StampDesk&) = delete;

  // The clipboard's owner window; before the first stamp.
  bool Create() { return clearing_.Create(); }

  void Stamp(const StampOrder& order);

  // While a stamp or a modal dialog runs.
  bool Busy() const { return ready_ == 0; }
  // The password before a protected action, when PasswordOnStamp asks for it.
  bool PasswordGate(HWND owner) const;

  // The program is busy while one lives; however what it guards ends
  // (finished, returned early, thrown), the program is idle again when the
  // outermost scope ends, and a request of another program has been served.
  class BusyScope {
   public:
    explicit BusyScope(StampDesk& desk);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    StampDesk& desk_;
  };

  // Runs what was asked for on behalf of who asked: the stamps it makes are
  // recorded with that trigger, and another program's show no information
  // message and ask no date.
  void Serve(StampRequest request, const std::function<void()>& serve);

  // Keeps a stamp that put a seal into a file (an export, a PDF page) in the
  // stamp log; a record not kept is said in a warning.
  void Record(const StampLabel& label, HWND owner);

  // The start-up password was refused: the program ends, and takes no
  // requests meanwhile.
  void CloseForGood();

  // The hand-pressed ink of the next stamp, as the options ask: each stamp
  // a new impression unless InkSeed fixes it.
  InkImpression Impression();

  ClipboardClearing& Clearing() { return clearing_; }
  SealForm& Seal() { return seal_; }

  // What the shell connects: the information message, ending the program
  // (asking first), hiding the stamp pad and the toolbar, hiding the toolbar.
  std::function<void(const StampNotice&)> ShowInformation;
  std::function<void()> ExitProgram;
  std::function<void()> HideStampPadAndToolbar;
  std::function<void()> HideToolbar;

 private:
  // What one stamp left, for the steps once the program is idle again.
  struct StampResult {
    bool started = false;        // false: the password was refused
    bool clipboardBusy = false;  // another program held the clipboard
    bool external = false;       // requested by another program
    StampPut put;
    PlacedFormats placed;
  };
  StampResult PutOrder(const StampOrder& order);
  void Finish(const StampOrder& order, const StampResult& result);
  void AfterStampAction(AfterStamp after);
  void ReportClipboardFailure(HWND owner) const;
  // The record of a stamp in the stamp log; empty, or why it was not kept.
  std::wstring Log(const StampLabel& label);

  std::uint8_t& ready_;
  SealForm& seal_;
  ClipboardClearing clearing_;
  InkSeedSource inkSeeds_;
  int busyDepth_ = 0;
  StampRequest request_;
  bool closed_ = false;
};
