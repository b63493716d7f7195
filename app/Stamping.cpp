// The three stamp operations and the builders of the clipboard formats.

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "DateSeal.h"
#include "Dib.h"
#include "Docidform.h"
#include "FileSystem.h"
#include "GdiCanvas.h"
#include "ImageCodec.h"
#include "Mainform.h"
#include "NameSeal.h"
#include "Password.h"
#include "Patterns.h"
#include "Security.h"
#include "Settings.h"
#include "Sjis.h"
#include "Smpstamp.h"
#include "UniqueHandle.h"

namespace {

// A stored correction of zero or less would divide by zero: it counts as none.
int RezoHosei() { return OptionSettings.RezoHosei > 0 ? OptionSettings.RezoHosei : 100; }

bool WantsMetafile() { return OptionSettings.ClipboardFormat == 0 || OptionSettings.ClipboardFormat == 2; }
bool WantsDib() { return OptionSettings.ClipboardFormat == 1 || OptionSettings.ClipboardFormat == 2; }
// The formats that go in one clipboard session; a DIB alone opens it itself.
bool WantsSession() { return WantsMetafile() || PngWanted(); }

constexpr std::size_t kDibHeaderAndTable = 104;  // 40-byte header and 16 colours

// Hundredths of a millimetre that the platform gives a metafile's frame.
SIZE FrameSize(HENHMETAFILE metafile) {
  ENHMETAHEADER header{};
  if (!metafile || GetEnhMetaFileHeader(metafile, sizeof header, &header) == 0) return {0, 0};
  return {header.rclFrame.right - header.rclFrame.left, header.rclFrame.bottom - header.rclFrame.top};
}

CopyMode CopyModeOf(int documentFilter, CopyMode current) {
  switch (documentFilter) {
    case 0: return CopyMode::SrcCopy;
    case 1: return CopyMode::SrcAnd;
    case 2: return CopyMode::SrcPaint;
  }
  return current;
}

// A seal picture's designed size in hundredths of a millimetre, and the
// screen pixels nearest to it, in which whatever is drawn around the seal
// (the security marks, the background pattern) is laid out.
struct PictureSize {
  SIZE physical;
  SIZE pixels;
};

PictureSize SealPictureSize(int width, int height, int resolution) {
  const SIZE physical{static_cast<LONG>(static_cast<long long>(width) * 100000 / resolution),
                      static_cast<LONG>(static_cast<long long>(height) * 100000 / resolution)};
  return {physical, GdiWorkImage::PixelsFor(physical)};
}

// The seal over exactly its designed size: whole screen pixels would make
// it up to half a pixel, a few per cent of a seal, too large or too small.
void DrawAtPhysicalSize(Canvas& canvas, POINT origin, SIZE size, GdiWorkImage& seal) {
  if (auto* gdi = dynamic_cast<GdiCanvas*>(&canvas)) gdi->StretchDrawPhysical(origin, size, seal);
}

// A 16-colour DIB of the bitmap in a block of at least minimumBytes, with
// the stamp resolution as its pixels per metre.
UniqueHglobal SixteenColourDib(GdiWorkImage& image, int resolution, std::size_t minimumBytes) {
  const PackedDib dib = image.BitmapAsDib(4);
  if (dib.size() < kDibHeaderAndTable) return {};
  const std::size_t bytes = std::max(minimumBytes, dib.size());
  UniqueHglobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
  if (!block) return {};
  GlobalLockGuard lock(block.get());
  if (!lock.get()) return {};
  std::memcpy(lock.get(), dib.data(), dib.size());
  auto* header = static_cast<BITMAPINFOHEADER*>(lock.get());
  // The rows' real, padded size: a smaller figure would let a reader stop short.
  header->biSizeImage = static_cast<DWORD>(dib.size() - kDibHeaderAndTable);
  header->biXPelsPerMeter = resolution;
  header->biYPelsPerMeter = resolution;
  header->biClrUsed = 0;
  header->biClrImportant = 0;
  return block;
}

}  // namespace

bool PngWanted() { return OptionSettings.ClipboardPng != 0; }

