#include "Smpstamp.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>

#include "FileSystem.h"
#include "FontColourPick.h"
#include "Policy.h"
#include "Rotformat.h"
#include "Settings.h"
#include "Smpformat.h"
#include "Sjis.h"
#include "Text.h"
#include "resource.h"

namespace {

constexpr const wchar_t* kKindCaptions[kStampKindCount] = {
    L"角印",         L"認印",        L"日付印",        L"画像印",   L"テキスト",    L"起動",
    L"壁紙（中央）", L"壁紙（ﾀｲﾙ）", L"ｸﾞﾗﾌｨｯｸｽｸﾘﾌﾟﾄ", L"回転文字", L"ﾒﾀﾌｧｲﾙｽｸﾘﾌﾟﾄ"};

// The open dialog's filter for a kind: description and pattern, each
// followed by a NUL, the list by another. Picture slots go through the
// platform's decoder, so their pictures may be of any kind it reads.
std::wstring FilterFor(int kind) {
  std::wstring filter;
  auto add = [&filter](const wchar_t* description, const wchar_t* pattern) {
    filter += description;
    filter += L'\0';
    filter += pattern;
    filter += L'\0';
  };
  switch (kind) {
    case skNameSealFile: add(L"認印書式ﾌｧｲﾙ(*.vln)", L"*.vln"); break;
    case skDateSealFile: add(L"日付印書式ﾌｧｲﾙ(*.vld)", L"*.vld"); break;
    case skImageFile:
      add(L"画像印(*.bmp)", L"*.bmp");
      add(L"画像ﾌｧｲﾙ(*.bmp;*.png;*.jpg;*.jpeg;*.tif;*.tiff;*.gif)", L"*.bmp;*.png;*.jpg;*.jpeg;*.tif;*.tiff;*.gif");
      break;
    case skTextFile: add(L"ﾃｷｽﾄﾌｧｲﾙ(*.txt)", L"*.txt"); break;
    case skLaunch: add(L"ｱﾌﾟﾘｹｰｼｮﾝ,各種文書(*.*)", L"*.*"); break;
    case skWallpaperCentre:
    case skWallpaperTile: add(L"壁紙(*.bmp)", L"*.bmp"); break;
    case skGraphicScript:
    case skMetafileScript: add(L"Varnelｸﾞﾗﾌｨｯｸｽｸﾘﾌﾟﾄ(*.vgs)", L"*.vgs"); break;
  }
  return filter;
}

// Layout in client pixels at 96 dpi: one row per slot, the edit button and the common
// settings in the row below.
constexpr int kRowPitch = 24;
constexpr int kRowHeight = 22;
constexpr int kTop = 2;
constexpr int kButtonX = 2;
constexpr int kEditX = 64, kEditWidth = 62;
constexpr int kKindX = 130, kKindWidth = 88;
constexpr int kFileX = 222, kFileWidth = 44;
constexpr int kFileNameX = 270, kFileNameWidth = 80;
constexpr int kRows = kSlotCount + 1;

int RowY(int row) { return kTop + row * kRowPitch; }

bool IsInRange(int id, int first) { return id >= first && id < first + kSlotCount; }

}  // namespace

TSimpleStamp::TSimpleStamp(SettingsStore& store, StampDesk& desk) : store_(store), desk_(desk) {}

TSimpleStamp::~TSimpleStamp() {
  if (tooltip_) DestroyWindow(tooltip_);
}

