/* The control requests other programs send to a running Varnel: message
   0x400 (WM_USER) with the request code in wParam and 0 in lParam, posted to
   the hidden window titled "VarnelMain". Plain C, shared by VrnCtl.dll and
   vrnctl.exe. */
#ifndef VARNEL_CTL_CONTROLREQUEST_H
#define VARNEL_CTL_CONTROLREQUEST_H

#include <windows.h>

enum VarnelRequestCode {
  kRequestNameStamp = 1,
  kRequestDateStamp = 2, /* no date-change prompt */
  kRequestBmpStamp = 3,
  kRequestClearClipboard = 4,
  kRequestExitVarnel = 5,
  kRequestChangeUser = 6,
  kRequestDateStampEx = 7 /* with the date-change prompt and the information message */
};

enum VarnelPostResult { kPosted, kVarnelNotRunning, kPostFailed };

/* Who sent a request, in lParam: VrnCtl.dll posts 0; vrnctl.exe says it is
   the sender, so the stamp log can tell a batch file from another program. */
enum VarnelRequestSource { kFromVrnCtl = 0, kFromVrnctl = 1 };

/* A missing window must not reach PostMessageW: with a null window it posts
   to the calling thread's own queue and reports success. */
static inline enum VarnelPostResult PostVarnelRequest(enum VarnelRequestCode code, enum VarnelRequestSource source) {
  HWND varnelMain = FindWindowW(NULL, L"VarnelMain");
  if (varnelMain == NULL) return kVarnelNotRunning;
  return PostMessageW(varnelMain, WM_USER, (WPARAM)code, (LPARAM)source) ? kPosted : kPostFailed;
}

#endif
