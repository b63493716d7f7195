#include "Patterns.h"

#include <windows.h>

#include "Dialog.h"
#include "Dib.h"
#include "resource.h"

namespace {

int PatternResource(int backImage) {
  switch (backImage) {
    case 1: return IDB_SHITAJI;
    case 2: return IDB_SHITAJI2;
    case 3: return IDB_SHITAJI3;
  }
  return 0;
}

}  // namespace

// A BITMAP resource is the .bmp file without its 14-byte file header, which
// is a packed DIB. Resource memory needs no freeing.
PackedDib BackgroundPattern(int backImage) {
  const int id = PatternResource(backImage);
  if (id == 0) return {};
  HMODULE module = ResourceModule();
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), RT_BITMAP);
  HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
  const auto* bytes = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  const DWORD size = info ? SizeofResource(module, info) : 0;
  if (!bytes || size == 0) return {};
  PackedDib dib(bytes, bytes + size);
  if (!DibView(dib).Valid()) return {};
  return dib;
}