UniqueHglobal TransparentPng(GdiWorkImage& image, int resolution) {
  try {
    const std::vector<std::uint8_t> bgra = InkOnTransparent(image.BitmapAsDib24());
    if (bgra.empty()) return {};
    const std::vector<std::uint8_t> png =
        EncodePngBytes(bgra.data(), image.BitmapWidth(), image.BitmapHeight(), resolution);
    if (png.empty()) return {};
    UniqueHglobal block(GlobalAlloc(GMEM_MOVEABLE, png.size()));
    if (!block) return {};
    GlobalLockGuard lock(block.get());
    if (!lock.get()) return {};
    std::memcpy(lock.get(), png.data(), png.size());
    return block;
  } catch (const std::bad_alloc&) {
    return {};  // a picture too large to convert gets no PNG; the other formats stand
  }
}

UniqueHglobal TransparentPngOfMetafile(GdiWorkImage& picture, int resolution) {
  if (!picture.Metafile()) return {};
  GdiWorkImage raster;
  raster.SetSize(picture.Width(), picture.Height());
  raster.BitmapCanvas().StretchDraw({0, 0, picture.Width(), picture.Height()}, picture);
  return TransparentPng(raster, resolution);
}

int CorrectedResolution(long long base) { return static_cast<int>(std::max(1LL, base * 100 / RezoHosei())); }

// The caller's metafile is freed afterwards.
void PutPictureFormats(ClipboardWriter& clipboard, UniqueHenhmetafile metafile) {
  if (!metafile) return;
  // The picture is converted first, so the metafile itself can go to the
  // clipboard instead of a copy.
  UniqueHglobal pict = MakeMetafilePict(metafile.get());
  clipboard.PutEnhMetafile(std::move(metafile));
  clipboard.PutMetafilePict(std::move(pict));
}

int NameSealResolution() { return CorrectedResolution(NameSealPixelsPerMetre()); }
int DateSealResolution() { return CorrectedResolution(kDateSealPixelsPerMetre); }
int BitmapSealResolution() { return CorrectedResolution(OptionSettings.Bitmap1Resolution); }

namespace {

// The Windows-metafile form of an enhanced metafile. Each conversion plays
// the whole picture, so a picture of ordinary size is converted once into a
// buffer that is certainly large enough (the form carries the enhanced
// metafile inside it as well); only a buffer the result fills completely,
// which may have cut it short, or a large picture is converted after asking
// for the exact size. Empty when the memory is not there.
std::vector<BYTE> WindowsMetafileBits(HENHMETAFILE metafile, HDC reference) {
  constexpr UINT kLargestGuess = 4u << 20;
  try {
    std::vector<BYTE> bits;
    const UINT enhancedBytes = GetEnhMetaFileBits(metafile, 0, nullptr);
    if (enhancedBytes > 0 && enhancedBytes <= kLargestGuess) {
      bits.resize(std::size_t{enhancedBytes} * 2 + 65536);
      const UINT size =
          GetWinMetaFileBits(metafile, static_cast<UINT>(bits.size()), bits.data(), MM_ANISOTROPIC, reference);
      if (size > 0 && size < bits.size()) {
        bits.resize(size);
        return bits;
      }
    }
    UINT size = GetWinMetaFileBits(metafile, 0, nullptr, MM_ANISOTROPIC, reference);
    if (size == 0) return {};
    bits.assign(size, 0);
    size = GetWinMetaFileBits(metafile, size, bits.data(), MM_ANISOTROPIC, reference);
    bits.resize(std::min<std::size_t>(size, bits.size()));
    return bits;
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace

UniqueHglobal MakeMetafilePict(HENHMETAFILE metafile) {
  std::vector<BYTE> bits;
  {
    const UniqueScreenDc screen(GetDC(nullptr));
    bits = WindowsMetafileBits(metafile, screen.get());
  }
  if (bits.empty()) return {};
  HMETAFILE windowsMetafile = SetMetaFileBitsEx(static_cast<UINT>(bits.size()), bits.data());
  if (!windowsMetafile) return {};
  UniqueHglobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT)));
  if (!block) {
    DeleteMetaFile(windowsMetafile);
    return {};
  }
  const SIZE frame = FrameSize(metafile);
  GlobalLockGuard lock(block.get());
  *static_cast<METAFILEPICT*>(lock.get()) = {MM_ANISOTROPIC, frame.cx, frame.cy, windowsMetafile};
  return block;
}

void PutMetafilePict(ClipboardWriter& clipboard, HENHMETAFILE metafile) {
  clipboard.PutMetafilePict(MakeMetafilePict(metafile));
}

