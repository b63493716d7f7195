#include "Scredit.h"

#include "Dpi.h"

#include <commctrl.h>

#include <algorithm>

#include "ButtonGlyphs.h"
#include "FileSystem.h"
#include "FileSave.h"
#include "FileSystemWide.h"
#include "GraphicScript.h"
#include "ProgramFolder.h"
#include "ScriptFiles.h"
#include "ScriptReader.h"
#include "ScriptText.h"
#include "Screditgui.h"
#include "Settings.h"
#include "Text.h"
#include "ValueRules.h"
#include "resource.h"

namespace {

constexpr wchar_t kCaption[] = L"Varnel印鑑";

struct ButtonSpec {
  int id;
  Glyph glyph;
};
// Left to right, as the bar shows them; the builder's button stays hidden.
constexpr ButtonSpec kButtons[] = {
    {IDC_SCREDIT_SPEEDBUTTON4, Glyph::New},  {IDC_SCREDIT_SPEEDBUTTON1, Glyph::Open},
    {IDC_SCREDIT_SPEEDBUTTON2, Glyph::Save}, {IDC_SCREDIT_SPEEDBUTTON6, Glyph::Refresh},
    {IDC_SCREDIT_SPEEDBUTTON7, Glyph::Copy}, {IDC_SCREDIT_SPEEDBUTTON8, Glyph::Paste},
    {IDC_SCREDIT_SPEEDBUTTON5, Glyph::Finish}, {IDC_SCREDIT_SPEEDBUTTON3, Glyph::Builder},
};
constexpr int kButtonSide = 26;
constexpr int kGap = 4;
constexpr int kBarHeight = kButtonSide + 2 * kGap;
constexpr SIZE kMinimumSize{320, 240};

// ScriptPreviewMode for the length of one run.
class PreviewRun {
 public:
  PreviewRun() { ScriptPreviewMode = true; }
  ~PreviewRun() { ScriptPreviewMode = false; }
  PreviewRun(const PreviewRun&) = delete;
  PreviewRun& operator=(const PreviewRun&) = delete;
};

// A stored position that would leave the window on no monitor (a screen
// since removed, a hand-edited value) puts it at the nearest work area's corner.
void MoveOntoScreen(HWND hwnd, int x, int y, int width, int height, bool resize) {
  RECT r{x, y, x + width, y + height};
  if (!MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info);
    x = info.rcWork.left;
    y = info.rcWork.top;
  }
  SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (resize ? 0 : SWP_NOSIZE));
}

// The restored rectangle, also while minimised or maximised.
RECT NormalRect(HWND hwnd) {
  RECT r{};
  if (IsIconic(hwnd) || IsZoomed(hwnd)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(hwnd, &placement);
    return placement.rcNormalPosition;
  }
  GetWindowRect(hwnd, &r);
  return r;
}

struct ModalSearch {
  HWND modal;
  std::vector<HWND> disabled;
};

BOOL CALLBACK DisableIfOther(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<ModalSearch*>(lParam);
  if (hwnd != search->modal && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
    EnableWindow(hwnd, FALSE);
    search->disabled.push_back(hwnd);
  }
  return TRUE;
}

// Disables the thread's other windows for a modal showing, as a modal form
// does; returns those it disabled.
std::vector<HWND> DisableOtherWindows(HWND modal) {
  ModalSearch search{modal, {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableIfOther, reinterpret_cast<LPARAM>(&search));
  return search.disabled;
}

// Keyboard navigation for whichever dialog the message is meant for: the
// editor, the builder, or a window of the program shown meanwhile.
bool IsDialogMessageOfItsDialog(MSG& msg) {
  if (!msg.hwnd) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  wchar_t className[8] = {};
  if (!root || !GetClassNameW(root, className, 8) || std::wstring_view(className) != L"#32770") return false;
  return IsDialogMessageW(root, &msg) != FALSE;
}

}  // namespace

TScrEditForm::TScrEditForm(SettingsStore& store) : store_(store) { FormCreate(); }

// The builder goes first: it draws on the editor's preview. The tooltip
// goes with the editor, its owner.
TScrEditForm::~TScrEditForm() { GUIForm.reset(); }

void TScrEditForm::FormCreate() { LoadAllSettings(store_, ProgramFileExists); }

