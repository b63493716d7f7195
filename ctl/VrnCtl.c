/* VrnCtl.dll: each export posts one control request to the running Varnel
   and returns at once; the library keeps no state between calls. */
#include "ControlRequest.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}

/* Non-zero when posted; 0 when Varnel is not running or the post failed.
   A cdecl function without parameters is also a valid stdcall one, which is
   how VBA's Declare calls it. */
static int Request(enum VarnelRequestCode code) { return PostVarnelRequest(code, kFromVrnCtl) == kPosted; }

/* Exported under the names with a leading underscore (VrnCtl.def). */
int __cdecl NameStamp(void) { return Request(kRequestNameStamp); }
int __cdecl DateStamp(void) { return Request(kRequestDateStamp); }
int __cdecl DateStampEx(void) { return Request(kRequestDateStampEx); }
int __cdecl BmpStamp(void) { return Request(kRequestBmpStamp); }
int __cdecl ClearClipboard(void) { return Request(kRequestClearClipboard); }
int __cdecl ExitVarnel(void) { return Request(kRequestExitVarnel); }
int __cdecl ChangeUser(void) { return Request(kRequestChangeUser); }
