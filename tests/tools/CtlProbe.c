/* Calls a VrnCtl.dll the way a 64-bit caller would (LoadLibrary and
   GetProcAddress), for the 64-bit library that the 32-bit tests cannot load.
   Usage: ctlprobe64.exe <VrnCtl.dll>
   Calls the seven exports by name in ordinal order. Exit code: bit n-1 set
   when the export of ordinal n returned non-zero, bit 7 when a WM_USER
   landed in this thread's own queue; 1000 when the library does not load,
   1001 when an export (the seven, or the PDF exports at 8 and 9) is missing
   or not at its ordinal.
   Usage: ctlprobe64.exe <VrnCtl.dll> <export>
   Calls that one export: exit code 1 when it returned non-zero, else 0. */
#include <windows.h>

typedef int(__cdecl* ControlExport)(void);

static const char* const kExportNames[] = {"_NameStamp",      "_DateStamp",  "_DateStampEx", "_BmpStamp",
                                           "_ClearClipboard", "_ExitVarnel", "_ChangeUser"};
enum { kExportCount = sizeof kExportNames / sizeof kExportNames[0] };
/* After the seven: the PDF stamp, which returns its outcome (not called here). */
static const char* const kPdfExportNames[] = {"_PdfStamp", "_PdfStampW"};
enum { kAllExports = kExportCount + sizeof kPdfExportNames / sizeof kPdfExportNames[0] };

static int ExportsSitAtTheirOrdinals(HMODULE library) {
  for (int i = 0; i < kAllExports; ++i) {
    const char* name = i < kExportCount ? kExportNames[i] : kPdfExportNames[i - kExportCount];
    FARPROC byName = GetProcAddress(library, name);
    if (byName == NULL || byName != GetProcAddress(library, MAKEINTRESOURCEA(i + 1))) return 0;
  }
  return GetProcAddress(library, MAKEINTRESOURCEA(kAllExports + 1)) == NULL;
}

static int StrayRequestInOwnQueue(void) {
  MSG msg;
  return PeekMessageW(&msg, NULL, WM_USER, WM_USER, PM_REMOVE);
}

int wmain(int argc, wchar_t* argv[]) {
  MSG msg;
  HMODULE library;
  int results = 0;
  if (argc != 2 && argc != 3) return 1000;
  /* Gives this thread a message queue, where a post to no window would land. */
  PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE);
  library = LoadLibraryW(argv[1]);
  if (library == NULL) return 1000;
  if (!ExportsSitAtTheirOrdinals(library)) return 1001;
  if (argc == 3) {
    char name[64];
    ControlExport request;
    if (WideCharToMultiByte(CP_ACP, 0, argv[2], -1, name, sizeof name, NULL, NULL) == 0) return 1001;
    request = (ControlExport)(void (*)(void))GetProcAddress(library, name);
    if (request == NULL) return 1001;
    results = request() != 0;
    FreeLibrary(library);
    return results;
  }
  for (int i = 0; i < kExportCount; ++i) {
    ControlExport request = (ControlExport)(void (*)(void))GetProcAddress(library, kExportNames[i]);
    if (request() != 0) results |= 1 << i;
  }
  if (StrayRequestInOwnQueue()) results |= 1 << 7;
  FreeLibrary(library);
  return results;
}
