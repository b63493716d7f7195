#include "SealOutput.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "DateSeal.h"
#include "Dib.h"
#include "Docidform.h"
#include "GdiCanvas.h"
#include "NameSeal.h"
#include "Patterns.h"
#include "FileSystemWide.h"
#include "InkImpression.h"
#include "SealGeometry.h"
#include "Security.h"
#include "Settings.h"
#include "Sjis.h"
#include "StampRecorder.h"

namespace {

// A stored correction of zero or less would divide by zero: it counts as none.
int RezoHosei() { return OptionSettings.RezoHosei > 0 ? OptionSettings.RezoHosei : 100; }

bool WantsMetafile() { return OptionSettings.ClipboardFormat == 0 || OptionSettings.ClipboardFormat == 2; }
bool WantsDib() { return OptionSettings.ClipboardFormat == 1 || OptionSettings.ClipboardFormat == 2; }

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

// A DIB of the bitmap in a block of at least minimumBytes, with the stamp
// resolution as its pixels per metre: 16 colours, or full colour for a
// seal pressed by hand, whose pale ink 16 colours would turn white.
UniqueHglobal DibBlock(GdiWorkImage& image, int resolution, std::size_t minimumBytes, bool fullColour) {
  const PackedDib dib = image.BitmapAsDib(fullColour ? 24 : 4);
  if (dib.size() < kDibHeaderAndTable) return {};
  const std::size_t bytes = std::max(minimumBytes, dib.size());
  UniqueHglobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
  if (!block) return {};
  GlobalLockGuard lock(block.get());
  if (!lock.get()) return {};
  std::memcpy(lock.get(), dib.data(), dib.size());
  auto* header = static_cast<BITMAPINFOHEADER*>(lock.get());
  // The rows' real, padded size: a smaller figure would let a reader stop short.
  header->biSizeImage = static_cast<DWORD>(dib.size() - header->biSize - (fullColour ? 0 : kDibHeaderAndTable - 40));
  header->biXPelsPerMeter = resolution;
  header->biYPelsPerMeter = resolution;
  header->biClrUsed = 0;
  header->biClrImportant = 0;
  return block;
}

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

// A seal of a million pixels or more gets no DIB.
bool TooLargeForDib(GdiWorkImage& picture) {
  return static_cast<long long>(picture.BitmapWidth()) * picture.BitmapHeight() >= 1000000;
}

const wchar_t kSealTooLargeForDib[] =
    L"印影が大きすぎるため、DIB形式ではクリップボードに転送できません。\n"
    L"オプション設定で出力形式に拡張メタファイルを含めてください。";

}  // namespace

int CorrectedResolution(long long base) { return StampResolution(base, OptionSettings.RezoHosei); }
int NameSealResolution() { return CorrectedResolution(NameSealPixelsPerMetre()); }
int DateSealResolution() { return CorrectedResolution(kDateSealPixelsPerMetre); }
int BitmapSealResolution() { return CorrectedResolution(OptionSettings.Bitmap1Resolution); }

void CreateWorkImage(SealForm& seal) { seal.WorkImage = std::make_unique<GdiWorkImage>(); }
void FreeWorkImage(SealForm& seal) { seal.WorkImage.reset(); }
GdiWorkImage& Work(SealForm& seal) { return static_cast<GdiWorkImage&>(*seal.WorkImage); }

void SealFormats::SetMetafile(UniqueHenhmetafile picture) {
  if (!picture) return;
  metafilePict = MakeMetafilePict(picture.get());
  metafile = std::move(picture);
}

void WriteFormats(ClipboardWriter& clipboard, SealFormats& formats) {
  if (!formats.metafile && !formats.dib && !formats.png) return;
  clipboard.Open();
  if (formats.dibFirst) clipboard.PutGlobal(CF_DIB, std::move(formats.dib));
  clipboard.PutEnhMetafile(std::move(formats.metafile));
  clipboard.PutMetafilePict(std::move(formats.metafilePict));
  if (formats.dib) clipboard.PutGlobal(CF_DIB, std::move(formats.dib));
  if (formats.png) clipboard.PutPng(std::move(formats.png));
  clipboard.Close();
}

namespace {

std::string GlobalBytes(HGLOBAL block) {
  GlobalLockGuard lock(block);
  if (!lock.get()) return {};
  return std::string(static_cast<const char*>(lock.get()), GlobalSize(block));
}

std::string MetafileBytes(HENHMETAFILE metafile) {
  std::string bytes(GetEnhMetaFileBits(metafile, 0, nullptr), '\0');
  if (!bytes.empty()) GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(bytes.data()));
  return bytes;
}

StampLabel LabelFor(StampSeal seal, std::string text, int resolution, SIZE pixels) {
  StampLabel label;
  label.seal = seal;
  label.text = std::move(text);
  label.resolution = resolution;
  label.widthHundredthsMm = static_cast<int>(static_cast<long long>(pixels.cx) * 100000 / std::max(1, resolution));
  label.heightHundredthsMm = static_cast<int>(static_cast<long long>(pixels.cy) * 100000 / std::max(1, resolution));
  return label;
}

}  // namespace

