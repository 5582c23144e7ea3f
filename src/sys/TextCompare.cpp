#include "sys/TextCompare.h"

#include <windows.h>

namespace sys {

std::wstring UpperCase(std::wstring s) {
  if (!s.empty()) ::CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

size_t FindText(const std::wstring& s, const std::wstring& what) { return UpperCase(s).find(UpperCase(what)); }

bool StartsWithText(const std::wstring& s, const std::wstring& prefix) {
  return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

}  // namespace sys
