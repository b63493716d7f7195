#pragma once
// The document-ID prompt of a guarded stamp: the ID of the document the seal
// is stamped for, printed under the seal.

#include <windows.h>

#include <string>

struct DocumentIdAnswer {
  bool Accepted = false;  // closed through "OK"
  std::string Text;       // code page 932, at most 10 characters
};

DocumentIdAnswer AskDocumentId(HWND owner);