void TForm1::CreateWorkImage() { Seal.WorkImage = std::make_unique<GdiWorkImage>(); }

void TForm1::FreeWorkImage() { Seal.WorkImage.reset(); }

bool TForm1::PasswordGate() { return OptionSettings.PasswordOnStamp != 0 || AskPassword(hwnd_); }

TForm1::BusyScope::BusyScope(TForm1& pad) : pad_(pad) { pad_.ready_ = 0; }

TForm1::BusyScope::~BusyScope() {
  pad_.ready_ = 1;
  pad_.Seal.ExternalRequest = false;
}

// The password when asked for, then an empty clipboard. A refused password
// leaves the clipboard as it was.
TForm1::StampResult TForm1::BeginStamp() {
  if (!PasswordGate()) {
    StampResult refused;
    refused.external = Seal.ExternalRequest;
    return refused;
  }
  return ClearForStamp();
}

TForm1::StampResult TForm1::ClearForStamp() {
  StampResult result;
  result.external = Seal.ExternalRequest;
  result.started = true;
  if (!EmptyClipboardNow(hwnd_)) {
    result.clipboardBusy = true;
    return result;
  }
  // The seal a pending clearing was meant for is gone; the new one gets its own time.
  StopClearRetries();
  return result;
}

void TForm1::StampResult::Take(const ClipboardWriter& clipboard) {
  clipboardBusy = clipboardBusy || clipboard.Failed();
  placed = clipboard.Placed();
}

void TForm1::SpeedButton1Click() {
  FinishStamp(StampSeal(
      NameSealResolution(), [this] { LoadNameSealSettings(store_); }, [this] { DrawNameSealBitmap(Seal); },
      [this] { DrawNameSealMetafile(Seal); }, false));
}

void TForm1::SpeedButton2Click() {
  FinishStamp(StampSeal(
      DateSealResolution(), [this] { LoadDateSealSettings(store_); }, [this] { DrawDateSealBitmap(Seal, true); },
      [this] { DrawDateSealMetafile(Seal, true); }, true));
}

TForm1::StampResult TForm1::StampSeal(int resolution, const std::function<void()>& reload,
                                      const std::function<void()>& drawBitmap,
                                      const std::function<void()>& drawMetafile, bool clearDateText) {
  const BusyScope busy(*this);
  StampResult result = BeginStamp();
  if (!result.started || result.clipboardBusy) return result;
  PutSealFormats(result, resolution, reload, drawBitmap, drawMetafile, clearDateText);
  return result;
}

void TForm1::PutSealFormats(StampResult& result, int resolution, const std::function<void()>& reload,
                            const std::function<void()>& drawBitmap, const std::function<void()>& drawMetafile,
                            bool clearDateText) {
  ClipboardWriter clipboard(hwnd_);
  const bool simpleMetafile = OptionSettings.GenMetafile != 0 && OptionSettings.ClipboardFormat != 1;
  bool dibTooLarge = false;
  if (!simpleMetafile) {
    reload();
    CreateWorkImage();
    drawBitmap();
    dibTooLarge = !PutBitmapPictureFormats(clipboard, resolution);
    FreeWorkImage();
  } else {
    reload();
    if (clearDateText) Seal.DateText.clear();
    CreateWorkImage();
    drawBitmap();
    if (WantsSession()) clipboard.Open();
    if (OptionSettings.ClipboardFormat == 2) dibTooLarge = !PutSealDib(clipboard, resolution);
    // Made from the bitmap, as the DIB is; it goes last, after the metafiles.
    UniqueHglobal png = PngWanted() ? TransparentPng(Work(), resolution) : UniqueHglobal();
    FreeWorkImage();
    CreateWorkImage();
    drawMetafile();
    if (WantsMetafile()) PutSealVectorMetafile(clipboard, resolution);
    if (png) clipboard.PutPng(std::move(png));
    if (WantsSession()) clipboard.Close();
    FreeWorkImage();
  }
  result.Take(clipboard);
  if (dibTooLarge)
    result.problem = L"印影が大きすぎるため、DIB形式ではクリップボードに転送できません。\n"
                     L"オプション設定で出力形式に拡張メタファイルを含めてください。";
}

