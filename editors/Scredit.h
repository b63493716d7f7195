#pragma once
// The graphic script editor "Varnel印鑑グラフィックスクリプトエディタ": the
// script text on the left, the preview of its picture on the right, a bar
// of picture buttons, and the builder "GUI Panel" beside it. Shown modally
// by the stamp pad; the builder stays usable.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "DialogWindow.h"
#include "ScriptPreview.h"
#include "SealForm.h"
#include "SettingsStore.h"
#include "UniqueHandle.h"

class TGUIForm;

class TScrEditForm : public DialogWindow {
 public:
  explicit TScrEditForm(SettingsStore& store);
  ~TScrEditForm() override;

  // Runs the editor over owner until it is closed (or the program ends).
  void ShowModal(HWND owner);

  void SpeedButton1Click();  // ファイルを開く
  void SpeedButton2Click();  // 保存
  void SpeedButton3Click();  // ＧＵＩパネルツール: shows the builder
  void SpeedButton4Click();  // 新規作成
  void SpeedButton5Click();  // 編集終了
  void SpeedButton6Click();  // 表示更新: the preview
  void SpeedButton7Click();  // コピー
  void SpeedButton8Click();  // 貼付
  void FormShow();
  void FormClose();

  // For the builder: appends code-page-932 lines to the text, one each, and
  // the image of the last preview run (null before the first).
  void AppendLines(const std::vector<std::string>& lines);
  ScriptImage* PreviewImage() { return ScrollBox.Image(); }
  // After the builder drew on the preview image: shows it at its new size.
  void PreviewDrawn();

 protected:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  void SetUpButtons();
  void Layout();
  void SetMemoFont();
  bool OnCommand(int id);
  std::wstring Memo1Text() const;
  void StoreGeometry();
  void ShowBuilder();
  void KeepBuilderInFront();
  static constexpr UINT kShowBuilderMessage = WM_APP + 1;

  SettingsStore& store_;
  // The preview never asks for the date: this form has no AskDate.
  SealForm form_;
  ScriptScrollBox ScrollBox;
  std::unique_ptr<TGUIForm> GUIForm;
  std::vector<UniqueHbitmap> glyphs_;
  HWND tooltip_ = nullptr;
  UniqueHfont memoFont_;
  POINT builderPosition_{};
  std::wstring openFileName_, saveFileName_;
  bool closed_ = false;
};

// The stamp pad's command: one editor at a time; a second request brings
// the open one to the front.
void RunScriptEditor(HWND owner, SettingsStore& store);
