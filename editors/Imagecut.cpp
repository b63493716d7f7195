#include "Imagecut.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Bitmapsave.h"
#include "Dialog.h"
#include "Dpi.h"
#include "FileSave.h"
#include "GdiWorkImage.h"
#include "ImageCodec.h"
#include "ProgramFolder.h"
#include "Records.h"
#include "Settings.h"
#include "Sjis.h"
#include "Text.h"
#include "Window.h"
#include "resource.h"

namespace {

constexpr int kFrameMax = 449;   // the frame's first and largest side
constexpr int kFrameStep = 4;    // its sides grow and shrink by this, about its centre
constexpr int kFrameFloor = 100;  // the buttons shrink no side below this (and a step)
constexpr int kMargin = 8;       // around the frame, in pixels at 96 dpi
constexpr int kColumnGap = 12;   // between the frame and the column of controls, the same
// A picture is never dragged so far that less of it than this stays in the
// frame: the user must be able to take hold of it again.
constexpr int kKeepInFrame = 16;

constexpr int kResolution260 = 26000;
constexpr int kResolution153 = 15294;

// The file-name part of a path without its extension.
std::wstring Stem(const std::wstring& path) {
  const std::size_t folderEnd = path.find_last_of(L"\\/:");
  std::wstring name = folderEnd == std::wstring::npos ? path : path.substr(folderEnd + 1);
  if (const std::size_t dot = name.find_last_of(L'.'); dot != std::wstring::npos) name.erase(dot);
  return name;
}

// Where the cut is saved: the user's own folder, which roams with the
// settings and which the user may write also when the program is installed.
std::wstring SealSavePath(const std::wstring& name) { return UserFile(name); }

// The frame: a white panel with a lowered inner bevel.
class CutFrame : public Window {
 public:
  bool Create(HWND parent) {
    return CreateWindowOf(L"VarnelCutFrame", 0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, L"", 0, 0, kFrameMax,
                          kFrameMax, parent, reinterpret_cast<HMENU>(INT_PTR{IDC_CUT_PANEL1}));
  }

 protected:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message != WM_PAINT) return Default(message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd_, &ps);
    RECT client;
    GetClientRect(hwnd_, &client);
    FillRect(hdc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawEdge(hdc, &client, BDR_SUNKENINNER, BF_RECT);
    EndPaint(hwnd_, &ps);
    return 0;
  }
};

// The picture at its natural size inside the frame; the mouse drags it.
class CutImage : public Window {
 public:
  bool Create(HWND frame) {
    return CreateWindowOf(L"VarnelCutImage", 0, WS_CHILD, L"", 0, 0, 0, 0, frame,
                          reinterpret_cast<HMENU>(INT_PTR{IDC_CUT_IMAGE1}));
  }
  void Show(GdiWorkImage& picture) {
    picture_ = &picture;
    SetWindowPos(hwnd_, nullptr, 0, 0, picture.BitmapWidth(), picture.BitmapHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
  // Position inside the frame.
  POINT Position() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top};
  }
  void MoveTo(POINT p) { SetWindowPos(hwnd_, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); }

  std::function<void(POINT)> OnMouseDown, OnMouseMove;
  std::function<void()> OnMouseUp;

 protected:
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) override {
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
      case WM_PAINT: Paint(); return 0;
      case WM_ERASEBKGND: return 1;  // the picture covers it all
      case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
        return TRUE;
      case WM_LBUTTONDOWN:
        SetCapture(hwnd_);
        if (OnMouseDown) OnMouseDown(p);
        return 0;
      case WM_MOUSEMOVE:
        // Only a move with the left button held drags: the system sends
        // moves of its own too (when the picture slides under a pointer
        // that stands still), and a button let go where the picture did
        // not see it ends the drag all the same.
        if ((wParam & MK_LBUTTON) && OnMouseMove) OnMouseMove(p);
        return 0;
      case WM_LBUTTONUP:
        ReleaseCapture();  // WM_CAPTURECHANGED ends the drag
        if (OnMouseUp) OnMouseUp();
        return 0;
      case WM_CAPTURECHANGED:
        if (OnMouseUp) OnMouseUp();
        return 0;
    }
    return Default(message, wParam, lParam);
  }

 private:
  void Paint() {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd_, &ps);
    if (picture_ && picture_->BitmapDc())
      BitBlt(hdc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
             ps.rcPaint.bottom - ps.rcPaint.top, picture_->BitmapDc(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
    EndPaint(hwnd_, &ps);
  }

  GdiWorkImage* picture_ = nullptr;
};