void TScrEditForm::ShowModal(HWND owner) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  if (!Create(IDD_SCRIPT_EDITOR, owner)) return;
  const std::vector<HWND> disabled = DisableOtherWindows(hwnd_);
  FormShow();
  MSG msg{};
  bool quit = false;
  while (!closed_) {
    MSG next;
    if (!PeekMessageW(&next, nullptr, 0, 0, PM_NOREMOVE)) KeepBuilderInFront();
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) quit = true;
    if (got <= 0) break;
    // Esc in a multi-line edit of a dialog closes the dialog; the text may
    // not be saved yet, so the key goes nowhere.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && msg.hwnd == Item(IDC_SCREDIT_MEMO1)) continue;
    if (IsDialogMessageOfItsDialog(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // The program is ending: the editor still keeps its place.
  if (!closed_) FormClose();
  // Enabled before the editor goes, so the owner becomes active again.
  for (HWND hwnd : disabled)
    if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  DestroyWindow(hwnd_);
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
}

void TScrEditForm::SetUpButtons() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  for (const ButtonSpec& entry : kButtons) {
    HWND button = Item(entry.id);
    UniqueHbitmap glyph = MakeButtonGlyph(entry.glyph);
    SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(glyph.get()));
    glyphs_.push_back(std::move(glyph));
    // The hint is the button's text too, for screen readers and automation.
    std::wstring hint = WindowText(button);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood with and without version 6 of the controls
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = hint.data();
    if (tooltip_) SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

// The bar and the gaps at the window's DPI; the preview shows the stamp's own pixels.
void TScrEditForm::Layout() {
  RECT client;
  GetClientRect(hwnd_, &client);
  const UINT dpi = WindowDpi(hwnd_);
  const int gap = ScaleToDpi(kGap, dpi), side = ScaleToDpi(kButtonSide, dpi), bar = ScaleToDpi(kBarHeight, dpi);
  int x = gap;
  for (const ButtonSpec& entry : kButtons) {
    SetWindowPos(Item(entry.id), nullptr, x, gap, side, side, SWP_NOZORDER | SWP_NOACTIVATE);
    x += side + ScaleToDpi(2, dpi);
  }
  const int height = std::max<int>(0, client.bottom - bar - gap);
  const int memoWidth = std::max<int>(0, (client.right - 3 * gap) / 2);
  SetWindowPos(Item(IDC_SCREDIT_MEMO1), nullptr, gap, bar, memoWidth, height, SWP_NOZORDER | SWP_NOACTIVATE);
  const int boxLeft = 2 * gap + memoWidth;
  SetWindowPos(ScrollBox.Handle(), nullptr, boxLeft, bar, std::max<int>(0, client.right - boxLeft - gap), height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TScrEditForm::SetMemoFont() {
  memoFont_.reset(CreateFontW(-ScaleToDpi(13, WindowDpi(hwnd_)), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                              SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              FIXED_PITCH | FF_MODERN, L"ＭＳ ゴシック"));
  if (memoFont_) SendMessageW(Item(IDC_SCREDIT_MEMO1), WM_SETFONT, reinterpret_cast<WPARAM>(memoFont_.get()), TRUE);
}

void TScrEditForm::FormShow() {
  auto key = store_.Open(VarnelKeyPath("Script"));
  auto value = [&key](std::string_view name, std::string_view defaultText) {
    return ParseDecimal(key ? LoadValueText(*key, name, defaultText) : std::string(defaultText));
  };
  const int x = value("EditorPosX", "0"), y = value("EditorPosY", "0");
  // The size is kept in pixels at 96 dpi, so the editor is as large on every display.
  const UINT dpi = WindowDpi(hwnd_);
  const int width = ScaleToDpi(std::max<int>(value("EditorSizeW", "640"), kMinimumSize.cx), dpi);
  const int height = ScaleToDpi(std::max<int>(value("EditorSizeH", "480"), kMinimumSize.cy), dpi);
  builderPosition_ = {value("GUIPosX", "170"), value("GUIPosY", "170")};
  MoveOntoScreen(hwnd_, x, y, width, height, true);
  ShowWindow(hwnd_, SW_SHOW);
  SetFocus(Item(IDC_SCREDIT_MEMO1));
  // The builder comes once the modal loop runs.
  PostMessageW(hwnd_, kShowBuilderMessage, 0, 0);
}

void TScrEditForm::ShowBuilder() {
  GUIForm = std::make_unique<TGUIForm>(*this);
  if (!GUIForm->Create(hwnd_)) return;
  RECT r;
  GetWindowRect(GUIForm->Handle(), &r);
  MoveOntoScreen(GUIForm->Handle(), builderPosition_.x, builderPosition_.y, r.right - r.left, r.bottom - r.top, false);
  SetWindowPos(GUIForm->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// An owned window stays above its owner. Where the platform raises the
// owner alone (Wine does when an X server exposes it), the builder is put
// back in front whenever the editor waits for input.
void TScrEditForm::KeepBuilderInFront() {
  if (!GUIForm || !GUIForm->Handle() || !IsWindowVisible(GUIForm->Handle())) return;
  for (HWND above = GetWindow(GUIForm->Handle(), GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    if (above == hwnd_) {
      SetWindowPos(GUIForm->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      return;
    }
  }
}

void TScrEditForm::StoreGeometry() {
  auto key = store_.Open(VarnelKeyPath("Script"));
  if (!key) return;
  const RECT r = NormalRect(hwnd_);
  WriteInt(*key, "EditorPosX", r.left);
  WriteInt(*key, "EditorPosY", r.top);
  const int dpi = static_cast<int>(WindowDpi(hwnd_));
  WriteInt(*key, "EditorSizeW", MulDiv(r.right - r.left, static_cast<int>(kDesignDpi), dpi));
  WriteInt(*key, "EditorSizeH", MulDiv(r.bottom - r.top, static_cast<int>(kDesignDpi), dpi));
  if (GUIForm && GUIForm->Handle()) {
    const RECT g = NormalRect(GUIForm->Handle());
    WriteInt(*key, "GUIPosX", g.left);
    WriteInt(*key, "GUIPosY", g.top);
  }
}

void TScrEditForm::FormClose() {
  StoreGeometry();
  GUIForm.reset();
  closed_ = true;
}

std::wstring TScrEditForm::Memo1Text() const { return WindowText(Item(IDC_SCREDIT_MEMO1)); }

void TScrEditForm::SpeedButton6Click() {
  TemporaryScriptFile script;
  const bool written = script.Write(PreviewBytes(Memo1Text()));
  ScriptImage& image = ScrollBox.NewImage(IDC_SCREDIT_IMAGE);
  const std::string path = script.ReaderPath();
  if (written && !path.empty()) {
    PreviewRun preview;
    RunGraphicScript(image.Picture(), path, form_);
  }
  PreviewDrawn();
}

void TScrEditForm::PreviewDrawn() {
  if (ScriptImage* image = ScrollBox.Image()) image->Refresh();
  ScrollBox.UpdateScrollBars();
}

void TScrEditForm::SpeedButton4Click() {
  SetWindowTextW(Item(IDC_SCREDIT_MEMO1), L"");
  SpeedButton6Click();
}

void TScrEditForm::SpeedButton1Click() {
  const std::optional<std::wstring> name = AskScriptToOpen(hwnd_, openFileName_);
  if (!name) return;
  openFileName_ = *name;
  saveFileName_ = *name;
  const std::optional<std::string> bytes = ReadFileBytes(*name, kScriptMaxFileBytes);
  if (!bytes) {
    // The text stays: it may hold work not yet saved.
    MessageBoxW(hwnd_, (L"「" + *name + L"」を開けませんでした。").c_str(), kCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  SetWindowTextW(Item(IDC_SCREDIT_MEMO1), EditText(EditorTextOfFile(*bytes)).c_str());
  SpeedButton6Click();
}

void TScrEditForm::SpeedButton2Click() {
  const std::optional<std::wstring> name = AskScriptToSave(hwnd_, saveFileName_);
  if (!name) return;
  const std::wstring path = WithVgsExtension(*name);
  saveFileName_ = path;
  const std::optional<std::string> bytes = Cp932FromWide(Memo1Text());
  if (!bytes) {
    MessageBoxW(hwnd_, L"シフトJISで表せない文字が含まれているため、保存できません。", kCaption,
                MB_OK | MB_ICONWARNING);
    return;
  }
  if (PathExists(path) && MessageBoxW(hwnd_, L"上書保存します。よろしいですか？", L"", MB_OKCANCEL) != IDOK) return;
  // A write that fails half-way (a full disk, a share gone) leaves the old file as it was.
  const DWORD error = SaveWholeFile(path, *bytes);
  if (error != ERROR_SUCCESS) ReportSaveFailure(hwnd_, path, error);
}

void TScrEditForm::SpeedButton3Click() {
  if (GUIForm && GUIForm->Handle()) ShowWindow(GUIForm->Handle(), SW_SHOW);
}

void TScrEditForm::SpeedButton5Click() { FormClose(); }

void TScrEditForm::SpeedButton7Click() { SendMessageW(Item(IDC_SCREDIT_MEMO1), WM_COPY, 0, 0); }

void TScrEditForm::SpeedButton8Click() {
  SendMessageW(Item(IDC_SCREDIT_MEMO1), WM_PASTE, 0, 0);
  SetFocus(Item(IDC_SCREDIT_MEMO1));
}

void TScrEditForm::AppendLines(const std::vector<std::string>& lines) {
  HWND memo = Item(IDC_SCREDIT_MEMO1);
  std::wstring text = Memo1Text();
  std::wstring added;
  // As lines are added to a memo: after a line end, each added line brings
  // its own; after a last line without one, each starts a new line.
  for (const std::string& line : lines) {
    const bool atLineStart = text.empty() || text.ends_with(L"\r\n");
    const std::wstring piece = atLineStart ? EditText(line) + L"\r\n" : L"\r\n" + EditText(line);
    text += piece;
    added += piece;
  }
  const auto end = static_cast<WPARAM>(GetWindowTextLengthW(memo));
  SendMessageW(memo, EM_SETSEL, end, static_cast<LPARAM>(end));
  SendMessageW(memo, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(added.c_str()));
}

bool TScrEditForm::OnCommand(int id) {
  switch (id) {
    case IDC_SCREDIT_SPEEDBUTTON1: SpeedButton1Click(); return true;
    case IDC_SCREDIT_SPEEDBUTTON2: SpeedButton2Click(); return true;
    case IDC_SCREDIT_SPEEDBUTTON3: SpeedButton3Click(); return true;
    case IDC_SCREDIT_SPEEDBUTTON4: SpeedButton4Click(); return true;
    case IDC_SCREDIT_SPEEDBUTTON5: SpeedButton5Click(); return true;
    case IDC_SCREDIT_SPEEDBUTTON6: SpeedButton6Click(); return true;
    case IDC_SCREDIT_SPEEDBUTTON7: SpeedButton7Click(); return true;
    case IDC_SCREDIT_SPEEDBUTTON8: SpeedButton8Click(); return true;
    // Esc and Enter outside the text: the editor has no OK or Cancel.
    case IDOK:
    case IDCANCEL: return true;
  }
  return false;
}

INT_PTR TScrEditForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SendMessageW(Item(IDC_SCREDIT_MEMO1), EM_SETLIMITTEXT, 0, 0);
      SetMemoFont();
      ScrollBox.Create(hwnd_, IDC_SCREDIT_SCROLLBOX);
      SetUpButtons();
      Layout();
      return FALSE;  // the focus is set when the editor is shown
    }
    case WM_SIZE:
      Layout();
      return TRUE;
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {ScaleToDpi(kMinimumSize.cx, WindowDpi(hwnd_)),
                                                               ScaleToDpi(kMinimumSize.cy, WindowDpi(hwnd_))};
      return TRUE;
    case WM_DPICHANGED:
      // The dialog manager scales the window and the dialog font; the
      // memo's own font follows here, the layout on WM_SIZE.
      SetMemoFont();
      return FALSE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
    case WM_CLOSE:
      FormClose();
      return TRUE;
    case kShowBuilderMessage:
      if (!closed_ && !GUIForm) ShowBuilder();
      return TRUE;
  }
  return FALSE;
}

void RunScriptEditor(HWND owner, SettingsStore& store) {
  static TScrEditForm* running = nullptr;
  if (running) {
    if (running->Handle()) SetForegroundWindow(running->Handle());
    return;
  }
  TScrEditForm editor(store);
  running = &editor;
  editor.ShowModal(owner);
  running = nullptr;
}
