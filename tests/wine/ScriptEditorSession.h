#pragma once
// The running program with its graphic script editor open, driven the way a
// user drives it: the menu command, buttons and fields by control ID, the
// file dialogs by caption, the preview read back from the screen.

#include <windows.h>

#include <optional>
#include <string>

#include "WorkImage.h"
#include "harness/Process.h"

namespace harness {

class ScriptEditorSession {
 public:
  ScriptEditorSession() = default;
  ~ScriptEditorSession();  // ends the program when it still runs
  ScriptEditorSession(const ScriptEditorSession&) = delete;
  ScriptEditorSession& operator=(const ScriptEditorSession&) = delete;

  // Starts the program and waits for its stamp pad.
  bool Start();
  // The same on a volume that is full beyond limitKiB of any one file.
  bool StartUnderFileSizeLimit(int limitKiB);
  // The editor through the stamp pad's menu item or the tray's; false when
  // the editor or its builder did not appear.
  bool OpenFromPad();
  // The same through the keyboard: メニュー(&M), 印鑑編集(&E), then
  // グラフィックスクリプトエディタ(&G); a disabled item opens nothing.
  bool OpenFromPadMenuByKeys(DWORD timeoutMs = 10000);
  bool OpenFromTray();
  // "編集終了", waiting until both windows have gone.
  bool Close();
  // Ends the program through control code 5 and its confirmation.
  bool EndProgram();

  // A control of the editor or of the builder (its pages too), by ID.
  HWND Control(int id) const;
  std::wstring Text(int id) const;
  void SetText(int id, const std::wstring& text) const;
  // Presses a button and returns once its handler has run.
  void Click(int id) const;
  // Presses a button whose handler opens a modal window of its own.
  void ClickLater(int id) const;
  void SelectTab(int tab) const;

  // Waits for the file dialog of this caption, types the name and presses
  // its OK button; false when no dialog appeared.
  bool AnswerFileDialog(const std::wstring& caption, const std::wstring& name) const;

  // The preview picture as it shows on the screen (24-bit), empty when
  // there is none. Waits for painting to settle.
  PackedDib PreviewOnScreen() const;
  SIZE PreviewSize() const;

  HWND pad = nullptr, tray = nullptr, editor = nullptr, builder = nullptr;
  std::optional<RunningProgram> program;

 private:
  bool WaitForStampPad();
  bool WaitForEditor(DWORD timeoutMs = 10000);
};

// A window as it shows on the screen, written as a .bmp file.
bool SaveWindowPicture(HWND hwnd, const std::wstring& path);
// A fresh empty folder of this name in the temporary folder.
std::wstring FreshTemporaryFolder(const std::wstring& name);

}  // namespace harness
