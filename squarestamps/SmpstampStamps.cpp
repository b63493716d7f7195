// What a click on a stamp button does, by the slot's kind. Every stamp is an
// order to the stamp desk, which holds the steps of a stamp once.

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "DateSeal.h"
#include "Dialog.h"
#include "FileSystem.h"
#include "FontColourPick.h"
#include "GraphicScript.h"
#include "NameSeal.h"
#include "Policy.h"
#include "ProgramFolder.h"
#include "SealFormatFile.h"
#include "SealOutput.h"
#include "Settings.h"
#include "Smpstamp.h"
#include "Sjis.h"
#include "Text.h"
#include "TextStamps.h"
#include "UniqueHandle.h"
#include "VectorCanvas.h"
#include "resource.h"

namespace {

constexpr wchar_t kCaption[] = L"Varnel印鑑";
// A text file larger than this is not put on the clipboard.
constexpr std::size_t kMaxTextFileBytes = 64u << 20;

// The first maxBytes bytes of a file, read as the format files are: nothing
// when it cannot be opened or read.
std::optional<std::string> ReadFileStart(std::string_view path, std::size_t maxBytes) {
  const std::optional<std::wstring> wide = WideFromCp932(path);
  if (!wide || wide->empty()) return std::nullopt;
  const UniqueFile file(CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes(maxBytes, '\0');
  std::size_t got = 0;
  while (got < maxBytes) {
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + got, static_cast<DWORD>(maxBytes - got), &read, nullptr))
      return std::nullopt;
    if (read == 0) break;
    got += read;
  }
  bytes.resize(got);
  return bytes;
}

// The stored design and options come back after a stamp that replaced them
// in memory, however it ends.
class StoredSettingsRestored {
 public:
  explicit StoredSettingsRestored(SettingsStore& store) : store_(store) {}
  ~StoredSettingsRestored() {
    try {
      LoadAllSettings(store_, ProgramFileExists);
    } catch (...) {
      // Nothing better to do while unwinding; the next stamp reloads its seal.
    }
  }
  StoredSettingsRestored(const StoredSettingsRestored&) = delete;
  StoredSettingsRestored& operator=(const StoredSettingsRestored&) = delete;

 private:
  SettingsStore& store_;
};

// The folder a launched file starts in. A root keeps its backslash: "C:"
// alone names the current folder on that drive, not its root.
std::wstring LaunchFolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  const bool root = slash == 0 || path[slash - 1] == L':';
  return path.substr(0, root ? slash + 1 : slash);
}

// "登録されたファイルを読み込めませんでした" as a confirmation with its one
// button, "はい"; Esc and the close box also close it.
class TextFileUnreadable : public ModalDialog {
 protected:
  void OnInitDialog() override {
    SendMessageW(Item(IDC_SS_UNREADABLE_ICON), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_QUESTION)),
                 0);
    MessageBeep(MB_ICONQUESTION);
  }
  bool OnCommand(int id, int code) override {
    if (code != BN_CLICKED || (id != IDYES && id != IDCANCEL)) return false;
    End(IDYES);
    return true;
  }
};

// A picture of a text stamp must exist and stay within what the platform draws.
bool DrawablePicture(int width, int height) {
  return width > 0 && height > 0 && width <= GdiWorkImage::kMaxSide && height <= GdiWorkImage::kMaxSide &&
         static_cast<long long>(width) * height <= GdiWorkImage::kMaxPixels;
}

}  // namespace

// A click while another stamp or a modal dialog runs is dropped, as tray
// clicks are: that stamp may be drawing in the pad's picture holder.
void TSimpleStamp::SpeedButton1Click(int slot) {
  if (slot < 0 || slot >= kSlotCount || desk_.Busy()) return;
  desk_.Serve({StampTrigger::kToolbar}, [this, slot] { StampSlot(slot); });
}

