#include "TextFormatDialog.h"

#include <commctrl.h>

#include <algorithm>

#include "FontColourPick.h"
#include "SimpleStampSettings.h"
#include "Text.h"
#include "resource.h"

TextFormatDialog::TextFormatDialog(const TextFormatValues& values, const TextFormatValues& defaults,
                                   std::string_view previewText)
    : values_(values), defaults_(defaults), previewText_(previewText) {}

bool TextFormatDialog::Edit(int templateId, HWND owner, TextFormatValues& values) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  if (Run(templateId, owner) != IDOK) return false;
  values = values_;
  return true;
}

void TextFormatDialog::OnInitDialog() {
  AddTooltips();
  FormShow();
}

// The picture buttons say what they do in their window text; the tip shows it.
void TextFormatDialog::AddTooltips() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd_,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  for (int id : {IDC_FMT_FONT, IDC_FMT_SIZE_DOWN, IDC_FMT_SIZE_UP, IDC_FMT_COLOR}) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(Item(id));
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void TextFormatDialog::FormShow() {
  CheckDlgButton(hwnd_, IDC_FMT_OWN, values_.OwnFormat ? BST_CHECKED : BST_UNCHECKED);
  EnableButtons(values_.OwnFormat, values_.OwnFormat);
  fontName_ = values_.FontName;
  fontSize_ = values_.FontSize;
  colour_ = values_.Colour;
  fontStyle_ = StyleOfCode(values_.StyleCode);
  ShowFont();
}

void TextFormatDialog::EnableButtons(bool fontAndSize, bool colour) {
  for (int id : {IDC_FMT_FONT, IDC_FMT_SIZE_DOWN, IDC_FMT_SIZE_UP}) EnableWindow(Item(id), fontAndSize);
  EnableWindow(Item(IDC_FMT_COLOR), colour);
}

void TextFormatDialog::ShowFont() {
  SetItemText(IDC_FMT_NAME, WideShowingInvalid(fontName_));
  SetItemText(IDC_FMT_SIZE, std::to_wstring(fontSize_));
  InvalidateRect(Item(IDC_FMT_SWATCH), nullptr, TRUE);
}

FontSpec TextFormatDialog::DialogFont() const {
  FontSpec font;
  font.color = colour_;
  font.charset = kDefaultCharset;
  font.name = fontName_;
  font.size = fontSize_;
  font.style = StyleOfCode(StyleCodeOf(fontStyle_, 0));
  return font;
}

// Cleared, the slot goes back to the common settings; the colour button stays.
void TextFormatDialog::CheckBox1Click() {
  const bool own = IsDlgButtonChecked(hwnd_, IDC_FMT_OWN) == BST_CHECKED;
  if (own) {
    EnableButtons(true, true);
  } else {
    EnableButtons(false, true);
    fontName_ = defaults_.FontName;
    fontSize_ = defaults_.FontSize;
    colour_ = defaults_.Colour;
    fontStyle_ = StyleOfCode(defaults_.StyleCode);
    ShowFont();
  }
  Preview();
}

void TextFormatDialog::SpeedButton1Click() {
  if (auto picked = PickFont(hwnd_, {fontName_, fontSize_, fontStyle_}, kFormatSizeMin, kFormatSizeMax)) {
    fontName_ = picked->name;
    fontSize_ = picked->points;
    fontStyle_ = picked->style;
    ShowFont();
  }
  Preview();
}

void TextFormatDialog::SpeedButton2Click() {
  fontSize_ = std::max(kFormatSizeMin, fontSize_ - 4);
  ShowFont();
  Preview();
}

void TextFormatDialog::SpeedButton3Click() {
  fontSize_ = std::min(kFormatSizeMax, fontSize_ + 4);
  ShowFont();
  Preview();
}

void TextFormatDialog::SpeedButton4Click() {
  if (auto colour = PickColour(hwnd_, colour_, customColours_)) {
    colour_ = *colour;
    ShowFont();
  }
  Preview();
}

