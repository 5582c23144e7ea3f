#include "registry/ScanText.h"

#include <windows.h>

namespace registry {

std::wstring UpperCase(std::wstring s) {
  if (!s.empty()) ::CharUpperBuffW(&s[0], static_cast<DWORD>(s.size()));
  return s;
}

}  // namespace registry
