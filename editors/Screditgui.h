#pragma once
// The script builder "GUI Panel": one tab per drawing element. "追加"
// appends the element's lines to the editor's text; while a field changes,
// the element is drawn over the editor's preview.

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "BuilderLines.h"
#include "DialogWindow.h"
#include "UniqueHandle.h"

class TScrEditForm;

class TGUIForm : public DialogWindow {
 public:
  explicit TGUIForm(TScrEditForm& editor);
  ~TGUIForm() override;
  // Creates the builder hidden, owned by the editor, on its "ヘッダ" tab.
  bool Create(HWND owner);

  void Button1Click();  // 追加
  void Button2Click();  // the element preview
  void Button3Click();  // 閉じる
  void Edit1Change();   // the size in millimetres
  // 色指定 of the circle, rectangle, rounded rectangle, line, text and date tabs.
  void SpeedButton1Click() { PickColor(1); }
  void SpeedButton2Click() { PickColor(2); }
  void SpeedButton3Click() { PickColor(3); }
  void SpeedButton4Click() { PickColor(4); }
  void SpeedButton6Click() { PickColor(5); }
  void SpeedButton8Click() { PickColor(6); }
  // フォント指定 of the text and date tabs.
  void SpeedButton5Click() { PickFont(5); }
  void SpeedButton7Click() { PickFont(6); }
  void FormClose();

  // The tabs, in order.
  enum Tab { Header, Circle, Rectangle, RoundRect, StraightLine, Text, Date, kTabCount };

  // For the pages.
  void PageCommand(int id, int notifyCode);
  HBRUSH SwatchBrush(HWND control, HDC hdc);

 protected:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  class Page;
  void CreatePages();
  void InitialiseFields();
  void ShowPage(int tab);
  int ActiveTab() const;
  HWND Field(int n) const;
  int Number(int n) const;
  std::string FieldBytes(int n) const;
  std::string HeaderBytes() const;
  int DateFormatIndex() const;
  BuilderFont Font() const;
  FontSpec CanvasFont(Color color) const;
  ScriptLines ActiveLines() const;
  void DrawElement(Canvas& canvas, int tab) const;
  void PickColor(int swatch);
  void PickFont(int swatch);
  void SetSwatch(int swatch, Color color);

  TScrEditForm& editor_;
  std::array<std::unique_ptr<Page>, kTabCount> pages_;
  // StaticText1 ... 6, all pure red at first.
  std::array<Color, 6> swatches_;
  std::array<UniqueHbrush, 6> swatchBrushes_;
  std::array<COLORREF, 16> customColors_{};
  // The font of the text and date tabs, the platform's default at first.
  LOGFONTW font_{};
  bool initialising_ = true;
};