bool TForm1::PutBitmapPictureFormats(ClipboardWriter& clipboard, int resolution) {
  bool dibFits = true;
  if (WantsSession()) clipboard.Open();
  if (WantsMetafile()) PutSealPicture(clipboard, resolution);
  if (WantsDib()) dibFits = PutSealDib(clipboard, resolution);
  if (PngWanted()) clipboard.PutPng(TransparentPng(Work(), resolution));
  if (WantsSession()) clipboard.Close();
  return dibFits;
}

void TForm1::ReportClipboardFailure() {
  MessageBoxW(hwnd_, L"クリップボードを開けませんでした。", L"Varnel印鑑", MB_OK | MB_ICONWARNING);
}

// After the program is idle again. A stamp that could not reach the
// clipboard, or placed nothing on it, is reported, never shown as done, and
// does not end or hide the program: the user will try again.
void TForm1::FinishStamp(const StampResult& result, AfterStampHide hide) {
  if (!result.started) return;
  if (result.clipboardBusy) {
    ReportClipboardFailure();
    return;
  }
  if (!result.placed.Any()) {
    if (!result.reported) {
      const std::wstring text = result.problem.empty() ? L"印鑑イメージをクリップボードに転送できませんでした。"
                                                       : result.problem;
      MessageBoxW(hwnd_, text.c_str(), L"Varnel印鑑", MB_OK | MB_ICONWARNING);
    }
    return;
  }
  if (OptionSettings.ShowMessage != 0 && !result.external && ShowInformation) ShowInformation(result.placed);
  if (hide != AfterStampHide::NoAction) AfterStampAction(hide);
}

void TForm1::AfterStampAction(AfterStampHide hide) {
  if (OptionSettings.ShowMessage == 0) {
    if (OptionSettings.TerminateAsStamped == 1)
      AllExitClick();
    else if (OptionSettings.TerminateAsStamped == 2 && hide == AfterStampHide::ToolbarOnly) {
      if (toolbar_) toolbar_->Hide();
    }
    else if (OptionSettings.TerminateAsStamped == 2 && HideStampPadAndToolbar)
      HideStampPadAndToolbar();
  }
  if (OptionSettings.ClipBrdClear == 2) EnableClearTimer();
}

bool TForm1::PutSealDib(ClipboardWriter& clipboard, int resolution) {
  const long long pixels = static_cast<long long>(Work().BitmapWidth()) * Work().BitmapHeight();
  if (pixels >= 1000000) return false;
  if (pixels <= 0) return true;
  const std::size_t minimum = pixels < 160000 ? 80104 : 500104;
  clipboard.PutGlobal(CF_DIB, SixteenColourDib(Work(), resolution, minimum));
  return true;
}

void TForm1::PutSealPicture(ClipboardWriter& clipboard, int resolution) {
  PutPictureFormats(clipboard, BuildSealPicture(resolution));
}

UniqueHenhmetafile TForm1::BuildSealPicture(int resolution) {
  GdiWorkImage& seal = Work();
  DocumentIdAnswer documentId;
  if (OptionSettings.CopyGuard != 0) documentId = AskDocumentId(hwnd_);
  // Full colour (2) is what the renderers already drew.
  if (OptionSettings.ColorBits == 0) seal.ChangeDepth(4);
  if (OptionSettings.ColorBits == 1) seal.ChangeDepth(8);
  const PictureSize size = SealPictureSize(seal.BitmapWidth(), seal.BitmapHeight(), resolution);
  const SIZE out = size.pixels;
  const int rezo = RezoHosei();
  const bool marked = documentId.Accepted;
  const bool narrow = out.cx <= 100;
  const int canvasWidth = marked ? (narrow ? rezo : static_cast<int>(out.cx)) : static_cast<int>(out.cx);
  const int canvasHeight = marked ? static_cast<int>(out.cy) + 30 : static_cast<int>(out.cy);

  GdiWorkImage picture;
  // Without the marks the picture is the seal alone, framed at its designed size.
  Canvas& canvas = marked ? picture.BeginMetafile(canvasWidth, canvasHeight)
                          : picture.BeginMetafile(canvasWidth, canvasHeight, size.physical);
  if (marked && OptionSettings.BackImage >= 1 && OptionSettings.BackImage <= 3) {
    GdiWorkImage pattern;
    const PackedDib dib = BackgroundPattern(OptionSettings.BackImage);
    const DibView view(dib);
    pattern.SetBitmapFromDib(ConvertDibTo24Bit(view));
    canvas.Mode = CopyMode::SrcAnd;
    canvas.StretchDraw({0, 0, pattern.BitmapWidth(), pattern.BitmapHeight()}, pattern);
  }
  canvas.Mode = CopyModeOf(OptionSettings.DocumentFilter, canvas.Mode);
  POINT sealOrigin{0, 0};
  if (marked) {
    GdiWorkImageFactory factory;
    const std::string code = MakeAuthCode(FieldText(OptionSettings.UIDK));
    // The seal sits 5 pixels down, centred on a narrow canvas; the marks
    // take the 30 pixels added below it.
    if (narrow) {
      DrawSecurityBlock(canvas, documentId.Text, code, out.cx, rezo, out.cy + 30, factory);
      sealOrigin = {(rezo - static_cast<LONG>(out.cx)) / 2, 5};
    } else {
      DrawSecurityBlock(canvas, documentId.Text, code, out.cx, out.cx, out.cy + 30, factory);
      sealOrigin = {0, 5};
    }
  }
  DrawAtPhysicalSize(canvas, sealOrigin, size.physical, seal);
  picture.EndMetafile();
  return picture.TakeMetafile();
}