std::optional<StampLabel> LabelOf(const SealFormats& formats, StampSeal seal, std::string text, int resolution,
                                  SIZE pixels) {
  if (!StampLogWanted()) return std::nullopt;
  StampLabel label = LabelFor(seal, std::move(text), resolution, pixels);
  if (formats.png) {
    label.picture = StampPicture::kClipboardPng;
    label.pictureBytes = GlobalBytes(formats.png.get());
  } else if (formats.dib) {
    label.picture = StampPicture::kClipboardDib;
    label.pictureBytes = GlobalBytes(formats.dib.get());
  } else if (formats.metafile) {
    label.picture = StampPicture::kClipboardEmf;
    label.pictureBytes = MetafileBytes(formats.metafile.get());
  }
  return label;
}

std::optional<StampLabel> FileLabel(const std::wstring& path, StampPicture picture, StampSeal seal, std::string text,
                                    int resolution, SIZE pixels) {
  if (!StampLogWanted()) return std::nullopt;
  StampLabel label = LabelFor(seal, std::move(text), resolution, pixels);
  label.picture = picture;
  label.pictureBytes = ReadFileBytes(path, std::size_t{1} << 30).value_or(std::string());
  return label;
}

// A picture too large for a DIB is worth a warning only when the options
// ask for the DIB alone: otherwise its metafiles carry it.
StampPut ReportOf(const SealFormats& formats) {
  StampPut put;
  if (formats.dibTooLarge && !WantsMetafile()) put.problem = kSealTooLargeForDib;
  put.pngLeftOut = formats.pngLeftOut;
  return put;
}

StampPut PutSealFormats(ClipboardWriter& clipboard, SealForm& seal, const SealDrawing& drawing, HWND owner) {
  const int resolution = drawing.resolution;
  const bool simpleMetafile = OptionSettings.GenMetafile != 0 && OptionSettings.ClipboardFormat != 1;
  const bool pressed = drawing.ink.Any();
  drawing.reload();
  if (simpleMetafile && drawing.clearDateText) seal.DateText.clear();
  CreateWorkImage(seal);
  drawing.drawBitmap();
  ApplyInkEffect(Work(seal), resolution, drawing.ink);
  const SIZE pixels{Work(seal).BitmapWidth(), Work(seal).BitmapHeight()};
  SealFormats formats;
  if (!simpleMetafile) {
    formats = BitmapPictureFormats(Work(seal), resolution, owner, pressed);
  } else if (pressed) {
    // The pressed picture stands for the vector seal in the metafiles, so
    // every format carries the same impression at its printed size.
    formats = BitmapSealFormats(Work(seal), resolution, true);
    formats.dibTooLarge = OptionSettings.ClipboardFormat == 2 && TooLargeForDib(Work(seal));
    if (formats.dibTooLarge) formats.dib.reset();
  } else {
    // The DIB and the PNG come from the bitmap, the metafiles from the vector seal.
    if (OptionSettings.ClipboardFormat == 2) {
      formats.dib = SealDib(Work(seal), resolution);
      formats.dibTooLarge = TooLargeForDib(Work(seal));
    }
    if (PngWanted()) formats.png = TransparentPng(Work(seal), resolution);
  }
  FreeWorkImage(seal);
  if (simpleMetafile && !pressed) {
    CreateWorkImage(seal);
    drawing.drawMetafile();
    if (WantsMetafile()) formats.SetMetafile(SealVectorMetafile(Work(seal), resolution));
    FreeWorkImage(seal);
  }
  formats.dibFirst = simpleMetafile;
  StampPut put = ReportOf(formats);
  put.label = LabelOf(formats, drawing.seal, drawing.words ? drawing.words() : std::string(), resolution, pixels);
  WriteFormats(clipboard, formats);
  return put;
}

SealFormats BitmapPictureFormats(GdiWorkImage& picture, int resolution, HWND owner, bool pressed) {
  SealFormats formats;
  bool marked = false;
  if (WantsMetafile()) {
    SealPicture built = BuildSealPicture(picture, resolution, owner, pressed);
    marked = built.marked;
    formats.SetMetafile(std::move(built.metafile));
  }
  if (WantsDib()) {
    formats.dib = SealDib(picture, resolution, pressed);
    formats.dibTooLarge = TooLargeForDib(picture);
  }
  // A PNG would carry the seal without the marks the copy guard asked for.
  formats.pngLeftOut = PngWanted() && marked;
  if (PngWanted() && !marked) formats.png = TransparentPng(picture, resolution);
  return formats;
}

SealFormats VectorPictureFormats(GdiWorkImage& picture, int resolution) {
  SealFormats formats;
  if (PngWanted()) formats.png = TransparentPngOfMetafile(picture, resolution);
  formats.SetMetafile(SealVectorMetafile(picture, resolution));
  return formats;
}