void TSimpleStamp::StampSlot(int slot) {
  const std::string text = WindowTextCp932(buttons_[slot]);
  const int kind = KindOf(slot);
  const std::string file = state_.Slots[slot].File;
  const AdminPolicyState policy = ReadAdminPolicy(store_);
  switch (kind) {
    case skNameSealFile:
      if (!policy.Off(4)) StampNameSealFile(file);
      break;
    case skDateSealFile:
      if (!policy.Off(5)) StampDateSealFile(file);
      break;
    case skImageFile:
      if (!policy.Off(6)) StampImageFile(file);
      break;
    case skTextFile: StampTextFile(file); break;
    case skLaunch: Launch(file); break;
    case skWallpaperCentre: SetWallpaper(file, false); break;
    case skWallpaperTile: SetWallpaper(file, true); break;
    case skGraphicScript:
      if (!policy.Off(8)) StampScript(file, false);
      break;
    case skRotatedText: StampRotatedText(slot, text); break;
    case skMetafileScript:
      if (!policy.Off(8)) StampScript(file, true);
      break;
    default: StampSquare(slot, text); break;
  }
}

namespace {

// Puts a text stamp's metafile on the clipboard; its PNG is the metafile
// drawn at the screen's pixels and scale.
StampPut PlaceTextStamp(ClipboardWriter& clipboard, GdiWorkImage& picture, StampSeal seal, const std::string& text) {
  const int resolution = GdiWorkImage::ReferencePixelsPerMetre();
  SealFormats formats;
  if (PngWanted()) formats.png = TransparentPngOfMetafile(picture, resolution);
  const SIZE pixels{picture.Width(), picture.Height()};
  formats.SetMetafile(picture.TakeMetafile());
  StampPut put;
  put.label = LabelOf(formats, seal, text, resolution, pixels);
  WriteFormats(clipboard, formats);
  return put;
}

void TellTextTooLarge(HWND owner, bool empty) {
  MessageBoxW(owner,
              empty ? L"押印する文字列がありません。"
                    : L"文字が大きすぎるため押印できません。\n文字列か大きさを変えてください。",
              kCaption, MB_OK | MB_ICONWARNING);
}

void TellFormatFileUnreadable(HWND owner) { MessageBoxW(owner, L"認印書式ファイルを読み込めません", L"ERROR", MB_OK); }

const wchar_t kScriptTooLargeForDib[] =
    L"画像が大きすぎるため、DIB形式ではクリップボードに転送できません。\n"
    L"オプション設定で出力形式に拡張メタファイルを含めてください。";

StampPut Reported() {
  StampPut put;
  put.reported = true;
  return put;
}

}  // namespace

StampOrder TSimpleStamp::Order(AfterStamp after, bool asksPassword,
                               std::function<StampPut(ClipboardWriter&)> put) const {
  StampOrder order;
  order.owner = hwnd_;
  order.asksPassword = asksPassword;
  order.after = after;
  order.put = std::move(put);
  return order;
}

void TSimpleStamp::StampSquare(int slot, const std::string& text) {
  StampOrder order = Order(AfterStamp::HideStampPadAndToolbar, false, [&](ClipboardWriter& clipboard) {
    GdiWorkImage picture;
    const SquareStampLayout layout =
        DrawSquareStamp(picture, text, SquareStampFont(state_.SquareFormats[slot], state_.Common));
    if (!DrawablePicture(layout.width, layout.height)) {
      TellTextTooLarge(hwnd_, text.empty());
      return Reported();
    }
    return PlaceTextStamp(clipboard, picture, StampSeal::kSquareText, text);
  });
  order.metafileOnly = true;
  desk_.Stamp(order);
}

