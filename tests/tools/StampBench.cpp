// Times the three stamp operations from the request to a complete clipboard
// (no prompts, no message), in this process on the real clipboard; then
// what the hand-pressed ink at medium adds to the name and date seals.
// Usage: stamp_bench.exe [runs]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "DateSeal.h"
#include "FileSystem.h"
#include "GdiWorkImage.h"
#include "InkImpression.h"
#include "Mainform.h"
#include "NameSeal.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "harness/Pixels.h"
#include "harness/Varnel.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Report(const char* name, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  const double p90 = times[std::min(times.size() - 1, times.size() * 9 / 10)];
  std::printf("%-12s median %7.2f ms   p90 %7.2f ms   (%zu runs)\n", name, median, p90, times.size());
  return median;
}

std::vector<double> Time(int runs, const std::function<void()>& stamp) {
  std::vector<double> times;
  stamp();  // warm up fonts and caches
  for (int i = 0; i < runs; ++i) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    stamp();
    QueryPerformanceCounter(&end);
    times.push_back(Milliseconds(start, end));
  }
  return times;
}

// Pressing the seal as a stamp draws it (a fresh work image each time, the
// drawing itself from the picture cache) at medium, a new seed each time.
std::vector<double> TimeInk(int runs, void (*draw)(SealForm&), int pixelsPerMetre) {
  SealForm form;
  std::uint32_t seed = 1;
  return Time(runs, [&] {
    form.WorkImage = std::make_unique<GdiWorkImage>();
    draw(form);
    ApplyInkEffect(*form.WorkImage, pixelsPerMetre, {2, false, seed++});
  });
}

std::vector<double> TimeDrawing(int runs, void (*draw)(SealForm&)) {
  SealForm form;
  return Time(runs, [&] {
    form.WorkImage = std::make_unique<GdiWorkImage>();
    draw(form);
  });
}

void InkRow(const char* name, double stamp, double drawn, double pressed) {
  const double ink = std::max(0.0, pressed - drawn);
  std::printf("%-12s the ink adds %6.2f ms to a %6.2f ms stamp: %.2f x (target 1.5: %s)\n", name, ink, stamp,
              (stamp + ink) / stamp, stamp + ink <= 1.5 * stamp ? "met" : "NOT met");
}

// A 250 x 250 bitmap seal next to the program, as the cutter would save it.
void WriteBitmapSeal() {
  const std::string bytes = harness::WhiteBmpFile(250);
  harness::WriteWholeFile(L"bench-seal.bmp", bytes.data(), bytes.size());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? _wtoi(argv[1]) : 50;
  RegistryStore store;
  RunVersionCheck(store, nullptr);
  LoadAllSettings(store, FileExists);
  OptionSettings.ShowMessage = 0;
  OptionSettings.PasswordOnStamp = 1;
  OptionSettings.CheckDate = 0;
  OptionSettings.ClipboardFormat = 2;
  WriteBitmapSeal();
  std::strcpy(OptionSettings.Bitmap1, "bench-seal.bmp");

  std::uint8_t ready = 1;
  TForm1 pad(store, ready);
  pad.Create();
  std::printf("Stamp latency, request to complete clipboard (EMF + METAFILEPICT + DIB):\n");
  const double name = Report("name seal", Time(runs, [&] { pad.SpeedButton1Click(); }));
  const double date = Report("date seal", Time(runs, [&] { pad.SpeedButton2Click(); }));
  Report("bitmap seal", Time(runs, [&] { pad.B1Click(); }));
  DeleteFileW(L"bench-seal.bmp");

  std::printf("The hand-pressed ink at medium (drawing the seal, then pressing it):\n");
  auto drawDate = [](SealForm& f) { DrawDateSealBitmap(f, false); };
  const double nameDrawn = Report("name drawn", TimeDrawing(runs, DrawNameSealBitmap));
  const double namePressed = Report("name pressed", TimeInk(runs, DrawNameSealBitmap, NameSealPixelsPerMetre()));
  const double dateDrawn = Report("date drawn", TimeDrawing(runs, drawDate));
  const double datePressed = Report("date pressed", TimeInk(runs, drawDate, kDateSealPixelsPerMetre));
  InkRow("name seal", name, nameDrawn, namePressed);
  InkRow("date seal", date, dateDrawn, datePressed);
  return 0;
}