bool TSimpleStamp::Create(HWND owner) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, 0, RowY(kRows) + 2};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  if (!CreateWindowOf(L"TSimpleStamp", exStyle, style, L"Varnel印鑑", 0, 0, kCompactWidth, frame.bottom - frame.top,
                      owner, nullptr))
    return false;
  layout_.Attach(hwnd_);
  const SIZE size = WindowSizeForClient(hwnd_, 0, layout_(RowY(kRows) + 2), layout_.Dpi());
  SetWindowPos(hwnd_, nullptr, 0, 0, layout_(kCompactWidth), size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetClassLongPtrW(hwnd_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
  CreateControls();
  return true;
}

HWND TSimpleStamp::AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id, int x, int y,
                              int width, int height) {
  HWND control = CreateWindowExW(0, className, text, WS_CHILD | style, 0, 0, 0, 0, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  layout_.Place(control, x, y, width, height);
  return control;
}

// The tip shows the control's own text: a slot text wider than its button,
// a long file name.
void TSimpleStamp::AddTooltip(HWND control) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TSimpleStamp::CreateControls() {
  RECT client;
  GetClientRect(hwnd_, &client);
  const int clientWidth = MulDiv(client.right, kDesignDpi, static_cast<int>(layout_.Dpi()));
  const int buttonWidth = std::max(40, clientWidth - 2 * kButtonX);
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd_,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
  for (int n = 0; n < kSlotCount; ++n) {
    const int y = RowY(n);
    buttons_[n] = AddControl(L"BUTTON", L"", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, IDC_SS_BUTTON1 + n, kButtonX, y,
                             buttonWidth, kRowHeight);
    edits_[n] = AddControl(L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, IDC_SS_EDIT1 + n, kEditX, y + 1,
                           kEditWidth, kRowHeight - 2);
    kinds_[n] = AddControl(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, IDC_SS_KIND1 + n, kKindX, y,
                           kKindWidth, 300);
    for (const wchar_t* caption : kKindCaptions)
      SendMessageW(kinds_[n], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caption));
    files_[n] = AddControl(L"BUTTON", L"印指定", WS_TABSTOP | BS_PUSHBUTTON, IDC_SS_FILE1 + n, kFileX, y, kFileWidth,
                           kRowHeight);
    fileNames_[n] = AddControl(L"STATIC", L"", SS_NOTIFY | SS_SUNKEN | SS_PATHELLIPSIS | SS_CENTERIMAGE,
                               IDC_SS_FILENAME1 + n, kFileNameX, y + 1, kFileNameWidth, kRowHeight - 2);
    AddTooltip(buttons_[n]);
    AddTooltip(fileNames_[n]);
  }
  const int y = RowY(kSlotCount);
  editButton_ = AddControl(L"BUTTON", L"印編集", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, IDC_SS_EDITMODE, kButtonX, y,
                           buttonWidth, kRowHeight);
  sizeLabel_ = AddControl(L"STATIC", L"角印の大きさ", SS_CENTERIMAGE, IDC_SS_SIZE_LABEL, kEditX, y, 72, kRowHeight);
  tbSize = AddControl(TRACKBAR_CLASSW, L"角印の大きさ", WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM, IDC_SS_SIZE,
                      kEditX + 72, y, 90, kRowHeight);
  SendMessageW(tbSize, TBM_SETRANGE, FALSE, MAKELPARAM(kTrackMin, kTrackMax));
  SendMessageW(tbSize, TBM_SETPOS, TRUE, kTrackInitial);
  colourButton_ =
      AddControl(L"BUTTON", L"角印の色", WS_TABSTOP | BS_PUSHBUTTON, IDC_SS_COLOR, kEditX + 166, y, 56, kRowHeight);
  fontButton_ =
      AddControl(L"BUTTON", L"角印ﾌｫﾝﾄ", WS_TABSTOP | BS_PUSHBUTTON, IDC_SS_FONT, kEditX + 226, y, 60, kRowHeight);
}