// Ends with the information message alone: no exit, hiding or clearing of
// the clipboard follows a rotated text.
void TSimpleStamp::StampRotatedText(int slot, const std::string& text) {
  StampOrder order = Order(AfterStamp::MessageOnly, false, [&](ClipboardWriter& clipboard) {
    const RotatedTextFormat& record = state_.RotatedFormats[slot];
    GdiWorkImage picture;
    const RotatedTextLayout layout =
        DrawRotatedText(picture, text, RotatedTextFont(record, state_.Common), record.Angle);
    if (text.empty() || !DrawablePicture(layout.width, layout.height)) {
      TellTextTooLarge(hwnd_, text.empty());
      return Reported();
    }
    return PlaceTextStamp(clipboard, picture, StampSeal::kRotatedText, text);
  });
  order.metafileOnly = true;
  desk_.Stamp(order);
}

// A seal from a format file: the file is read whole into a scratch record
// before anything is replaced (a short file leaves the design as it was),
// and the stored design comes back however the stamp ends.
void TSimpleStamp::StampSealFile(const std::function<bool()>& readDesign,
                                 const std::function<SealDrawing()>& drawing) {
  desk_.Stamp(Order(AfterStamp::HideStampPadAndToolbar, true, [&](ClipboardWriter& clipboard) {
    if (!readDesign()) {
      TellFormatFileUnreadable(hwnd_);
      return Reported();
    }
    const StoredSettingsRestored restored(store_);
    SealDrawing seal = drawing();
    seal.ink = desk_.Impression();
    return PutSealFormats(clipboard, desk_.Seal(), seal, hwnd_);
  }));
}

void TSimpleStamp::StampNameSealFile(const std::string& file) {
  std::optional<NameSealRecord> design;
  SealForm& seal = desk_.Seal();
  StampSealFile(
      [&] {
        const auto bytes = ReadFileStart(file, kNameSealFileBytes);
        design = bytes ? NameSealFromFormatFile(*bytes) : std::nullopt;
        return design.has_value();
      },
      [&] {
        return SealDrawing{CorrectedResolution(NameSealPixelsPerMetre(*design)),
                           [&] { NameSealSettings = *design; },
                           [&] { DrawNameSealBitmap(seal); },
                           [&] { DrawNameSealMetafile(seal); },
                           false,
                           StampSeal::kSealFile,
                           [&] { return file; },
                           {}};
      });
}

// The date seal from a file keeps its own scale: the correction does not apply.
void TSimpleStamp::StampDateSealFile(const std::string& file) {
  std::optional<DateSealRecord> design;
  SealForm& seal = desk_.Seal();
  StampSealFile(
      [&] {
        const auto bytes = ReadFileStart(file, kDateSealFileBytes);
        design = bytes ? DateSealFromFormatFile(*bytes) : std::nullopt;
        return design.has_value();
      },
      [&] {
        return SealDrawing{kDateSealPixelsPerMetre,
                           [&] { DateSealSettings = *design; },
                           [&] { DrawDateSealBitmap(seal, true); },
                           [&] { DrawDateSealMetafile(seal, true); },
                           true,
                           StampSeal::kSealFile,
                           [&] { return file; },
                           {}};
      });
}

// The picture stamps as the bitmap seal would, through the platform's
// decoder; the stored bitmap seal comes back afterwards.
void TSimpleStamp::StampImageFile(const std::string& file) {
  // The option holds 63 bytes: a shorter path would name another file.
  if (file.size() >= sizeof OptionSettings.Bitmap1) {
    MessageBoxW(hwnd_, L"画像ファイルのパスが長すぎるため押印できません。\n(63バイトまで)", kCaption,
                MB_OK | MB_ICONWARNING);
    return;
  }
  desk_.Stamp(Order(AfterStamp::HideToolbar, true, [&](ClipboardWriter& clipboard) {
    const StoredSettingsRestored restored(store_);
    CopyToField(OptionSettings.Bitmap1, file);
    return StampBitmapSeal(clipboard, hwnd_, *desk_.Seal().clock, desk_.Impression(), StampSeal::kPictureFile);
  }));
}

