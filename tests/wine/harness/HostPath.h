#pragma once
// Files of the build tree as a Windows program under Wine names them.

#include <string>

namespace harness {

// Wine maps the Unix root to drive Z:.
inline std::wstring HostPath(std::wstring unixPath) {
  for (auto& c : unixPath)
    if (c == L'/') c = L'\\';
  return L"Z:" + unixPath;
}

}  // namespace harness