class TImgCut : public ModalDialog {
 public:
  explicit TImgCut(SettingsStore& store) : store_(store) {}

 protected:
  void OnInitDialog() override {
    dpi_ = WindowDpi(hwnd_);
    CreateFrame();
    Arrange();
    CentreOnMonitor();
    AddHints();
    FormCreate();
  }
  bool OnCommand(int id, int code) override {
    if (code != BN_CLICKED) return false;
    switch (id) {
      case IDOK: Button1Click(); return true;      // also Enter
      case IDCANCEL: Button2Click(); return true;  // also Esc
      case IDC_CUT_BUTTON3: Button3Click(); return true;
      case IDC_CUT_BUTTON4: Button4Click(); return true;
      case IDC_CUT_BUTTON5: Button5Click(); return true;
      case IDC_CUT_RES260: RadioGroupClick(0); return true;
      case IDC_CUT_RES153: RadioGroupClick(1); return true;
    }
    return false;
  }
  void OnClose() override { Button2Click(); }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR&) override {
    // On a monitor of another DPI the dialog manager scales every child;
    // the frame shows the scan's own pixels, so it takes its size back and
    // the column and the margins are laid out anew at the new DPI.
    if (message == WM_DPICHANGED) {
      dpi_ = HIWORD(wParam);
      PostMessageW(hwnd_, kRefitFrameMessage, 0, 0);
    }
    if (message != kRefitFrameMessage) return false;
    Arrange();
    return true;
  }

 private:
  static constexpr UINT kRefitFrameMessage = WM_APP + 1;
  void CreateFrame();
  void Arrange();
  void CentreOnMonitor();
  int Scaled(int pixels) const { return ScaleToDpi(pixels, dpi_); }
  void AddHints();
  void FormCreate();
  void ShowPrintSize();
  void Button1Click();
  void Button2Click() { End(IDCANCEL); }
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void RadioGroupClick(int item);
  void Image1MouseDown(POINT p);
  void Image1MouseMove(POINT p);
  void Image1MouseUp() { Dragging = false; }

  bool LoadPicture(const std::wstring& path, bool tellFailure);
  void SetFrameSize(SIZE size);
  void MarkChanged() {
    if (CutState != 0) CutState = 3;
  }
  bool SaveCut(const std::string& name, const std::wstring& path);

  SettingsStore& store_;
  CutFrame Panel1;
  CutImage Image1;
  std::unique_ptr<GdiWorkImage> picture_;  // the loaded picture, 24 bits
  HWND hints_ = nullptr;  // destroyed with the dialog, its owner
  // The frame's client size: the cut is one pixel more each way.
  SIZE frame_{kFrameMax, kFrameMax};
  UINT dpi_ = kDesignDpi;  // the monitor's, as WM_DPICHANGED last told it

  bool Dragging = false;
  int GrabX = 0, GrabY = 0;
  // 0 nothing loaded, 1 the current seal loaded, 2 a new file loaded, 3 moved or resized since.
  int CutState = 0;
  std::wstring SourceFile;
};

void TImgCut::CreateFrame() {
  Panel1.Create(hwnd_);
  Image1.Create(Panel1.Handle());
  Image1.OnMouseDown = [this](POINT p) { Image1MouseDown(p); };
  Image1.OnMouseMove = [this](POINT p) { Image1MouseMove(p); };
  Image1.OnMouseUp = [this] { Image1MouseUp(); };
}