// The file's bytes as the text, and the same text converted from code page
// 932, so that it pastes right where another code page is the system's.
void TSimpleStamp::StampTextFile(const std::string& file) {
  desk_.Stamp(Order(AfterStamp::Nothing, false, [&](ClipboardWriter& clipboard) {
    const std::optional<std::string> bytes = ReadFileBytes(file, kMaxTextFileBytes);
    if (!bytes) {
      TextFileUnreadable().Run(IDD_SS_UNREADABLE, hwnd_);
      return Reported();
    }
    const std::string_view text(bytes->c_str());  // a reader stops at the first NUL anyway
    UniqueHglobal narrow(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (narrow) {
      GlobalLockGuard lock(narrow.get());
      if (lock.get()) std::memcpy(lock.get(), text.data(), text.size() + 1);
    }
    const std::wstring wide = WideShowingInvalid(text);
    UniqueHglobal unicode(GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t)));
    if (unicode) {
      GlobalLockGuard lock(unicode.get());
      if (lock.get()) std::memcpy(lock.get(), wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    }
    clipboard.Open();
    const bool placed = clipboard.PutGlobal(CF_TEXT, std::move(narrow));
    clipboard.PutGlobal(CF_UNICODETEXT, std::move(unicode));
    clipboard.Close();
    StampPut put;
    if (!placed) put.problem = L"テキストをクリップボードに転送できませんでした。";
    return put;
  }));
}

// Opening a file or a program leaves the clipboard alone.
void TSimpleStamp::Launch(const std::string& file) {
  const StampDesk::BusyScope busy(desk_);
  const std::wstring path = Wide(file);
  const std::wstring folder = LaunchFolderOf(path);
  ShellExecuteW(hwnd_, L"open", path.c_str(), nullptr, folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
}

// Centred or tiled at the picture's own size: the style value is set too,
// since a stretching style would otherwise win over the tiling choice.
void TSimpleStamp::SetWallpaper(const std::string& file, bool tile) {
  if (file.empty()) return;  // an empty name would take the wallpaper away
  const StampDesk::BusyScope busy(desk_);
  UniqueHkey desktop;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, desktop.put()) == ERROR_SUCCESS) {
    auto set = [&desktop](const wchar_t* name, const wchar_t* value) {
      RegSetValueExW(desktop.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                     static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t)));
    };
    set(L"TileWallpaper", tile ? L"1" : L"0");
    set(L"WallpaperStyle", L"0");
  }
  std::wstring path = Wide(file);
  SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
}

void TSimpleStamp::StampScript(const std::string& file, bool metafile) {
  SealForm& seal = desk_.Seal();
  StampOrder order = Order(AfterStamp::HideStampPadAndToolbar, true, [&](ClipboardWriter& clipboard) {
    CreateWorkImage(seal);
    const int r = metafile ? RunMetafileScript(*seal.WorkImage, file, seal) : RunGraphicScript(*seal.WorkImage, file, seal);
    if (r == 0) {
      // No picture: the file cannot be read, or it gives no resolution.
      FreeWorkImage(seal);
      MessageBoxW(hwnd_,
                  L"グラフィックスクリプトから画像を作れませんでした。\n"
                  L"ファイルがあるか、解像度(Reso)が指定されているかを確かめてください。",
                  kCaption, MB_OK | MB_ICONWARNING);
      return Reported();
    }
    const int resolution = CorrectedResolution(r);
    SealFormats formats = metafile ? VectorPictureFormats(Work(seal), resolution)
                                   : BitmapPictureFormats(Work(seal), resolution, hwnd_);
    const SIZE pixels = metafile ? SIZE{Work(seal).Width(), Work(seal).Height()}
                                 : SIZE{Work(seal).BitmapWidth(), Work(seal).BitmapHeight()};
    FreeWorkImage(seal);
    StampPut put = ReportOf(formats);
    put.label = LabelOf(formats, StampSeal::kScript, file, resolution, pixels);
    WriteFormats(clipboard, formats);
    if (!put.problem.empty()) put.problem = kScriptTooLargeForDib;
    return put;
  });
  order.metafileOnly = metafile;
  desk_.Stamp(order);
}