UniqueHglobal SealDib(GdiWorkImage& picture, int resolution, bool fullColour) {
  const long long pixels = static_cast<long long>(picture.BitmapWidth()) * picture.BitmapHeight();
  if (TooLargeForDib(picture) || pixels <= 0) return {};
  const std::size_t minimum = pixels < 160000 ? 80104 : 500104;
  return DibBlock(picture, resolution, minimum, fullColour);
}

SealPicture BuildSealPicture(GdiWorkImage& seal, int resolution, HWND owner, bool keepDepth) {
  DocumentIdAnswer documentId;
  if (OptionSettings.CopyGuard != 0) documentId = AskDocumentId(owner);
  // Full colour (2) is what the renderers already drew; a pressed seal's
  // pale ink keeps it whatever ColorBits says.
  if (OptionSettings.ColorBits == 0 && !keepDepth) seal.ChangeDepth(4);
  if (OptionSettings.ColorBits == 1 && !keepDepth) seal.ChangeDepth(8);
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
  return {picture.TakeMetafile(), marked};
}

UniqueHenhmetafile SealVectorMetafile(GdiWorkImage& seal, int resolution) {
  const PictureSize size = SealPictureSize(seal.Width(), seal.Height(), resolution);
  GdiWorkImage picture;
  DrawAtPhysicalSize(picture.BeginMetafile(size.pixels.cx, size.pixels.cy, size.physical), {0, 0}, size.physical,
                     seal);
  picture.EndMetafile();
  return picture.TakeMetafile();
}

LoadedBitmapSeal LoadBitmapSeal() {
  LoadedBitmapSeal loaded;
  DecodedImage decoded = DecodeImageFile(FieldText(OptionSettings.Bitmap1));
  loaded.status = decoded.status;
  if (decoded.status != ImageFileStatus::Loaded) return loaded;
  auto image = std::make_unique<GdiWorkImage>();
  image->SetBitmapFromDib(decoded.dib);
  if (!image->Bitmap()) {
    loaded.status = ImageFileStatus::TooLarge;
    return loaded;
  }
  loaded.image = std::move(image);
  return loaded;
}

StampPut StampBitmapSeal(ClipboardWriter& clipboard, HWND owner, const Clock& clock, const InkImpression& ink,
                         StampSeal seal) {
  const int resolution = BitmapSealResolution();
  LoadedBitmapSeal loaded = LoadBitmapSeal();
  if (loaded.status != ImageFileStatus::Loaded) {
    MessageBoxW(owner, L"画像ファイルを読み込めません", L"", MB_OK);
    StampPut put;
    put.reported = true;
    return put;
  }
  ApplySealRotation(*loaded.image, clock);
  ApplyInkEffect(*loaded.image, resolution, ink);
  SealFormats formats = BitmapSealFormats(*loaded.image, resolution, ink.Any());
  StampPut put = ReportOf(formats);
  put.label = LabelOf(formats, seal, std::string(FieldText(OptionSettings.Bitmap1)), resolution,
                      {loaded.image->BitmapWidth(), loaded.image->BitmapHeight()});
  WriteFormats(clipboard, formats);
  return put;
}

// As the seal's picture, without the document-ID prompt, a change of depth,
// the pattern or the marks; the DIB has no pixel limit.
SealFormats BitmapSealFormats(GdiWorkImage& seal, int resolution, bool pressed) {
  SealFormats formats;
  if (WantsMetafile()) {
    const PictureSize size = SealPictureSize(seal.BitmapWidth(), seal.BitmapHeight(), resolution);
    GdiWorkImage picture;
    Canvas& canvas = picture.BeginMetafile(size.pixels.cx, size.pixels.cy, size.physical);
    canvas.Mode = CopyModeOf(OptionSettings.DocumentFilter, canvas.Mode);
    DrawAtPhysicalSize(canvas, {0, 0}, size.physical, seal);
    picture.EndMetafile();
    formats.SetMetafile(picture.TakeMetafile());
  }
  if (WantsDib()) formats.dib = DibBlock(seal, resolution, 180104, pressed);
  if (PngWanted()) formats.png = TransparentPng(seal, resolution);
  return formats;
}

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

void PlayAtItsPixels(GdiWorkImage& picture, GdiWorkImage& raster) {
  raster.SetSize(picture.Width(), picture.Height());
  raster.BitmapCanvas();
  // The platform takes a picture's frame to the rectangle's right and bottom
  // edges inclusive: one pixel more each way plays it at one pixel a pixel,
  // where the picture's own rectangle would shrink it by a pixel.
  const RECT onePixelAPixel{0, 0, picture.Width() + 1, picture.Height() + 1};
  if (raster.BitmapDc() && picture.Metafile()) PlayEnhMetaFile(raster.BitmapDc(), picture.Metafile(), &onePixelAPixel);
}

UniqueHglobal TransparentPngOfMetafile(GdiWorkImage& picture, int resolution) {
  if (!picture.Metafile()) return {};
  GdiWorkImage raster;
  PlayAtItsPixels(picture, raster);
  return TransparentPng(raster, resolution);
}