// Left from X (else 0), top from Y (else just below the stamp pad's
// height); a position on no monitor is brought onto the nearest one.
void TSimpleStamp::FormCreate(HWND stampPad) {
  auto key = store_.Open(VarnelKeyPath(kSimpleStampSection));
  const std::string x = key ? key->Read("X") : std::string();
  const std::string y = key ? key->Read("Y") : std::string();
  const bool visible =
      OptionSettings.ShowExBar == 1 || (OptionSettings.ShowExBar == 0 && key && key->Read("Show").starts_with("1"));
  RECT pad{}, window{};
  GetWindowRect(stampPad, &pad);
  GetWindowRect(hwnd_, &window);
  const int width = window.right - window.left, height = window.bottom - window.top;
  const LONG left = x.empty() ? 0 : ParseDecimal(x);
  const LONG top = y.empty() ? (pad.bottom - pad.top) + 2 : ParseDecimal(y);
  const RECT wanted = OntoAMonitor({left, top, left + width, top + height});
  SetWindowPos(hwnd_, nullptr, wanted.left, wanted.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (visible) Show();
}

void TSimpleStamp::FormShow() {
  Loading = true;
  LoadSimpleStamp(store_, state_);
  for (int n = 0; n < kSlotCount; ++n) {
    SetWindowTextW(edits_[n], WideShowingInvalid(state_.Slots[n].Text).c_str());
    SendMessageW(kinds_[n], CB_SETCURSEL, state_.Slots[n].Kind, 0);
    ShowFileName(n);
    EnableFileName(n, state_.Slots[n].Kind);
  }
  SendMessageW(tbSize, TBM_SETPOS, TRUE, state_.Common.TrackPosition);
  SetCaptionsFromTexts();
  editMode_ = false;
  ShowEditControls(false);
  SetWidth(kCompactWidth);
  SetWindowTextW(editButton_, L"印編集");
  loaded_ = true;
  Loading = false;
  EnableWindow(editButton_, !ReadAdminPolicy(store_).Off(3));
}

void TSimpleStamp::SetCaptionsFromTexts() {
  for (int n = 0; n < kSlotCount; ++n) SetWindowTextW(buttons_[n], WideShowingInvalid(state_.Slots[n].Text).c_str());
}

void TSimpleStamp::ShowFileName(int slot) {
  SetWindowTextW(fileNames_[slot], WideShowingInvalid(state_.Slots[slot].File).c_str());
}

void TSimpleStamp::EnableFileName(int slot, int kind) { EnableWindow(fileNames_[slot], kind != skSquare); }

void TSimpleStamp::ShowEditControls(bool shown) {
  const int show = shown ? SW_SHOW : SW_HIDE;
  for (int n = 0; n < kSlotCount; ++n)
    for (HWND control : {edits_[n], kinds_[n], files_[n], fileNames_[n]}) ShowWindow(control, show);
  for (HWND control : {sizeLabel_, tbSize, colourButton_, fontButton_}) ShowWindow(control, show);
}

void TSimpleStamp::SetWidth(int width) {
  RECT window;
  GetWindowRect(hwnd_, &window);
  SetWindowPos(hwnd_, nullptr, 0, 0, layout_(width), window.bottom - window.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT TSimpleStamp::CompactPosition() const {
  if (editMode_) return compactPosition_;
  RECT window;
  GetWindowRect(hwnd_, &window);
  return {window.left, window.top};
}

void TSimpleStamp::SpeedButton11Click() {
  RECT window;
  GetWindowRect(hwnd_, &window);
  if (!editMode_) {
    compactPosition_ = {window.left, window.top};
    // Centred on the monitor the toolbar is on, not on the primary one.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int top = work.top + ((work.bottom - work.top) - (window.bottom - window.top)) / 2;
    const int left = work.left + ((work.right - work.left) - layout_(kEditCentringWidth)) / 2;
    editMode_ = true;
    SetWindowTextW(editButton_, L"編集終了");
    SetWindowPos(hwnd_, nullptr, left, top, layout_(kEditWidth), window.bottom - window.top, SWP_NOZORDER);
    ShowEditControls(true);
    return;
  }
  TakeControls();
  ShowEditControls(false);
  SetWindowPos(hwnd_, nullptr, compactPosition_.x, compactPosition_.y, layout_(kCompactWidth),
               window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);
  SetCaptionsFromTexts();
  SetWindowTextW(editButton_, L"印編集");
  // Saved with the compact position.
  Save();
  editMode_ = false;
}

int TSimpleStamp::KindOf(int slot) const {
  const LRESULT index = SendMessageW(kinds_[slot], CB_GETCURSEL, 0, 0);
  return index >= 0 && index < kStampKindCount ? static_cast<int>(index) : skSquare;
}

std::string TSimpleStamp::SlotText(int slot) const { return WindowTextCp932(edits_[slot]); }

void TSimpleStamp::TakeControls() {
  if (!loaded_) return;
  for (int n = 0; n < kSlotCount; ++n) {
    state_.Slots[n].Text = SlotText(n);
    state_.Slots[n].Kind = KindOf(n);
  }
  state_.Common.TrackPosition = static_cast<int>(SendMessageW(tbSize, TBM_GETPOS, 0, 0));
}

void TSimpleStamp::Save() {
  if (!loaded_) return;
  TakeControls();
  const POINT corner = CompactPosition();
  SaveSimpleStamp(store_, state_, corner.x, corner.y);
}

void TSimpleStamp::RadioGroup1Click(int slot) {
  if (Loading) return;
  const int kind = KindOf(slot);
  state_.Slots[slot].Kind = kind;
  state_.Slots[slot].File.clear();
  ShowFileName(slot);
  EnableFileName(slot, kind);
  SetWindowTextW(edits_[slot], Wide(KindChangeText(kind)).c_str());
}

void TSimpleStamp::File1Click(int slot) {
  const int kind = KindOf(slot);
  if (kind == skSquare) return OpenSquareFormat(slot);
  if (kind == skRotatedText) return OpenRotatedFormat(slot);
  const std::wstring filter = FilterFor(kind);
  wchar_t path[MAX_PATH] = {};
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = hwnd_;
  open.lpstrFilter = filter.c_str();
  open.lpstrFile = path;
  open.nMaxFile = MAX_PATH;
  open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&open)) return;
  const std::optional<std::string> file = Cp932FromWide(path);
  if (!file) {
    // The registry keeps names in code page 932; this one would name another file.
    MessageBoxW(hwnd_, L"このファイル名には使用できない文字が含まれています。", L"Varnel印鑑", MB_OK | MB_ICONWARNING);
    return;
  }
  state_.Slots[slot].File = *file;
  ShowFileName(slot);
}

namespace {

// What a slot's format dialog starts from: the slot's own format, or the
// common text settings that stand in for it.
template <typename Format>
TextFormatValues FormatValues(const Format& record, const TextFormatValues& common) {
  if (record.OwnFormat != 1) return common;
  return {true, record.FontName, record.FontSize, record.StyleCode, static_cast<Color>(record.Color), 0};
}

template <typename Format>
void TakeFormatValues(Format& record, const TextFormatValues& values) {
  record.OwnFormat = values.OwnFormat ? 1 : 0;
  record.FontName = values.FontName;
  record.FontSize = values.FontSize;
  record.StyleCode = values.StyleCode;
  record.Color = static_cast<std::int32_t>(values.Colour);
}

}  // namespace

TextFormatValues TSimpleStamp::CommonFormatValues() const {
  const CommonTextSettings& common = state_.Common;
  return {false, common.FontName, common.FontSize(), StyleCodeOf(common.FontStyle, 0),
          static_cast<Color>(common.Color), 0};
}

void TSimpleStamp::OpenSquareFormat(int slot) {
  SquareTextFormat& record = state_.SquareFormats[slot];
  const TextFormatValues defaults = CommonFormatValues();
  TextFormatValues values = FormatValues(record, defaults);
  if (!EditSquareFormat(hwnd_, values, defaults, SlotText(slot))) return;
  TakeFormatValues(record, values);
}

void TSimpleStamp::OpenRotatedFormat(int slot) {
  RotatedTextFormat& record = state_.RotatedFormats[slot];
  const TextFormatValues defaults = CommonFormatValues();
  TextFormatValues values = FormatValues(record, defaults);
  values.Angle = record.Angle;
  if (!EditRotatedFormat(hwnd_, values, defaults, SlotText(slot))) return;
  TakeFormatValues(record, values);
  record.Angle = values.Angle;
}

void TSimpleStamp::FileName1DblClick(int slot) {
  const std::string& file = state_.Slots[slot].File;
  if (file.size() < 4 || file.substr(file.size() - 4) != ".txt") return;
  ShellExecuteW(hwnd_, L"open", Wide(file).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TSimpleStamp::SpeedButton12Click() {
  if (auto colour = PickColour(hwnd_, static_cast<COLORREF>(state_.Common.Color), customColours_))
    state_.Common.Color = static_cast<std::int32_t>(*colour);
}

void TSimpleStamp::SpeedButton13Click() {
  CommonTextSettings& common = state_.Common;
  const auto picked = PickFont(hwnd_, {common.FontName, common.FontSize(), common.FontStyle});
  if (!picked) return;
  common.FontName = picked->name;
  common.FontStyle = picked->style;
  // The size snaps to the track bar: a multiple of 4 from 8 to 80 points.
  if (picked->points != common.FontSize()) {
    common.TrackPosition = TrackPositionForFontSize(picked->points);
    SendMessageW(tbSize, TBM_SETPOS, TRUE, common.TrackPosition);
  }
}

void TSimpleStamp::tbSizeChange() {
  state_.Common.TrackPosition = static_cast<int>(SendMessageW(tbSize, TBM_GETPOS, 0, 0));
}

void TSimpleStamp::FormClose() {
  Hide();
  if (OptionSettings.ClipBrdClear == 1) desk_.Clearing().ClearClipboardAutomatically();
}

// At the end of the program: everything saved, edit mode or not.
void TSimpleStamp::FormDestroy() { Save(); }

bool TSimpleStamp::IsDialogMessage(MSG& msg) {
  if (!hwnd_ || !IsWindowVisible(hwnd_) || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

void TSimpleStamp::OnCommand(int id, int code) {
  if (IsInRange(id, IDC_SS_BUTTON1) && code == BN_CLICKED) return SpeedButton1Click(id - IDC_SS_BUTTON1);
  if (IsInRange(id, IDC_SS_KIND1) && code == CBN_SELCHANGE) return RadioGroup1Click(id - IDC_SS_KIND1);
  if (IsInRange(id, IDC_SS_FILE1) && code == BN_CLICKED) return File1Click(id - IDC_SS_FILE1);
  if (IsInRange(id, IDC_SS_FILENAME1) && code == STN_DBLCLK) return FileName1DblClick(id - IDC_SS_FILENAME1);
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_SS_EDITMODE: SpeedButton11Click(); break;
    case IDC_SS_COLOR: SpeedButton12Click(); break;
    case IDC_SS_FONT: SpeedButton13Click(); break;
  }
}

LRESULT TSimpleStamp::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == tbSize) tbSizeChange();
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        const HWND control = reinterpret_cast<HWND>(header->idFrom);
        tipText_.assign(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
        GetWindowTextW(control, tipText_.data(), static_cast<int>(tipText_.size()));
        info->lpszText = tipText_.data();
        return 0;
      }
      break;
    }
    case WM_SHOWWINDOW:
      // Each showing reloads; hiding leaves edit mode, which saves the edits.
      if (lParam == 0 && wParam) FormShow();
      if (lParam == 0 && !wParam && editMode_) SpeedButton11Click();
      break;
    case WM_DPICHANGED: layout_.DpiChanged(wParam, lParam); return 0;
    case WM_CLOSE: FormClose(); return 0;
    case WM_DESTROY:
      FormDestroy();
      tooltip_ = nullptr;  // destroyed with its owner
      return 0;
  }
  return Default(message, wParam, lParam);
}
