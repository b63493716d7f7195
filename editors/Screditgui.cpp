#include "Screditgui.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdint>

#include "GraphicScript.h"
#include "QdxDate.h"
#include "ScriptFiles.h"
#include "Scredit.h"
#include "Settings.h"
#include "ScriptText.h"
#include "Sjis.h"
#include "resource.h"

namespace {

struct TabSpec {
  const wchar_t* title;
  int templateId;
};
constexpr TabSpec kTabs[TGUIForm::kTabCount] = {
    {L"ヘッダ", IDD_GUI_HEADER},     {L"円・楕円", IDD_GUI_CIRCLE}, {L"矩形", IDD_GUI_RECTANGLE},
    {L"角丸矩形", IDD_GUI_ROUNDRECT}, {L"直線", IDD_GUI_LINE},       {L"文字列", IDD_GUI_TEXT},
    {L"日付", IDD_GUI_DATE},
};

// A number field: its initial value and what its up-down control offers.
struct NumberField {
  int edit;
  int initial, minimum, maximum, step;
};
constexpr NumberField kNumberFields[] = {
    {1, 100, 20, 1000, 5},  {2, 100, 20, 1000, 5},  {3, 300, 90, 1000, 5},  {6, 50, 20, 1000, 5},
    {7, 50, 20, 1000, 5},   {8, 3, 1, 10, 1},       {9, 50, 0, 500, 5},     {10, 50, 0, 500, 5},
    {11, 50, 20, 1000, 5},  {12, 50, 20, 1000, 5},  {13, 3, 1, 10, 1},      {14, 25, 0, 1000, 5},
    {15, 25, 0, 1000, 5},   {16, 50, 20, 1000, 5},  {17, 50, 20, 1000, 5},  {18, 3, 1, 10, 1},
    {19, 25, 0, 1000, 5},   {20, 25, 0, 1000, 5},   {21, 5, 0, 50, 1},      {22, 50, 0, 1000, 5},
    {23, 50, 0, 1000, 5},   {24, 200, 0, 1000, 5},  {25, 50, 0, 1000, 5},   {26, 3, 1, 10, 1},
    {28, 25, 0, 1000, 5},   {29, 25, 0, 1000, 5},   {30, 25, 0, 1000, 5},   {31, 25, 0, 1000, 5},
};

// The date seal's header field holds 7 bytes; the builder's header is cut to fit.
constexpr std::size_t kHeaderMaxBytes = 7;

// Coordinates drawn by the element preview stay within what a script may use.
int Coordinate(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, -kScriptMaxCoordinate, kScriptMaxCoordinate));
}

Rect Box(int left, int top, std::int64_t right, std::int64_t bottom) {
  return {Coordinate(left), Coordinate(top), Coordinate(right), Coordinate(bottom)};
}

int ScreenPixelsPerInch() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

// One tab's fields: a child dialog that hands its notifications to the builder.
class TGUIForm::Page : public DialogWindow {
 public:
  explicit Page(TGUIForm& builder) : builder_(builder) {}

 protected:
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_INITDIALOG:
        return FALSE;  // the focus stays where it is
      case WM_COMMAND:
        builder_.PageCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
      case WM_CTLCOLORSTATIC:
        // The one message whose result is the procedure's own return value.
        return reinterpret_cast<INT_PTR>(
            builder_.SwatchBrush(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
    }
    return FALSE;
  }

 private:
  TGUIForm& builder_;
};

TGUIForm::TGUIForm(TScrEditForm& editor) : editor_(editor) {
  swatches_.fill(kRed);
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font_, &font_);
}

TGUIForm::~TGUIForm() = default;

bool TGUIForm::Create(HWND owner) {
  if (!DialogWindow::Create(IDD_SCRIPT_BUILDER, owner)) return false;
  for (int i = 0; i < 6; ++i) SetSwatch(i + 1, swatches_[i]);
  CreatePages();
  InitialiseFields();
  ShowPage(Header);
  Edit1Change();
  initialising_ = false;
  return true;
}