namespace {

// Whether a slot of this kind makes a picture, and the policy leaves it on.
bool MakesPicture(int kind, const AdminPolicyState& policy) {
  switch (kind) {
    case skSquare:
    case skRotatedText: return true;
    case skNameSealFile: return !policy.Off(4);
    case skDateSealFile: return !policy.Off(5);
    case skImageFile: return !policy.Off(6);
    case skGraphicScript:
    case skMetafileScript: return !policy.Off(8);
  }
  return false;
}

}  // namespace

std::vector<std::wstring> TSimpleStamp::PictureSlotNames() const {
  const AdminPolicyState policy = ReadAdminPolicy(store_);
  std::vector<std::wstring> names(kSlotCount);
  for (int n = 0; n < kSlotCount; ++n)
    if (MakesPicture(KindOf(n), policy)) names[n] = WideShowingInvalid(WindowTextCp932(buttons_[n]));
  return names;
}

// Each kind drawn by the routine its stamp uses, at the resolution its
// stamp has; a seal file's design replaces the stored one for the drawing.
std::optional<SealOutline> TSimpleStamp::SlotOutline(int slot, const VectorTools& tools) {
  if (slot < 0 || slot >= kSlotCount) return std::nullopt;
  const int kind = KindOf(slot);
  if (!MakesPicture(kind, ReadAdminPolicy(store_))) return std::nullopt;
  const std::string text = WindowTextCp932(buttons_[slot]);
  const std::string file = state_.Slots[slot].File;
  SealForm& seal = desk_.Seal();
  const int screen = GdiWorkImage::ReferencePixelsPerMetre();
  switch (kind) {
    case skSquare:
      if (text.empty()) return std::nullopt;
      return SealOutline{SquareStampDrawing(text, SquareStampFont(state_.SquareFormats[slot], state_.Common), tools),
                         screen, StampSeal::kSquareText, text};
    case skRotatedText: {
      if (text.empty()) return std::nullopt;
      const RotatedTextFormat& record = state_.RotatedFormats[slot];
      return SealOutline{
          RotatedTextDrawing(text, RotatedTextFont(record, state_.Common), record.Angle, tools), screen,
          StampSeal::kRotatedText, text};
    }
    case skNameSealFile: {
      const auto bytes = ReadFileStart(file, kNameSealFileBytes);
      const std::optional<NameSealRecord> design = bytes ? NameSealFromFormatFile(*bytes) : std::nullopt;
      if (!design) return std::nullopt;
      const StoredSettingsRestored restored(store_);
      NameSealSettings = *design;
      return SealOutline{NameSealDrawing(seal, tools), CorrectedResolution(NameSealPixelsPerMetre(*design)),
                         StampSeal::kSealFile, file};
    }
    case skDateSealFile: {
      const auto bytes = ReadFileStart(file, kDateSealFileBytes);
      const std::optional<DateSealRecord> design = bytes ? DateSealFromFormatFile(*bytes) : std::nullopt;
      if (!design) return std::nullopt;
      const StoredSettingsRestored restored(store_);
      DateSealSettings = *design;
      seal.DateText.clear();
      return SealOutline{DateSealDrawing(seal, true, tools), kDateSealPixelsPerMetre, StampSeal::kSealFile, file};
    }
    case skImageFile: {
      const DecodedImage decoded = DecodeImageFile(file);
      if (decoded.status != ImageFileStatus::Loaded) return std::nullopt;
      return SealOutline{PictureDrawing(decoded.dib, tools), BitmapSealResolution(), StampSeal::kPictureFile, file};
    }
    case skGraphicScript:
    case skMetafileScript: {
      VectorWorkImage picture(tools.glyphs, tools.ink);
      const int r = kind == skMetafileScript ? RunMetafileScript(picture, file, seal)
                                             : RunGraphicScript(picture, file, seal);
      if (r == 0) return std::nullopt;
      return SealOutline{picture.Drawing(), CorrectedResolution(r), StampSeal::kScript, file};
    }
  }
  return std::nullopt;
}
