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
#include "ProgramFolder.h"
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

void Report(const char* name, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  const double p90 = times[std::min(times.size() - 1, times.size() * 9 / 10)];
  std::printf("%-12s median %7.2f ms   p90 %7.2f ms   (%zu runs)\n", name, median, p90, times.size());
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

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double TimeOnce(const std::function<void()>& work) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  work();
  QueryPerformanceCounter(&end);
  return Milliseconds(start, end);
}

// What the hand-pressed ink at medium adds to a stamp: the same stamp with
// the ink off and at medium, a new impression each time, timed in turns so
// that whatever else the machine does weighs on both alike.
void InkRow(const char* name, int runs, const std::function<void()>& stamp) {
  std::vector<double> clean, pressed;
  stamp();  // warm up fonts and caches
  for (int i = 0; i < runs; ++i) {
    OptionSettings.InkEffect = kInkOff;
    clean.push_back(TimeOnce(stamp));
    OptionSettings.InkEffect = 2;
    pressed.push_back(TimeOnce(stamp));
  }
  OptionSettings.InkEffect = kInkOff;
  const double off = Median(clean), on = Median(pressed);
  std::printf("%-12s clean %6.2f ms, pressed %6.2f ms: %.2f x (target 1.5: %s)\n", name, off, on, on / off,
              on <= 1.5 * off ? "met" : "NOT met");
}

// A 250 x 250 bitmap seal in the user's folder, as the cutter would save it.
void WriteBitmapSeal() {
  const std::string bytes = harness::WhiteBmpFile(250);
  MakeUserFolder();
  harness::WriteWholeFile(UserFile(L"bench-seal.bmp"), bytes.data(), bytes.size());
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
  Report("name seal", Time(runs, [&] { pad.SpeedButton1Click(); }));
  Report("date seal", Time(runs, [&] { pad.SpeedButton2Click(); }));
  Report("bitmap seal", Time(runs, [&] { pad.B1Click(); }));
  DeleteFileW(UserFile(L"bench-seal.bmp").c_str());

  std::printf("The hand-pressed ink at medium against the clean stamp, in turns:\n");
  InkRow("name seal", runs, [&] { pad.SpeedButton1Click(); });
  InkRow("date seal", runs, [&] { pad.SpeedButton2Click(); });
  return 0;
}