void TGUIForm::CreatePages() {
  HWND tabs = Item(IDC_GUI_TABS);
  RECT area;
  GetWindowRect(tabs, &area);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&area), 2);
  TabCtrl_AdjustRect(tabs, FALSE, &area);
  // Narrow margins beside the titles: all seven tabs fit in one row.
  TabCtrl_SetPadding(tabs, 5, 3);
  for (int i = 0; i < kTabCount; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kTabs[i].title);
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  // Measured again now that the tabs take their room.
  GetWindowRect(tabs, &area);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&area), 2);
  TabCtrl_AdjustRect(tabs, FALSE, &area);
  for (int i = 0; i < kTabCount; ++i) {
    pages_[i] = std::make_unique<Page>(*this);
    if (!pages_[i]->Create(kTabs[i].templateId, hwnd_)) continue;
    SetWindowPos(pages_[i]->Handle(), HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOACTIVATE);
  }
}

void TGUIForm::InitialiseFields() {
  for (const NumberField& field : kNumberFields) {
    HWND edit = Field(field.edit);
    HWND updown = edit ? GetDlgItem(GetParent(edit), IDC_GUI_UPDOWN(field.edit)) : nullptr;
    if (updown) {
      SendMessageW(updown, UDM_SETRANGE32, field.minimum, field.maximum);
      UDACCEL step{0, static_cast<UINT>(field.step)};
      SendMessageW(updown, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
      SendMessageW(updown, UDM_SETPOS32, 0, field.initial);
    }
    SetWindowTextW(edit, std::to_wstring(field.initial).c_str());
  }
  SendMessageW(Field(32), EM_LIMITTEXT, kHeaderMaxBytes, 0);
  SetWindowTextW(Field(32), L"'");
  CheckRadioButton(pages_[Date]->Handle(), IDC_GUI_RADIO_WESTERN2, IDC_GUI_RADIO_WESTERN4, IDC_GUI_RADIO_WESTERN2);
}

void TGUIForm::ShowPage(int tab) {
  for (int i = 0; i < kTabCount; ++i)
    if (pages_[i] && pages_[i]->Handle()) ShowWindow(pages_[i]->Handle(), i == tab ? SW_SHOW : SW_HIDE);
}

int TGUIForm::ActiveTab() const { return TabCtrl_GetCurSel(Item(IDC_GUI_TABS)); }

HWND TGUIForm::Field(int n) const {
  for (const auto& page : pages_)
    if (page && page->Handle())
      if (HWND control = GetDlgItem(page->Handle(), IDC_GUI_EDIT(n))) return control;
  return nullptr;
}

// Typed text is taken as it is, converted like atol.
int TGUIForm::Number(int n) const { return ParseDecimal(FieldBytes(n)); }

std::string TGUIForm::FieldBytes(int n) const { return PreviewBytes(WindowText(Field(n))); }

std::string TGUIForm::HeaderBytes() const { return std::string(SjisPrefix(FieldBytes(32), kHeaderMaxBytes)); }

int TGUIForm::DateFormatIndex() const {
  HWND page = pages_[Date] ? pages_[Date]->Handle() : nullptr;
  if (IsDlgButtonChecked(page, IDC_GUI_RADIO_ERA) == BST_CHECKED) return 1;
  if (IsDlgButtonChecked(page, IDC_GUI_RADIO_WESTERN4) == BST_CHECKED) return 2;
  return 0;
}

BuilderFont TGUIForm::Font() const {
  BuilderFont font;
  font.name = PreviewBytes(font_.lfFaceName);
  font.points = MulDiv(std::abs(font_.lfHeight), 72, ScreenPixelsPerInch());
  font.style = static_cast<std::uint8_t>((font_.lfWeight >= FW_BOLD ? kStyleBold : 0) |
                                         (font_.lfItalic ? kStyleItalic : 0) |
                                         (font_.lfUnderline ? kStyleUnderline : 0) |
                                         (font_.lfStrikeOut ? kStyleStrikeOut : 0));
  return font;
}

FontSpec TGUIForm::CanvasFont(Color color) const {
  const BuilderFont font = Font();
  FontSpec canvasFont;
  canvasFont.name = font.name;
  canvasFont.size = font.points;
  canvasFont.color = color;
  canvasFont.style = font.style;
  canvasFont.charset = font_.lfCharSet;
  return canvasFont;
}

ScriptLines TGUIForm::ActiveLines() const {
  switch (ActiveTab()) {
    case Header: return HeaderLines(Number(1), Number(2), Number(3));
    case Circle: return CircleLines(Number(6), Number(7), Number(8), Number(9), Number(10), swatches_[0]);
    case Rectangle: return RectangleLines(Number(11), Number(12), Number(13), Number(14), Number(15), swatches_[1]);
    case RoundRect:
      return RoundRectLines(Number(16), Number(17), Number(18), Number(19), Number(20), Number(21), swatches_[2]);
    case StraightLine:
      return StraightLineLines(Number(22), Number(23), Number(24), Number(25), Number(26), swatches_[3]);
    case Text: return TextLines(FieldBytes(27), Number(28), Number(29), Font(), swatches_[4]);
    case Date: return DateLines(DateFormatIndex(), HeaderBytes(), Number(30), Number(31), Font(), swatches_[5]);
  }
  return {};
}

void TGUIForm::Button1Click() {
  const ScriptLines lines = ActiveLines();
  if (!lines.empty()) editor_.AppendLines(lines);
  editor_.SpeedButton6Click();
}

void TGUIForm::DrawElement(Canvas& canvas, int tab) const {
  auto pen = [&canvas](int width, Color color) {
    canvas.Pen.width = std::clamp(width, 0, kScriptMaxPenWidth);
    canvas.Pen.color = color;
  };
  switch (tab) {
    case Circle: {
      pen(Number(8), swatches_[0]);
      const std::int64_t cx = Number(6), cy = Number(7), rx = Number(9), ry = Number(10);
      canvas.Ellipse({Coordinate(cx - rx), Coordinate(cy - ry), Coordinate(cx + rx), Coordinate(cy + ry)});
      break;
    }
    case Rectangle:
      pen(Number(13), swatches_[1]);
      canvas.Rectangle(Box(Number(14), Number(15), std::int64_t{Number(14)} + Number(11),
                           std::int64_t{Number(15)} + Number(12)));
      break;
    case RoundRect: {
      pen(Number(18), swatches_[2]);
      const int corner = Coordinate(Number(21));
      canvas.RoundRect(Box(Number(19), Number(20), std::int64_t{Number(19)} + Number(16),
                           std::int64_t{Number(20)} + Number(17)),
                       corner, corner);
      break;
    }
    case StraightLine:
      pen(Number(26), swatches_[3]);
      canvas.MoveTo(Coordinate(Number(22)), Coordinate(Number(23)));
      canvas.LineTo(Coordinate(Number(24)), Coordinate(Number(25)));
      break;
    case Text:
      canvas.Font = CanvasFont(swatches_[4]);
      canvas.TextOut(Coordinate(Number(28)), Coordinate(Number(29)), FieldBytes(27));
      break;
    case Date: {
      // As the script's Date draws it, but with this tab's year style and
      // header, and without touching the date seal's own.
      canvas.Font = CanvasFont(swatches_[5]);
      const std::string text =
          ComposeDateText(HeaderBytes(), DateFormatIndex(), false, SystemClock(), OptionSettings);
      canvas.TextOut(Coordinate(Number(30)), Coordinate(Number(31)), text);
      break;
    }
  }
}

void TGUIForm::Button2Click() {
  editor_.SpeedButton6Click();
  const int tab = ActiveTab();
  ScriptImage* image = editor_.PreviewImage();
  if (!image || tab == Header || tab < 0 || tab >= kTabCount) return;
  DrawElement(image->Picture().BitmapCanvas(), tab);
  editor_.PreviewDrawn();
}

void TGUIForm::Button3Click() { FormClose(); }

void TGUIForm::Edit1Change() {
  const int width = Number(1), height = Number(2), dpi = Number(3);
  SetWindowTextW(Field(4), EditText(MillimetreText(width, dpi)).c_str());
  SetWindowTextW(Field(5), EditText(MillimetreText(height, dpi)).c_str());
}

void TGUIForm::FormClose() {
  editor_.SpeedButton6Click();
  ShowWindow(hwnd_, SW_HIDE);
}

void TGUIForm::SetSwatch(int swatch, Color color) {
  swatches_[swatch - 1] = color;
  swatchBrushes_[swatch - 1].reset(CreateSolidBrush(color));
  for (const auto& page : pages_)
    if (page && page->Handle())
      if (HWND control = GetDlgItem(page->Handle(), IDC_GUI_STATICTEXT(swatch))) InvalidateRect(control, nullptr, TRUE);
}

HBRUSH TGUIForm::SwatchBrush(HWND control, HDC hdc) {
  const int swatch = GetDlgCtrlID(control) - IDC_GUI_STATICTEXT(0);
  if (swatch < 1 || swatch > 6) return nullptr;
  SetBkColor(hdc, swatches_[swatch - 1]);
  return swatchBrushes_[swatch - 1].get();
}

void TGUIForm::PickColor(int swatch) {
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_;
  dialog.rgbResult = swatches_[swatch - 1];
  dialog.lpCustColors = customColors_.data();
  dialog.Flags = CC_RGBINIT | CC_ANYCOLOR;
  if (!ChooseColorW(&dialog)) return;
  SetSwatch(swatch, dialog.rgbResult & 0xFFFFFF);
  Button2Click();
}

void TGUIForm::PickFont(int swatch) {
  LOGFONTW chosen = font_;
  CHOOSEFONTW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_;
  dialog.lpLogFont = &chosen;
  dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
  dialog.rgbColors = swatches_[swatch - 1];
  if (!ChooseFontW(&dialog)) return;
  // The colour stays the tab's swatch colour.
  font_ = chosen;
  Button2Click();
}

void TGUIForm::PageCommand(int id, int notifyCode) {
  if (initialising_) return;
  if (notifyCode == EN_CHANGE) {
    if (id == IDC_GUI_EDIT(4) || id == IDC_GUI_EDIT(5)) return;  // the computed sizes
    if (id >= IDC_GUI_EDIT(1) && id <= IDC_GUI_EDIT(3)) Edit1Change();
    Button2Click();
    return;
  }
  if (notifyCode != BN_CLICKED) return;
  switch (id) {
    case IDC_GUI_SPEEDBUTTON(1): SpeedButton1Click(); break;
    case IDC_GUI_SPEEDBUTTON(2): SpeedButton2Click(); break;
    case IDC_GUI_SPEEDBUTTON(3): SpeedButton3Click(); break;
    case IDC_GUI_SPEEDBUTTON(4): SpeedButton4Click(); break;
    case IDC_GUI_SPEEDBUTTON(5): SpeedButton5Click(); break;
    case IDC_GUI_SPEEDBUTTON(6): SpeedButton6Click(); break;
    case IDC_GUI_SPEEDBUTTON(7): SpeedButton7Click(); break;
    case IDC_GUI_SPEEDBUTTON(8): SpeedButton8Click(); break;
    case IDC_GUI_RADIO_WESTERN2:
    case IDC_GUI_RADIO_ERA:
    case IDC_GUI_RADIO_WESTERN4: Button2Click(); break;
  }
}

INT_PTR TGUIForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return FALSE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == IDC_GUI_TABS && header->code == TCN_SELCHANGE) {
        ShowPage(ActiveTab());
        if (!initialising_) Button2Click();
      }
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_GUI_BUTTON1: Button1Click(); return TRUE;
        case IDC_GUI_BUTTON2: Button2Click(); return TRUE;
        case IDC_GUI_BUTTON3: Button3Click(); return TRUE;
        case IDOK:
        case IDCANCEL: return TRUE;  // neither Enter nor Esc adds or closes
      }
      return FALSE;
    case WM_CLOSE:
      FormClose();
      return TRUE;
  }
  return FALSE;
}
