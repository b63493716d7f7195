// Renders seals into .bmp files for review: each variant as the bitmap the
// renderer draws and as its metafile played into a bitmap.
// Usage: gallery.exe <output folder> [script.vgs ...]

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>

#include "DateSeal.h"
#include "GdiWorkImage.h"
#include "GraphicScript.h"
#include "InkImpression.h"
#include "MemoryStore.h"
#include "NameSeal.h"
#include "Settings.h"
#include "Sjis.h"
#include "Text.h"
#include "TextStamps.h"
#include "harness/Pixels.h"

namespace {

std::wstring gFolder;

void Defaults() {
  MemoryStore store;
  LoadAllSettings(store, [](std::string_view) { return false; });
}

void Save(const PackedDib& dib, const std::wstring& name) {
  harness::WriteBmp(dib, gFolder + L"\\" + name + L".bmp");
}

using Renderer = std::function<void(SealForm&)>;

// Both forms of one variant: "<name>-bitmap" and "<name>-metafile".
void Render(const std::wstring& name, const Renderer& bitmap, const Renderer& metafile) {
  SealForm form;
  form.WorkImage = std::make_unique<GdiWorkImage>();
  bitmap(form);
  Save(form.WorkImage->BitmapAsDib24(), name + L"-bitmap");
  const std::string dateText = form.DateText;
  form = SealForm();
  form.DateText = dateText;
  form.WorkImage = std::make_unique<GdiWorkImage>();
  metafile(form);
  auto& image = static_cast<GdiWorkImage&>(*form.WorkImage);
  if (image.Metafile()) Save(harness::PlayIntoDib(image.Metafile(), image.Width(), image.Height()), name + L"-metafile");
}

void NameVariant(const std::wstring& name, const std::function<void()>& change) {
  Defaults();
  change();
  Render(name, DrawNameSealBitmap, DrawNameSealMetafile);
}

void DateVariant(const std::wstring& name, const std::function<void()>& change) {
  Defaults();
  change();
  Render(
      name, [](SealForm& f) { DrawDateSealBitmap(f, false); }, [](SealForm& f) { DrawDateSealMetafile(f, false); });
}

// A text stamp's metafile played at its own size: "<name>".
void TextStamp(const std::wstring& name, const std::function<void(GdiWorkImage&)>& draw) {
  GdiWorkImage image;
  draw(image);
  if (image.Metafile()) Save(harness::PlayIntoDib(image.Metafile(), image.Width(), image.Height()), name);
}

// The toolbar's ten slots as a first start has them, and rotated text.
void SquareStamps() {
  const CommonTextSettings common;
  const SquareTextFormat none;
  for (int n = 0; n < kSlotCount; ++n)
    TextStamp(L"square-" + std::wstring(n < 9 ? L"0" : L"") + std::to_wstring(n + 1), [&](GdiWorkImage& image) {
      DrawSquareStamp(image, kDefaultSlotTexts[n], SquareStampFont(none, common));
    });
  const RotatedTextFormat rotated;
  for (int angle : {0, 45, 90, -90, 180})
    TextStamp(L"rotated-" + std::to_wstring(angle), [&](GdiWorkImage& image) {
      DrawRotatedText(image, "回覧済", RotatedTextFont(rotated, common), angle);
    });
}

// The hand-pressed ink at each strength beside the clean seal, one seed for
// all: "ink-<seal>-<strength>".
void InkStrengths() {
  struct Seal {
    const wchar_t* name;
    void (*draw)(SealForm&);
    int (*pixelsPerMetre)();
  };
  const Seal seals[] = {{L"name", DrawNameSealBitmap, [] { return NameSealPixelsPerMetre(); }},
                        {L"date", [](SealForm& f) { DrawDateSealBitmap(f, false); },
                         [] { return kDateSealPixelsPerMetre; }}};
  for (const Seal& seal : seals)
    for (int strength = kInkOff; strength <= kInkStrong; ++strength) {
      Defaults();
      SealForm form;
      form.WorkImage = std::make_unique<GdiWorkImage>();
      seal.draw(form);
      ApplyInkEffect(*form.WorkImage, seal.pixelsPerMetre(), {strength, false, 2026});
      Save(form.WorkImage->BitmapAsDib24(), std::wstring(L"ink-") + seal.name + L"-" + std::to_wstring(strength));
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  gFolder = argc > 1 ? argv[1] : L".";
  CreateDirectoryW(gFolder.c_str(), nullptr);

  SquareStamps();
  InkStrengths();
  NameVariant(L"name-default", [] {});
  for (int shape : {100, 80, 60, 0})
    NameVariant(L"name-shape-" + std::to_wstring(shape), [shape] { NameSealSettings.Main.CircleParameter = shape; });
  NameVariant(L"name-second-layer", [] {
    NameSealRecord& s = NameSealSettings;
    CopyToField(s.Main.Text1, "山");
    CopyToField(s.Main.Text2, "田");
    s.Ext.UseNameEX = 1;
    CopyToField(s.Ext.ExText1, "承認");
    s.Ext.ExFontSize = 22;
    s.Ext.ExOffsetY = -60;
    s.Ext.ExFontStyle = 0;
  });

  for (int ring = 0; ring <= 3; ++ring)
    DateVariant(L"date-ring-" + std::to_wstring(ring), [ring] { DateSealSettings.Main.TwinRing = ring; });
  for (int years = 0; years <= 2; ++years)
    DateVariant(L"date-years-" + std::to_wstring(years), [years] {
      DateSealSettings.Main.Years = years;
      if (years == 1) CopyToField(DateSealSettings.Main.Header, "令和");
    });
  DateVariant(L"date-datenz", [] {
    DateSealSettings.Main.Years = 2;
    DateSealSettings.Ext.DateNZ = 1;
  });

  for (int angle : {10, -10})
    for (int grow : {0, 1}) {
      const std::wstring suffix = std::to_wstring(angle) + L"-sz" + std::to_wstring(grow);
      auto tilt = [angle, grow] {
        OptionSettings.Rotate = 1;
        OptionSettings.RotateAngle = angle;
        OptionSettings.RotateSz = grow;
      };
      NameVariant(L"name-rotate" + suffix, tilt);
      DateVariant(L"date-rotate" + suffix, tilt);
    }
  for (int i = 2; i < argc; ++i) {
    std::wstring path = argv[i];
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    name = L"script-" + name.substr(0, name.find(L'.'));
    Defaults();
    const std::string cp932Path = Narrow(path);
    Render(
        name, [&](SealForm& f) { RunGraphicScript(*f.WorkImage, cp932Path, f); },
        [&](SealForm& f) { RunMetafileScript(*f.WorkImage, cp932Path, f); });
  }
  return 0;
}
