#include "Mainform.h"

#include <shellapi.h>

#include <optional>

#include "Datechng.h"
#include "DateSeal.h"
#include "Dialog.h"
#include "Edit.h"
#include "FileSave.h"
#include "FileSystem.h"
#include "Imagecut.h"
#include "MenuIds.h"
#include "NameSeal.h"
#include "Option.h"
#include "Password.h"
#include "ProgramFolder.h"
#include "Dib.h"
#include "PdfStampDialog.h"
#include "Scredit.h"
#include "StampLogViewer.h"
#include "SealVectors.h"
#include "Settings.h"
#include "Sjis.h"
#include "Text.h"
#include "Window.h"
#include "resource.h"

namespace {

constexpr wchar_t kUserSelectionTitle[] = L"Varnel印鑑ユーザー選択";

class TAboutBox : public ModalDialog {
 protected:
  bool OnCommand(int id, int) override {
    if (id != IDOK && id != IDCANCEL) return false;
    End(id);
    return true;
  }
};

void AppendItem(HMENU menu, UINT id, const wchar_t* caption) {
  AppendMenuW(menu, id ? MF_STRING : MF_SEPARATOR, id, id ? caption : nullptr);
}

// Disables the submenu item of menu (searched one level down) that holds the item child.
void DisableSubmenuHolding(HMENU menu, UINT child) {
  for (int top = 0; top < GetMenuItemCount(menu); ++top) {
    HMENU sub = GetSubMenu(menu, top);
    for (int i = 0; sub && i < GetMenuItemCount(sub); ++i)
      if (GetSubMenu(sub, i) && GetMenuState(GetSubMenu(sub, i), child, MF_BYCOMMAND) != static_cast<UINT>(-1))
        EnableMenuItem(sub, i, MF_BYPOSITION | MF_GRAYED);
  }
}

}  // namespace

void NotifyUserSelection(bool userChangeRequested) {
  if (HWND selection = FindWindowW(nullptr, kUserSelectionTitle))
    PostMessageW(selection, WM_USER, userChangeRequested ? 2 : 1, 0);
}

TForm1::TForm1(SettingsStore& store, std::uint8_t& ready) : store_(store), desk_(ready, Seal) {
  Seal.AskDate = [this](std::string_view text) { return AskDate(text); };
  desk_.ExitProgram = [this] { AllExitClick(); };
}

bool TForm1::Create(HWND owner) {
  if (!desk_.Create()) return false;
  if (!CreateWindowOf(L"TForm1", 0, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, L"Varnel印鑑",
                      CW_USEDEFAULT, CW_USEDEFAULT, kWidthWithoutBitmapSeal, 140, owner, nullptr))
    return false;
  layout_.Attach(hwnd_);
  BuildMenu();
  const struct {
    PreviewImage& image;
    int id, x, y, size;
  } previews[] = {{Image1, IDC_IMAGE1, 8, 14, 49}, {Image2, IDC_IMAGE2, 62, 4, 69}, {Image3, IDC_IMAGE3, 136, 4, 69}};
  for (const auto& preview : previews) {
    preview.image.Create(hwnd_, preview.id, preview.x, preview.y, preview.size);
    layout_.Place(preview.image.Handle(), preview.x, preview.y, preview.size, preview.size);
  }
  Image1.OnClick = [this] { SpeedButton1Click(); };
  Image2.OnClick = [this] { SpeedButton2Click(); };
  Image3.OnClick = [this] { B1Click(); };
  const struct {
    const wchar_t* text;
    int x, width;
  } labels[] = {{L"認印", 8, 49}, {L"日付印", 62, 69}, {L"ﾋﾞｯﾄﾏｯﾌﾟ印", 136, 69}};
  for (const auto& label : labels) {
    HWND h = CreateWindowExW(0, L"STATIC", label.text, WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 0, 0, 0, hwnd_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    layout_.Place(h, label.x, 75, label.width, 14);
  }
  return true;
}

void TForm1::BuildMenu() {
  MainMenu1 = CreateMenu();
  HMENU file = CreatePopupMenu();
  HMENU stamp = CreatePopupMenu();
  AppendItem(stamp, IDM_N2, L"認印を押印(&N)");
  AppendItem(stamp, IDM_N1, L"日付印を押印(&D)");
  AppendItem(stamp, IDM_B1, L"ビットマップ印を押印(&B)");
  HMENU edit = CreatePopupMenu();
  AppendItem(edit, IDM_S1, L"認印・日付印の編集(&S)");
  AppendItem(edit, IDM_BITMAPEDIT, L"ビットマップ印の編集(&F)");
  AppendItem(edit, IDM_ERASESTAMP, L"ビットマップ印を消去(&E)");
  AppendItem(edit, IDM_G1, L"グラフィックスクリプトエディタ(&G)");
  HMENU output = CreatePopupMenu();
  AppendItem(output, IDM_MNAMEEXP, L"認印画像をファイル化 (&M)");
  AppendItem(output, IDM_MDATEEXP, L"日付印画像をファイル化 (&D)");
  AppendItem(output, IDM_PDFSTAMP, L"PDFに押印…");
  AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(stamp), L"クリップボード押印(&S)");
  AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"印鑑編集(&E)");
  AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(output), L"ファイル出力(&F)");
  AppendItem(file, IDM_OPTION1, L"オプション設定(&O)");
  AppendItem(file, IDM_STAMPLOG, L"押印履歴…");
  AppendItem(file, 0, nullptr);
  AppendItem(file, IDM_MHELP, L"Varnel印鑑ヘルプ(&H)");
  AppendItem(file, IDM_N4, L"バージョン情報((&V)");
  AppendItem(file, 0, nullptr);
  AppendItem(file, IDM_CU, L"ユーザー切替(&U)");
  AppendItem(file, IDM_ALLEXIT, L"Varnel印鑑を終了(&X)");
  AppendItem(file, IDM_SIMPLESTAMP, L"角印ツールバー表示ON/OFF (&T)");
  AppendItem(file, IDM_EXIT2, L"このスタンプ台を閉じる(&C)");
  AppendMenuW(MainMenu1, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"メニュー(&M)");
  // Erasing waits until there is a bitmap seal to erase.
  for (UINT id : {IDM_ERASESTAMP})
    EnableMenuItem(MainMenu1, id, MF_BYCOMMAND | MF_GRAYED);
}

