// Times stamps of the running program from a control request to a complete
// clipboard (EMF + METAFILEPICT + DIB), against a minimal baseline program
// doing the same with one circle; and the time from process start to the
// "VarnelMain" window.
// Usage: stamp_latency.exe [runs]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "harness/Pixels.h"
#include "harness/Process.h"
#include "harness/Registry.h"
#include "harness/Varnel.h"

namespace {

const std::wstring kSealFile = L"bench-seal.bmp";

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Figures {
  double median = 0, p90 = 0;
  int failed = 0;
};

Figures Summarise(std::vector<double> times, int failed) {
  Figures f;
  f.failed = failed;
  if (times.empty()) return f;
  std::sort(times.begin(), times.end());
  f.median = times[times.size() / 2];
  f.p90 = times[std::min(times.size() - 1, times.size() * 9 / 10)];
  return f;
}

// Posts the request and waits for the clipboard to change and hold the
// three formats; then lets the writer close the clipboard before the next.
// Nothing when the clipboard did not get there.
std::optional<double> StampOnce(HWND window, WPARAM code) {
  const DWORD before = GetClipboardSequenceNumber();
  const double start = Now();
  PostMessageW(window, WM_USER, code, 0);
  const bool done = harness::WaitForStampFormats(before, 10000);
  const double end = Now();
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
  if (!done) return std::nullopt;
  return end - start;
}

struct Series {
  HWND window;
  WPARAM code;
  // Run before each stamp, outside the time.
  std::function<void(int run)> before;
  std::vector<double> times;
  int failed = 0;
};

// The series take turns, one stamp each, so that whatever else the machine
// is doing weighs on all of them alike. The first round warms up fonts and
// caches and is not counted.
void TimeInTurns(std::vector<Series*> series, int runs) {
  for (int i = 0; i <= runs; ++i) {
    for (Series* s : series) {
      if (s->before) s->before(i);
      const std::optional<double> time = StampOnce(s->window, s->code);
      if (i == 0) continue;
      if (time)
        s->times.push_back(*time);
      else
        ++s->failed;
    }
  }
}

std::wstring ToolFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring file(path, n);
  return file.substr(0, file.find_last_of(L'\\') + 1);
}

// A 250 x 250 bitmap seal in the program folder, as the cutter would save it.
void WriteBitmapSeal() {
  const std::string bytes = harness::WhiteBmpFile(250);
  harness::WriteWholeFile(harness::DistPath(kSealFile), bytes.data(), bytes.size());
}

void PrepareSettings() {
  harness::DeleteTree(L"Software\\Qdx");
  harness::WriteString(harness::kRoot, L"Version", L"126");
  harness::WriteString(harness::kRoot, L"ShowExBar", L"2");
  harness::WriteString(harness::kRoot, L"CheckDate", L"0");
  harness::WriteString(harness::kRoot, L"ShowMessage", L"0");
  harness::WriteString(harness::kRoot, L"Bitmap1", kSealFile);
}

void EndVarnel(HWND tray, harness::RunningProgram& program) {
  PostMessageW(tray, WM_USER, 5, 0);
  if (HWND box = harness::WaitForBox(L"Varnel印鑑", 5000)) harness::PressButton(box, IDOK);
  if (program.WaitForExit(10000) == STILL_ACTIVE) program.Terminate();
}

void Row(const char* name, const Figures& f, const Figures& baseline) {
  std::printf("%-12s %9.2f %9.2f %9.2f %9.2f", name, f.median, f.p90, f.median / baseline.median,
              f.p90 / baseline.p90);
  if (f.failed) std::printf("   (%d incomplete)", f.failed);
  std::printf("\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 50;
  PrepareSettings();
  WriteBitmapSeal();

  const double launched = Now();
  std::optional<harness::RunningProgram> varnel(std::in_place, harness::DistPath(L"Varnel.exe"));
  HWND tray = harness::WaitForWindow(L"VarnelMain", 30000);
  const double startUp = Now() - launched;
  if (!tray) {
    std::printf("stamp_latency: the program did not start\n");
    return 1;
  }
  Sleep(500);  // the stamp pad's first showing
  harness::RunningProgram baselineProgram(ToolFolder() + L"baseline.exe");
  HWND baselineWindow = harness::WaitForWindow(L"VarnelBaseline", 30000);
  if (!baselineWindow) {
    std::printf("stamp_latency: the baseline did not start\n");
    EndVarnel(tray, *varnel);
    return 1;
  }
  Series nameSeries{tray, 1, {}, {}}, dateSeries{tray, 2, {}, {}}, bitmapSeries{tray, 3, {}, {}},
      baselineSeries{baselineWindow, 0, {}, {}};
  TimeInTurns({&nameSeries, &dateSeries, &bitmapSeries, &baselineSeries}, runs);
  // Then the name seal changed before every stamp, as after an edit: its
  // settings are read and its picture drawn anew each time.
  Series editedSeries{tray, 1,
                      [](int run) {
                        harness::WriteString(harness::Section(L"NameStamp"), L"StampColor",
                                             run % 2 == 0 ? L"255" : L"254");
                      },
                      {}};
  Series editedBaselineSeries{baselineWindow, 0, {}, {}};
  TimeInTurns({&editedSeries, &editedBaselineSeries}, runs);
  EndVarnel(tray, *varnel);
  PostMessageW(baselineWindow, WM_CLOSE, 0, 0);
  baselineProgram.WaitForExit(5000);
  DeleteFileW(harness::DistPath(kSealFile).c_str());
  harness::DeleteTree(L"Software\\Qdx");

  const Figures name = Summarise(nameSeries.times, nameSeries.failed);
  const Figures date = Summarise(dateSeries.times, dateSeries.failed);
  const Figures bitmap = Summarise(bitmapSeries.times, bitmapSeries.failed);
  const Figures baseline = Summarise(baselineSeries.times, baselineSeries.failed);
  const Figures edited = Summarise(editedSeries.times, editedSeries.failed);
  const Figures editedBaseline = Summarise(editedBaselineSeries.times, editedBaselineSeries.failed);

  std::printf("Control request to complete clipboard (EMF + METAFILEPICT + DIB), %d runs each in turns, ms:\n", runs);
  std::printf("%-12s %9s %9s %9s %9s\n", "", "median", "p90", "x median", "x p90");
  Row("name seal", name, baseline);
  Row("date seal", date, baseline);
  Row("bitmap seal", bitmap, baseline);
  Row("baseline", baseline, baseline);
  std::printf("The name seal edited before each stamp (settings read and picture drawn anew), in turns\n"
              "with the baseline:\n");
  Row("name seal", edited, editedBaseline);
  Row("baseline", editedBaseline, editedBaseline);
  std::printf("Start to the VarnelMain window: %.0f ms\n", startUp);
  bool withinTarget = true;
  for (const Figures* f : {&name, &date, &bitmap})
    withinTarget = withinTarget && f->median <= 1.5 * baseline.median;
  std::printf("Target (each seal's median within 1.5 x the baseline): %s\n", withinTarget ? "met" : "NOT met");
  const double freshRatio = editedBaseline.median > 0 ? edited.median / editedBaseline.median : 0;
  std::printf("Fresh stamp (edited before each stamp) at %.2f x its baseline; target 1.5: %s\n", freshRatio,
              freshRatio <= 1.5 ? "met" : "NOT met");
  return 0;
}