// The frame keeps its exact pixel size, whatever the dialog font and DPI:
// the template's column of controls is moved beside it, at margins of the
// window's DPI, and the dialog fitted.
void TImgCut::Arrange() {
  SetFrameSize(frame_);
  const int columnLeft = Scaled(kMargin) + kFrameMax + Scaled(kColumnGap);
  const int frameBottom = Scaled(kMargin) + kFrameMax;
  std::vector<HWND> column;
  for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (child != Panel1.Handle() && GetParent(child) == hwnd_) column.push_back(child);
  int left = INT_MAX, right = 0, bottom = 0;
  auto rectOf = [this](HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  for (HWND child : column) left = std::min<int>(left, rectOf(child).left);
  for (HWND child : column) {
    RECT r = rectOf(child);
    OffsetRect(&r, columnLeft - left, 0);
    SetWindowPos(child, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The two closing buttons stand at the foot of the frame, or below the
  // column where a large font makes it the taller.
  const RECT radio = rectOf(Item(IDC_CUT_RADIOGROUP)), ok = rectOf(Item(IDOK)), cancel = rectOf(Item(IDCANCEL));
  const int gap = cancel.top - ok.top;
  const int cancelTop = std::max<int>(frameBottom - (cancel.bottom - cancel.top), radio.bottom + Scaled(8) + gap);
  for (auto [id, top] : {std::pair{IDOK, cancelTop - gap}, std::pair{IDCANCEL, cancelTop}})
    SetWindowPos(Item(id), nullptr, columnLeft, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (HWND child : column) {
    const RECT r = rectOf(child);
    right = std::max<int>(right, r.right);
    bottom = std::max<int>(bottom, r.bottom);
  }
  const SIZE window = WindowSizeForClient(hwnd_, right + Scaled(kMargin),
                                          std::max(bottom, frameBottom) + Scaled(kMargin), dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, window.cx, window.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TImgCut::CentreOnMonitor() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  SetWindowPos(hwnd_, nullptr, work.left + std::max(0, static_cast<int>(work.right - work.left) - width) / 2,
               work.top + std::max(0, static_cast<int>(work.bottom - work.top) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TImgCut::AddHints() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  hints_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (!hints_) return;
  SendMessageW(hints_, TTM_SETMAXTIPWIDTH, 0, 320);
  const struct {
    HWND control;
    const wchar_t* hint;
  } hints[] = {
      {Image1.Handle(), L"この画像をドラッグして印鑑のイメージ領域を設定します"},
      {Item(IDOK), L"カットした画像を保存してイメージカッターを終了します"},
      {Item(IDCANCEL), L"画像を保存せずにイメージカッターを終了します"},
      {Item(IDC_CUT_BUTTON3), L"ビットマップ画像を、このイメージカッターに読み込みます"},
      {Item(IDC_CUT_BUTTON4), L"印鑑イメージの画像領域を広くします"},
      {Item(IDC_CUT_BUTTON5), L"印鑑イメージの画像領域を狭くします"},
      {Item(IDC_CUT_PANEL2), L"印刷したときの画像全体の大きさを示します"},
  };
  for (const auto& h : hints) {
    // The common controls of every version take the short form.
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(h.control);
    tool.lpszText = const_cast<wchar_t*>(h.hint);
    SendMessageW(hints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void TImgCut::FormCreate() {
  CutState = 0;
  Image1.MoveTo({0, 0});
  const std::string_view seal = FieldText(OptionSettings.Bitmap1);
  if (const std::wstring file = seal != "0" ? FindProgramFile(Wide(seal)) : std::wstring();
      !file.empty() && LoadPicture(file, false)) {
    SourceFile = Wide(seal);
    // The frame fits the seal, both sides, so that saving it again keeps
    // its size and shape; the floor of the size buttons does not apply here.
    SetFrameSize({std::clamp(picture_->BitmapWidth() - 1, 1, kFrameMax),
                  std::clamp(picture_->BitmapHeight() - 1, 1, kFrameMax)});
    CutState = 1;
  }
  CheckRadioButton(hwnd_, IDC_CUT_RES260, IDC_CUT_RES153,
                   OptionSettings.Bitmap1Resolution == kResolution260 ? IDC_CUT_RES260 : IDC_CUT_RES153);
  ShowPrintSize();
}

// The printed width of the cut, (frame width + 1) pixels at the seal's resolution.
void TImgCut::ShowPrintSize() {
  wchar_t text[32] = L"--";
  if (OptionSettings.Bitmap1Resolution > 0) {
    const float millimetres =
        static_cast<float>(frame_.cx + 1) / static_cast<float>(OptionSettings.Bitmap1Resolution) * 1000.0f;
    swprintf(text, 32, L"%2.2f", static_cast<double>(millimetres));
  }
  SetItemText(IDC_CUT_PANEL2, text);
}

void TImgCut::SetFrameSize(SIZE size) {
  frame_ = size;
  const int margin = Scaled(kMargin);
  SetWindowPos(Panel1.Handle(), nullptr, margin + (kFrameMax - size.cx) / 2, margin + (kFrameMax - size.cy) / 2,
               size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

bool TImgCut::LoadPicture(const std::wstring& path, bool tellFailure) {
  const DecodedImage decoded = DecodeImageFile(std::wstring_view(path));
  auto loaded = std::make_unique<GdiWorkImage>();
  if (decoded.status == ImageFileStatus::Loaded) loaded->SetBitmapFromDib(decoded.dib);
  if (!loaded->Bitmap()) {
    if (tellFailure) {
      const std::wstring text = (decoded.status == ImageFileStatus::TooLarge ? L"画像が大きすぎるため読み込めません\n"
                                                                            : L"画像ファイルを読み込めません\n") +
                                path;
      MessageBoxW(hwnd_, text.c_str(), L"Varnel印鑑", MB_OK | MB_ICONWARNING);
    }
    return false;
  }
  picture_ = std::move(loaded);
  Image1.Show(*picture_);
  return true;
}

// The dialog leaves the current directory as it was.
void TImgCut::Button3Click() {
  std::vector<wchar_t> file(32768, L'\0');
  lstrcpynW(file.data(), L"varnel.bmp", static_cast<int>(file.size()));
  static constexpr wchar_t kFilter[] =
      L"画像ファイル (*.bmp;*.png;*.jpg;*.jpeg;*.tif;*.tiff;*.gif)\0*.bmp;*.png;*.jpg;*.jpeg;*.tif;*.tiff;*.gif\0"
      L"ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ (*.bmp)\0*.bmp\0"
      L"PNG画像 (*.png)\0*.png\0"
      L"JPEG画像 (*.jpg;*.jpeg)\0*.jpg;*.jpeg\0"
      L"TIFF画像 (*.tif;*.tiff)\0*.tif;*.tiff\0";
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = L"ビットマップファイルの読込み";
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  bool chosen = false;
  {
    const KeepCurrentDirectory keep;  // the open dialog ignores OFN_NOCHANGEDIR
    chosen = GetOpenFileNameW(&dialog) != FALSE;
  }
  if (!chosen) return;
  const std::wstring path = file.data();
  // The picture keeps its place in the frame.
  if (!LoadPicture(path, true)) return;
  CutState = 2;
  SourceFile = path;
}

// A frame fitted to a seal may be off the 4-pixel steps: no side grows
// beyond the first size.
void TImgCut::Button4Click() {
  if (std::min(frame_.cx, frame_.cy) >= kFrameMax) return;
  SetFrameSize({std::min<LONG>(frame_.cx + kFrameStep, kFrameMax), std::min<LONG>(frame_.cy + kFrameStep, kFrameMax)});
  ShowPrintSize();
  MarkChanged();
}

void TImgCut::Button5Click() {
  if (std::min(frame_.cx, frame_.cy) <= kFrameFloor) return;
  SetFrameSize({frame_.cx - kFrameStep, frame_.cy - kFrameStep});
  ShowPrintSize();
  MarkChanged();
}

// Takes effect at once, for the stamps too. A picture loaded or moved
// before stays to be saved: choosing the resolution is part of the cut.
void TImgCut::RadioGroupClick(int item) {
  OptionSettings.Bitmap1Resolution = item == 0 ? kResolution260 : kResolution153;
  ShowPrintSize();
}

void TImgCut::Image1MouseDown(POINT p) {
  Dragging = true;
  GrabX = p.x;
  GrabY = p.y;
  MarkChanged();
}

// The picture follows the pointer: it moves by the pointer's offset from
// where it was taken hold of.
void TImgCut::Image1MouseMove(POINT p) {
  if (!Dragging || !picture_) return;
  const POINT at = Image1.Position();
  const int w = picture_->BitmapWidth(), h = picture_->BitmapHeight();
  // Never more than the frame holds, or the bounds below would cross.
  const int frameWidth = frame_.cx, frameHeight = frame_.cy;
  const int keepX = std::min({kKeepInFrame, w, frameWidth}), keepY = std::min({kKeepInFrame, h, frameHeight});
  Image1.MoveTo({std::clamp<int>(at.x + p.x - GrabX, keepX - w, frameWidth - keepX),
                 std::clamp<int>(at.y + p.y - GrabY, keepY - h, frameHeight - keepY)});
}

void TImgCut::Button1Click() {
  if (CutState == 2 || CutState == 3) {
    OptionSettings.Bitmap1Resolution =
        IsDlgButtonChecked(hwnd_, IDC_CUT_RES260) == BST_CHECKED ? kResolution260 : kResolution153;
    const std::optional<std::string> name = AskBitmapSealName(hwnd_, Stem(SourceFile));
    if (name) {
      const std::wstring path = SealSavePath(Wide(*name));
      if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
          MessageBoxW(hwnd_, L"同一名のﾌｧｲﾙが存在します。上書しますか？", L"Varnel印鑑",
                      MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        End(IDOK);
        return;
      }
      // Nothing is lost when the file cannot be written: the cutter stays
      // open with the picture where the user put it.
      if (!SaveCut(*name, path)) return;
    }
  }
  End(IDOK);
}

// The part of the picture under the frame, one pixel more each way than the
// frame's client, white where the frame reaches beyond the picture; kept at
// 24 bits, which holds every picture's colours as they were loaded.
bool TImgCut::SaveCut(const std::string& name, const std::wstring& path) {
  const int width = frame_.cx + 1, height = frame_.cy + 1;
  GdiWorkImage cut;
  cut.SetSize(width, height);
  cut.BitmapCanvas();
  const POINT at = Image1.Position();
  RECT source{0, 0, picture_->BitmapWidth(), picture_->BitmapHeight()};
  const RECT frame{-at.x, -at.y, width - at.x, height - at.y};
  if (IntersectRect(&source, &source, &frame) && cut.BitmapDc() && picture_->BitmapDc())
    BitBlt(cut.BitmapDc(), source.left + at.x, source.top + at.y, source.right - source.left,
           source.bottom - source.top, picture_->BitmapDc(), source.left, source.top, SRCCOPY);
  PackedDib dib = cut.BitmapAsDib24();
  if (dib.size() < sizeof(BITMAPINFOHEADER)) return false;
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
  header->biXPelsPerMeter = header->biYPelsPerMeter = OptionSettings.Bitmap1Resolution;

  DWORD error = path.empty() ? ERROR_PATH_NOT_FOUND : ERROR_SUCCESS;
  if (error == ERROR_SUCCESS && path != ProgramFile(Wide(name))) error = MakeUserFolder();
  if (error == ERROR_SUCCESS)
    error = SaveReplacing(path, [&](const std::wstring& temporary) { return WriteBmpFile(temporary, dib); });
  if (error != ERROR_SUCCESS) {
    ReportSaveFailure(hwnd_, path, error);
    return false;
  }
  CopyToField(OptionSettings.Bitmap1, name);
  SaveOptionSettings(store_);
  return true;
}

}  // namespace

void RunImageCutter(HWND owner, SettingsStore& store) {
  TImgCut cutter(store);
  cutter.Run(IDD_IMGCUT, owner);
}