void TForm1::AttachMenu() {
  SetMenu(hwnd_, OptionSettings.HideMenu == 0 ? MainMenu1 : nullptr);
  SetClientHeight();
}

void TForm1::SetClientHeight() {
  RECT client, window;
  GetClientRect(hwnd_, &client);
  GetWindowRect(hwnd_, &window);
  const int height = (window.bottom - window.top) - client.bottom + layout_(kClientHeight);
  SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::SetWidth(int width) {
  RECT window;
  GetWindowRect(hwnd_, &window);
  SetWindowPos(hwnd_, nullptr, 0, 0, layout_(width), window.bottom - window.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::EnableBoth(UINT padItem, UINT trayItem, bool enabled) {
  EnableMenuItem(MainMenu1, padItem, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  if (tray_) tray_->EnableItem(trayItem, enabled);
}

bool TForm1::FormCreate(TrayMenu& tray) {
  tray_ = &tray;
  const StampDesk::BusyScope busy(desk_);
  RunVersionCheck(store_, [this](std::string_view text) {
    MessageBoxW(hwnd_, Wide(text).c_str(), L"Varnel印鑑", MB_OK | MB_ICONINFORMATION);
  });
  LoadAllSettings(store_, ProgramFileExists);
  AttachMenu();
  MoveToStoredPosition();
  if (OptionSettings.PasswordCheck == 0 && !AskPassword(hwnd_)) {
    desk_.CloseForGood();
    return false;
  }
  EnableBoth(IDM_S1, IDM_TRAY_IMAGEEDIT, OptionSettings.EditorLock != 0);
  ShowPad();
  if (OptionSettings.MainToolBar != 0) SetTimer(hwnd_, kTimer1Id, 1000, nullptr);
  return true;
}

void TForm1::ShowPad() {
  const bool wasVisible = Visible();
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd_);
  if (!wasVisible) FormShow();
}

// Wx and Wy as the top-left corner; a position on no monitor (one that has
// been removed, a stored minimised position) is brought onto the nearest.
void TForm1::MoveToStoredPosition() {
  RECT window;
  GetWindowRect(hwnd_, &window);
  const RECT wanted = OntoAMonitor({OptionSettings.Wx, OptionSettings.Wy,
                                    OptionSettings.Wx + (window.right - window.left),
                                    OptionSettings.Wy + (window.bottom - window.top)});
  SetWindowPos(hwnd_, nullptr, wanted.left, wanted.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The restored window's top-left corner in screen coordinates, also while
// the window is minimised or hidden.
POINT TForm1::RestoredPosition() const {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(hwnd_, &placement)) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    return {r.left, r.top};
  }
  // The placement counts from the work area of the window's monitor.
  POINT corner{placement.rcNormalPosition.left, placement.rcNormalPosition.top};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromRect(&placement.rcNormalPosition, MONITOR_DEFAULTTONEAREST), &monitor)) {
    corner.x += monitor.rcWork.left - monitor.rcMonitor.left;
    corner.y += monitor.rcWork.top - monitor.rcMonitor.top;
  }
  return corner;
}

void TForm1::ApplyAdminPolicy() {
  Seal.DateChangeLocked = false;
  Policy = ReadAdminPolicy(store_);
  Seal.DateChangeLocked = Policy.DateChangeLocked;
  // Only disables; whatever enables these items later respects the policy too.
  if (Policy.SealEditorOff()) EnableBoth(IDM_S1, IDM_TRAY_IMAGEEDIT, false);
  if (Policy.BitmapEditOff()) {
    EnableBoth(IDM_BITMAPEDIT, IDM_TRAY_BITMAPEDIT, false);
    EnableBoth(IDM_ERASESTAMP, IDM_TRAY_ERASESTAMP, false);
  }
  if (Policy.ScriptEditorOff()) EnableBoth(IDM_G1, IDM_TRAY_N5, false);
  if (Policy.FileOutputOff()) {
    // The submenu, and its items so that their commands are refused too.
    DisableSubmenuHolding(MainMenu1, IDM_MNAMEEXP);
    EnableBoth(IDM_MNAMEEXP, IDM_TRAY_MNAMEEXP, false);
    EnableBoth(IDM_MDATEEXP, IDM_TRAY_MDATEEXP, false);
    EnableBoth(IDM_PDFSTAMP, IDM_TRAY_PDFSTAMP, false);
  }
}

void TForm1::DrawPreviews() {
  const int rotate = OptionSettings.Rotate;
  OptionSettings.Rotate = 0;  // previews are never tilted
  const InkImpression ink = PreviewImpression(OptionSettings);
  CreateWorkImage(Seal);
  DrawNameSealBitmap(Seal);
  ApplyInkEffect(Work(Seal), NameSealResolution(), ink);
  Image1.SetPicture(Work(Seal));
  FreeWorkImage(Seal);
  CreateWorkImage(Seal);
  DrawDateSealBitmap(Seal, false);
  ApplyInkEffect(Work(Seal), DateSealResolution(), ink);
  Image2.SetPicture(Work(Seal));
  FreeWorkImage(Seal);
  OptionSettings.Rotate = rotate;
}

void TForm1::FormShow() {
  ApplyAdminPolicy();
  LoadNameSealSettings(store_);
  LoadDateSealSettings(store_);
  LoadOptionSettings(store_, ProgramFileExists);
  DrawPreviews();
  LoadBitmapSealPreview();
  if (!FindWindowW(nullptr, kUserSelectionTitle)) EnableBoth(IDM_CU, IDM_TRAY_CU, false);
}

int TForm1::LoadBitmapSealPreview() {
  LoadOptionSettings(store_, ProgramFileExists);
  const std::string_view file = FieldText(OptionSettings.Bitmap1);
  if (file != "0") {
    // A file that is there but cannot be read stays the bitmap seal: the
    // stamp says so, and the user's setting is not lost.
    if (const LoadedBitmapSeal seal = LoadBitmapSeal(); seal.status != ImageFileStatus::Missing) {
      HasBitmapSeal = true;
      SetWidth(kWidthWithBitmapSeal);
      if (seal.image)
        Image3.SetPicture(*seal.image);
      else
        Image3.Clear();
      EnableBoth(IDM_B1, IDM_TRAY_OTHERSTAMP, true);
      EnableBoth(IDM_ERASESTAMP, IDM_TRAY_ERASESTAMP, !Policy.BitmapEditOff());
      return 1;
    }
    MessageBoxW(hwnd_, L"ﾋﾞｯﾄﾏｯﾌﾟ印画像が見つかりません", L"Varnel印鑑", MB_OK);
    CopyToField(OptionSettings.Bitmap1, "0");
    SaveOptionSettings(store_);
  }
  HasBitmapSeal = false;
  SetWidth(kWidthWithoutBitmapSeal);
  Image3.Clear();
  EnableBoth(IDM_B1, IDM_TRAY_OTHERSTAMP, false);
  EnableBoth(IDM_ERASESTAMP, IDM_TRAY_ERASESTAMP, false);
  return 0;
}

void TForm1::EnableStampImages(bool enabled) {
  for (PreviewImage* image : {&Image1, &Image2, &Image3}) EnableWindow(image->Handle(), enabled);
}

// While the date-change dialog is up, the entries to stamping are disabled;
// they come back however the dialog ends.
std::string TForm1::AskDate(std::string_view text) {
  const TrayMenuOff trayMenuOff(tray_);
  struct ImagesOff {
    TForm1& pad;
    explicit ImagesOff(TForm1& p) : pad(p) { pad.EnableStampImages(false); }
    ~ImagesOff() { pad.EnableStampImages(true); }
  } imagesOff(*this);
  return AskDateChange(hwnd_, text, *Seal.clock);
}

void TForm1::FormClose() {
  ShowWindow(hwnd_, SW_HIDE);
  if (OptionSettings.StayOnTaskTray == 0) AllExitClick();
  if (OptionSettings.ClipBrdClear == 1) desk_.Clearing().ClearClipboardAutomatically();
}

void TForm1::Button1Click() { FormClose(); }

void TForm1::FormDestroy() {
  if (hwnd_) {
    const POINT corner = RestoredPosition();
    OptionSettings.Wx = corner.x;
    OptionSettings.Wy = corner.y;
  }
  SaveAllSettings(store_);
  NotifyUserSelection(UserChangeRequested);
}

void TForm1::AllExitClick() {
  if (MessageBoxW(hwnd_, L"Varnel印鑑を終了します", L"Varnel印鑑", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  if (EndProgram) EndProgram();
  if (OptionSettings.ClipBrdClear == 1 || OptionSettings.ClipBrdClear == 2) desk_.Clearing().ClearAtExit();
}

void TForm1::cuClick() {
  UserChangeRequested = true;
  AllExitClick();
}

void TForm1::mHelpClick() {
  const std::wstring folder = ProgramFile(L"help");
  ShellExecuteW(hwnd_, L"open", (folder + L"\\index.html").c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
}

void TForm1::Button3Click() {
  if (desk_.Busy()) return;  // a stamp or another dialog is running
  const StampDesk::BusyScope busy(desk_);
  const TrayMenuOff trayMenuOff(tray_);
  RunSealEditor(hwnd_, store_, Policy);
  DrawPreviews();
}

void TForm1::Option1Click() {
  if (desk_.Busy()) return;
  const StampDesk::BusyScope busy(desk_);
  if (!desk_.PasswordGate(hwnd_)) return;
  {
    const TrayMenuOff trayMenuOff(tray_);
    RunOptionsDialog(hwnd_, store_);
    EnableBoth(IDM_S1, IDM_TRAY_IMAGEEDIT, OptionSettings.EditorLock != 0 && !Policy.SealEditorOff());
  }
  AttachMenu();
}

bool TForm1::ItemEnabled(UINT id) const {
  const UINT state = GetMenuState(MainMenu1, id, MF_BYCOMMAND);
  return state == static_cast<UINT>(-1) || (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

void TForm1::N4Click() {
  const StampDesk::BusyScope busy(desk_);
  TAboutBox about;
  about.Run(IDD_ABOUT, hwnd_);
}

// Ready and the tray menu stay as they are: stamps go on while scripts are edited.
void TForm1::G1Click() { RunScriptEditor(hwnd_, store_); }

void TForm1::mSumpleStamp0Click() {
  if (ToggleToolbar) ToggleToolbar();
}

void TForm1::Timer1Timer() {
  KillTimer(hwnd_, kTimer1Id);
  ShowWindow(hwnd_, SW_HIDE);
}

void TForm1::OnCommand(UINT id) {
  // A disabled item does nothing, also when its command is posted.
  if (!ItemEnabled(id)) return;
  switch (id) {
    case IDM_N2: SpeedButton1Click(); break;
    case IDM_N1: SpeedButton2Click(); break;
    case IDM_B1: B1Click(); break;
    case IDM_S1: Button3Click(); break;
    case IDM_OPTION1: Option1Click(); break;
    case IDM_MHELP: mHelpClick(); break;
    case IDM_N4: N4Click(); break;
    case IDM_G1: G1Click(); break;
    case IDM_CU: cuClick(); break;
    case IDM_ALLEXIT: AllExitClick(); break;
    case IDM_SIMPLESTAMP: mSumpleStamp0Click(); break;
    case IDM_BITMAPEDIT: BitmapEditClick(); break;
    case IDM_ERASESTAMP: EraseStampClick(); break;
    case IDM_MNAMEEXP: mNameExpClick(); break;
    case IDM_MDATEEXP: mDateExpClick(); break;
    case IDM_PDFSTAMP: mPdfStampClick(); break;
    case IDM_STAMPLOG: mStampLogClick(); break;
    case IDM_EXIT2: Button1Click(); break;
  }
}

LRESULT TForm1::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 && lParam == 0) OnCommand(LOWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1Id) Timer1Timer();
      return 0;
    case WM_CLOSE:
      FormClose();
      return 0;
    case WM_DPICHANGED:
      layout_.DpiChanged(wParam, lParam);
      return 0;
    case WM_FONTCHANGE:
      // A seal's font may now be another one: its next picture is drawn anew.
      Seal.Pictures.Clear();
      return 0;
  }
  return Default(message, wParam, lParam);
}

StampOrder TForm1::SealOrder(const SealDrawing& drawing) {
  StampOrder order;
  order.owner = hwnd_;
  order.put = [this, seal = drawing](ClipboardWriter& clipboard) mutable {
    seal.ink = desk_.Impression();
    return PutSealFormats(clipboard, Seal, seal, hwnd_);
  };
  return order;
}

void TForm1::SpeedButton1Click() {
  desk_.Stamp(SealOrder({NameSealResolution(), [this] { LoadNameSealSettings(store_); },
                         [this] { DrawNameSealBitmap(Seal); }, [this] { DrawNameSealMetafile(Seal); }, false,
                         StampSeal::kName, [] { return NameSealWords(NameSealSettings); }, {}}));
}

void TForm1::SpeedButton2Click() {
  desk_.Stamp(SealOrder({DateSealResolution(), [this] { LoadDateSealSettings(store_); },
                         [this] { DrawDateSealBitmap(Seal, true); }, [this] { DrawDateSealMetafile(Seal, true); },
                         true, StampSeal::kDate, [this] { return DateSealWords(DateSealSettings, Seal.DateText); },
                         {}}));
}

void TForm1::B1Click() {
  StampOrder order;
  order.owner = hwnd_;
  order.put = [this](ClipboardWriter& clipboard) {
    return StampBitmapSeal(clipboard, hwnd_, *Seal.clock, desk_.Impression());
  };
  desk_.Stamp(order);
}

void TForm1::ExportSeal(const SealExportRequest& request) {
  if (Policy.FileOutputOff()) return;
  ::ExportSeal(desk_, SaveDialog, hwnd_, request);
}

void TForm1::mNameExpClick() {
  ExportSeal({NameSealResolution(), true, L"認印画像をファイル化", [this] { LoadNameSealSettings(store_); },
              [this] { DrawNameSealBitmap(Seal); },
              [this](const VectorTools& tools) { return NameSealDrawing(Seal, tools); }, StampSeal::kName,
              [] { return NameSealWords(NameSealSettings); }});
}

void TForm1::mDateExpClick() {
  ExportSeal({DateSealResolution(), false, L"日付印画像をファイル化", [this] { LoadDateSealSettings(store_); },
              [this] { DrawDateSealBitmap(Seal, true); },
              // The date the bitmap asked for, not asked again.
              [this](const VectorTools& tools) { return DateSealDrawing(Seal, true, tools); }, StampSeal::kDate,
              [this] { return DateSealWords(DateSealSettings, Seal.DateText); }});
}

void TForm1::BitmapEditClick() {
  if (Policy.BitmapEditOff()) return;
  const StampDesk::BusyScope busy(desk_);
  {
    const TrayMenuOff disabled(tray_);
    const int resolution = OptionSettings.Bitmap1Resolution;
    RunImageCutter(hwnd_, store_);
    // The resolution chosen counts even when no seal was saved; the
    // preview below reloads the options, so it is stored now.
    if (OptionSettings.Bitmap1Resolution != resolution)
      if (auto root = store_.Open(VarnelKeyPath("")))
        root->Write("Bitmap1Resolution", std::to_string(OptionSettings.Bitmap1Resolution));
  }
  LoadBitmapSealPreview();
}

void TForm1::EraseStampClick() {
  if (Policy.BitmapEditOff() || FieldText(OptionSettings.Bitmap1) == "0") return;
  const StampDesk::BusyScope busy(desk_);
  if (MessageBoxW(hwnd_, L"保管されているﾋﾞｯﾄﾏｯﾌﾟ印鑑を削除します", L"Varnel印鑑", MB_OKCANCEL | MB_ICONQUESTION) !=
      IDOK)
    return;
  const std::optional<std::wstring> file = WideFromCp932(FieldText(OptionSettings.Bitmap1));
  // The user's copy; a seal only the program folder holds goes when that
  // folder may be changed, and otherwise belongs to the installation.
  const EraseResult erased = file ? EraseProgramFile(*file) : EraseResult{};
  switch (erased.outcome) {
    case EraseOutcome::Erased:
    case EraseOutcome::Missing:
      CopyToField(OptionSettings.Bitmap1, "0");
      SaveOptionSettings(store_);
      break;
    case EraseOutcome::BelongsToInstallation:
      TellBelongsToInstallation(hwnd_, erased.path);
      break;
    case EraseOutcome::Failed: {
      // The seal stays; the user learns why it could not go.
      const std::wstring text =
          L"ビットマップ印を削除できませんでした。\n" + erased.path + L"\n\n" + SystemErrorText(erased.error);
      MessageBoxW(hwnd_, text.c_str(), L"Varnel印鑑", MB_OK | MB_ICONERROR);
      break;
    }
  }
  LoadBitmapSealPreview();
}

std::optional<SealOutline> TForm1::OutlineSeal(const PdfSealChoice& choice, const VectorTools& tools) {
  switch (choice.kind) {
    case PdfSealKind::Name:
      LoadNameSealSettings(store_);
      return SealOutline{NameSealDrawing(Seal, tools), NameSealResolution(), StampSeal::kName,
                         NameSealWords(NameSealSettings)};
    case PdfSealKind::Date: {
      LoadDateSealSettings(store_);
      Seal.DateText.clear();  // the date asked as for the clipboard
      VectorDrawing drawing = DateSealDrawing(Seal, true, tools);
      return SealOutline{std::move(drawing), DateSealResolution(), StampSeal::kDate,
                         DateSealWords(DateSealSettings, Seal.DateText)};
    }
    case PdfSealKind::Bitmap: {
      if (!HasBitmapSeal) return std::nullopt;
      const LoadedBitmapSeal seal = LoadBitmapSeal();
      if (!seal.image) return std::nullopt;
      ApplySealRotation(*seal.image, *Seal.clock);
      return SealOutline{PictureDrawing(seal.image->BitmapAsDib24(), tools), BitmapSealResolution(),
                         StampSeal::kBitmap, std::string(FieldText(OptionSettings.Bitmap1))};
    }
    case PdfSealKind::Slot:
      if (ToolbarOutline) return ToolbarOutline(choice.slot - 1, tools);
      return std::nullopt;
  }
  return std::nullopt;
}

PdfStampResult TForm1::StampPdfRequest(const PdfStampRequest& request) {
  if (Policy.FileOutputOff()) return PdfStampResult::NotAllowed;
  return StampPdf(desk_, hwnd_, request,
                  [this](const PdfSealChoice& choice, const VectorTools& tools) { return OutlineSeal(choice, tools); })
      .result;
}

void TForm1::mPdfStampClick() {
  if (desk_.Busy() || Policy.FileOutputOff()) return;
  {
    const StampDesk::BusyScope busy(desk_);
    const TrayMenuOff trayMenuOff(tray_);
    const PdfStampSeals seals{HasBitmapSeal, ToolbarSlotNames ? ToolbarSlotNames() : std::vector<std::wstring>()};
    if (!AskPdfStamp(hwnd_, seals, pdfRequest_)) return;
  }
  const PdfStampOutcome outcome =
      StampPdf(desk_, hwnd_, pdfRequest_,
               [this](const PdfSealChoice& choice, const VectorTools& tools) { return OutlineSeal(choice, tools); });
  if (outcome.result == PdfStampResult::Cancelled) return;
  MessageBoxW(hwnd_, outcome.message.c_str(), L"Varnel印鑑",
              MB_OK | (outcome.result == PdfStampResult::Stamped ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void TForm1::mStampLogClick() {
  const StampDesk::BusyScope busy(desk_);
  RunStampLogViewer(hwnd_);
}
