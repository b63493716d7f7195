#pragma once
// The builders of a stamp's clipboard formats: the picture metafile (with
// the document-ID prompt and the security marks when the copy guard asks for
// them), the vector metafile, the 16-colour DIB and the transparent PNG, as
// the options ask, for the seals, the bitmap seal and the scripts' pictures.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Clipboard.h"
#include "GdiWorkImage.h"
#include "ImageCodec.h"
#include "InkImpression.h"
#include "SealForm.h"
#include "StampOrder.h"

// The stamp resolutions in pixels per metre, corrected by RezoHosei.
int CorrectedResolution(long long base);
int NameSealResolution();
int DateSealResolution();
int BitmapSealResolution();

// The work image of one rendering: created empty before it, freed after.
void CreateWorkImage(SealForm& seal);
void FreeWorkImage(SealForm& seal);
GdiWorkImage& Work(SealForm& seal);

// How one seal is drawn for a stamp: its design reloaded, then drawn as a
// bitmap and as a vector metafile.
struct SealDrawing {
  int resolution = 0;
  std::function<void()> reload;
  std::function<void()> drawBitmap;
  std::function<void()> drawMetafile;
  bool clearDateText = false;  // the date seal asks its date once per stamp
  // For the stamp log: which seal, and what it says once drawn.
  StampSeal seal = StampSeal::kName;
  std::function<std::string()> words;
  // The hand-pressed ink of this stamp; off, the seal as drawn.
  InkImpression ink;
};

// A stamp's formats, all made before the clipboard is opened, so that other
// programs are kept off it only for the writes (a PNG of a large seal takes
// a while to make, and the document-ID prompt waits for the user).
struct SealFormats {
  UniqueHenhmetafile metafile;  // CF_ENHMETAFILE
  UniqueHglobal metafilePict;   // CF_METAFILEPICT, converted from it
  UniqueHglobal dib;            // CF_DIB
  UniqueHglobal png;            // "PNG"
  bool dibFirst = false;        // the simple metafile's order: the DIB before the metafiles
  bool dibTooLarge = false;     // a DIB was asked for, but the picture has too many pixels
  bool pngLeftOut = false;      // a PNG was asked for, but would lack the copy guard's marks
  void SetMetafile(UniqueHenhmetafile picture);
};

// Writes the formats in one clipboard session, the PNG last.
void WriteFormats(ClipboardWriter& clipboard, SealFormats& formats);
// What the stamp log keeps of a stamp of these formats, a picture of
// `pixels` at `resolution`: the PNG's bytes when one goes, else the DIB's,
// else the metafile's; nothing when no log is kept.
std::optional<StampLabel> LabelOf(const SealFormats& formats, StampSeal seal, std::string text, int resolution,
                                  SIZE pixels);
// A file's bytes as saved, for the stamp log; nothing when no log is kept.
std::optional<StampLabel> FileLabel(const std::wstring& path, StampPicture picture, StampSeal seal, std::string text,
                                    int resolution, SIZE pixels);
// What the information message and the warnings are told of them.
StampPut ReportOf(const SealFormats& formats);

// The clipboard steps of a seal stamp, once the clipboard has been emptied.
// owner owns the document-ID prompt.
StampPut PutSealFormats(ClipboardWriter& clipboard, SealForm& seal, const SealDrawing& drawing, HWND owner);

// The formats of a picture drawn as a bitmap, as the options ask: the
// picture metafile (with the document-ID prompt and the marks when the copy
// guard asks for them), the 16-colour DIB and the PNG.
// pressed: the seal carries the hand-pressed ink, whose pale ink keeps its
// full colour in the DIB and the picture.
SealFormats BitmapPictureFormats(GdiWorkImage& picture, int resolution, HWND owner, bool pressed = false);
// The formats of a picture that is a metafile (a metafile script): its two
// metafile formats at its physical size whatever ClipboardFormat says, and
// the PNG.
SealFormats VectorPictureFormats(GdiWorkImage& picture, int resolution);

// The 16-colour DIB of a seal; empty when it has a million pixels or more.
UniqueHglobal SealDib(GdiWorkImage& picture, int resolution, bool fullColour = false);
// The picture metafile of a bitmap, for the clipboard and the export, and
// whether it carries the copy guard's marks.
struct SealPicture {
  UniqueHenhmetafile metafile;
  bool marked = false;
};
SealPicture BuildSealPicture(GdiWorkImage& picture, int resolution, HWND owner, bool keepDepth = false);
// A metafile picture redrawn at its physical size.
UniqueHenhmetafile SealVectorMetafile(GdiWorkImage& picture, int resolution);

// The bitmap seal: the picture file named by Bitmap1, through the platform's decoder.
struct LoadedBitmapSeal {
  ImageFileStatus status = ImageFileStatus::Missing;
  std::unique_ptr<GdiWorkImage> image;  // set when loaded
};
LoadedBitmapSeal LoadBitmapSeal();
// Stamps the bitmap seal (tilted as the options ask) once the clipboard has
// been emptied; reported when its file could not be read (the user has
// been told).
// seal: what the stamp log calls it (a toolbar's picture file stamps as the bitmap seal).
StampPut StampBitmapSeal(ClipboardWriter& clipboard, HWND owner, const Clock& clock, const InkImpression& ink,
                         StampSeal seal = StampSeal::kBitmap);
// Its formats: the picture metafile, the DIB and the PNG as the options ask.
SealFormats BitmapSealFormats(GdiWorkImage& seal, int resolution, bool pressed = false);

// The METAFILEPICT block (mode 8, the frame as extents, a Windows metafile
// converted against the screen); empty when conversion or allocation fails.
UniqueHglobal MakeMetafilePict(HENHMETAFILE metafile);

// Whether the options ask for the clipboard's "PNG" beside the other formats.
bool PngWanted();
// The bitmap as the clipboard's "PNG": paper transparent, ink in its own
// colour, the resolution (pixels per metre) as its physical size. Empty when
// it cannot be made.
UniqueHglobal TransparentPng(GdiWorkImage& image, int resolution);
// The same for a picture that is a metafile only, drawn at its own pixels.
UniqueHglobal TransparentPngOfMetafile(GdiWorkImage& picture, int resolution);
// A metafile picture played onto a white bitmap of its own pixels, one pixel a pixel.
void PlayAtItsPixels(GdiWorkImage& picture, GdiWorkImage& raster);