// A plain style is stored as 4 by the dialogs; the toolbar's defaults store 0.
void TextFormatDialog::FormClose() {
  values_.OwnFormat = IsDlgButtonChecked(hwnd_, IDC_FMT_OWN) == BST_CHECKED;
  values_.FontName = fontName_;
  values_.FontSize = fontSize_;
  values_.Colour = colour_;
  values_.StyleCode = StyleCodeOf(fontStyle_, 4);
}

void TextFormatDialog::Preview() {
  preview_ = std::make_unique<GdiWorkImage>();
  DrawPreview(*preview_);
  InvalidateRect(Item(IDC_FMT_PREVIEW), nullptr, TRUE);
}

bool TextFormatDialog::OnCommand(int id, int notifyCode) {
  if (notifyCode != BN_CLICKED) return false;
  switch (id) {
    case IDC_FMT_OWN: CheckBox1Click(); return true;
    case IDC_FMT_FONT: SpeedButton1Click(); return true;
    case IDC_FMT_SIZE_DOWN: SpeedButton2Click(); return true;
    case IDC_FMT_SIZE_UP: SpeedButton3Click(); return true;
    case IDC_FMT_COLOR: SpeedButton4Click(); return true;
    case IDOK:
    case IDCANCEL:
      FormClose();
      End(id);
      return true;
  }
  return false;
}

bool TextFormatDialog::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
  switch (message) {
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      result = TRUE;
      return true;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == Item(IDC_FMT_ANGLE)) TrackBar1Change();
      return true;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->code != TTN_GETDISPINFOW) return false;
      auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
      GetWindowTextW(reinterpret_cast<HWND>(header->idFrom), info->szText, ARRAYSIZE(info->szText));
      return true;
    }
  }
  return false;
}

void TextFormatDialog::DrawItem(const DRAWITEMSTRUCT& item) {
  RECT r = item.rcItem;
  switch (item.CtlID) {
    case IDC_FMT_SWATCH: {
      DrawEdge(item.hDC, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
      const UniqueHbrush brush(CreateSolidBrush(colour_ & 0xFFFFFF));
      FillRect(item.hDC, &r, brush.get());
      break;
    }
    case IDC_FMT_SIZE_DOWN:
    case IDC_FMT_SIZE_UP: {
      UINT state = item.CtlID == IDC_FMT_SIZE_DOWN ? DFCS_SCROLLDOWN : DFCS_SCROLLUP;
      if (item.itemState & ODS_SELECTED) state |= DFCS_PUSHED;
      if (item.itemState & ODS_DISABLED) state |= DFCS_INACTIVE;
      DrawFrameControl(item.hDC, &r, DFC_SCROLL, state);
      if (item.itemState & ODS_FOCUS) {
        InflateRect(&r, -3, -3);
        DrawFocusRect(item.hDC, &r);
      }
      break;
    }
    case IDC_FMT_PREVIEW: PaintPreview(item); break;
  }
}

// The preview at its own size, made smaller only when it does not fit.
void TextFormatDialog::PaintPreview(const DRAWITEMSTRUCT& item) {
  RECT r = item.rcItem;
  DrawEdge(item.hDC, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  FillRect(item.hDC, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (!preview_ || !preview_->Metafile()) return;
  const int w = std::max(1, preview_->Width()), h = std::max(1, preview_->Height());
  const int roomW = r.right - r.left - 4, roomH = r.bottom - r.top - 4;
  double scale = std::min({1.0, static_cast<double>(roomW) / w, static_cast<double>(roomH) / h});
  const int drawW = std::max(1, static_cast<int>(w * scale)), drawH = std::max(1, static_cast<int>(h * scale));
  const int left = r.left + (r.right - r.left - drawW) / 2, top = r.top + (r.bottom - r.top - drawH) / 2;
  const RECT target{left, top, left + drawW, top + drawH};
  PlayEnhMetaFile(item.hDC, preview_->Metafile(), &target);
}