void TForm1::PutSealVectorMetafile(ClipboardWriter& clipboard, int resolution) {
  GdiWorkImage& seal = Work();
  const PictureSize size = SealPictureSize(seal.Width(), seal.Height(), resolution);
  GdiWorkImage picture;
  DrawAtPhysicalSize(picture.BeginMetafile(size.pixels.cx, size.pixels.cy, size.physical), {0, 0}, size.physical,
                     seal);
  picture.EndMetafile();
  PutPictureFormats(clipboard, picture.TakeMetafile());
}

void TForm1::B1Click() {
  FinishStamp([this] {
    const BusyScope busy(*this);
    StampResult result = BeginStamp();
    if (!result.started || result.clipboardBusy) return result;
    ClipboardWriter clipboard(hwnd_);
    result.reported = !StampBitmapSeal(clipboard);
    result.Take(clipboard);
    return result;
  }());
}

bool TForm1::StampBitmapSeal(ClipboardWriter& clipboard) {
  const int resolution = BitmapSealResolution();
  if (LoadBitmapSeal() != ImageFileStatus::Loaded) {
    MessageBoxW(hwnd_, L"画像ファイルを読み込めません", L"", MB_OK);
    return false;
  }
  ApplySealRotation(*BitmapSealImage, *Seal.clock);
  if (WantsSession()) clipboard.Open();
  if (WantsMetafile()) PutBitmapSealPicture(clipboard, resolution);
  if (WantsDib()) PutBitmapSealDib(clipboard, resolution);
  if (PngWanted()) clipboard.PutPng(TransparentPng(*BitmapSealImage, resolution));
  if (WantsSession()) clipboard.Close();
  BitmapSealImage.reset();
  return true;
}

// The picture file named by Bitmap1, through the platform's decoder.
ImageFileStatus TForm1::LoadBitmapSeal() {
  BitmapSealImage.reset();
  DecodedImage decoded = DecodeImageFile(FieldText(OptionSettings.Bitmap1));
  if (decoded.status != ImageFileStatus::Loaded) return decoded.status;
  auto image = std::make_unique<GdiWorkImage>();
  image->SetBitmapFromDib(decoded.dib);
  if (!image->Bitmap()) return ImageFileStatus::TooLarge;
  BitmapSealImage = std::move(image);
  return ImageFileStatus::Loaded;
}

void TForm1::PutBitmapSealDib(ClipboardWriter& clipboard, int resolution) {
  clipboard.PutGlobal(CF_DIB, SixteenColourDib(*BitmapSealImage, resolution, 180104));
}

void TForm1::PutBitmapSealPicture(ClipboardWriter& clipboard, int resolution) {
  GdiWorkImage& seal = *BitmapSealImage;
  const PictureSize size = SealPictureSize(seal.BitmapWidth(), seal.BitmapHeight(), resolution);
  GdiWorkImage picture;
  Canvas& canvas = picture.BeginMetafile(size.pixels.cx, size.pixels.cy, size.physical);
  canvas.Mode = CopyModeOf(OptionSettings.DocumentFilter, canvas.Mode);
  DrawAtPhysicalSize(canvas, {0, 0}, size.physical, seal);
  picture.EndMetafile();
  PutPictureFormats(clipboard, picture.TakeMetafile());
}
