// Text tests of the scanner. "Case-insensitive" means both sides upper-cased
// the way Windows upper-cases names.
#pragma once
#include <cstddef>
#include <string>

namespace registry {

std::wstring UpperCase(std::wstring s);
// Whether `text` holds `part`; an empty part is held by any text.
inline bool Contains(const std::wstring& text, const std::wstring& part) {
  return text.find(part) != std::wstring::npos;
}
inline bool ContainsNoCase(const std::wstring& text, const std::wstring& part) {
  return Contains(UpperCase(text), UpperCase(part));
}
inline bool StartsWith(const std::wstring& text, const std::wstring& part) {
  return text.compare(0, part.size(), part) == 0;
}
inline bool SameText(const std::wstring& a, const std::wstring& b) { return UpperCase(a) == UpperCase(b); }
// Whether `text` holds any of `parts`, as written or ignoring letter case.
template <size_t N>
bool ContainsAny(const std::wstring& text, const wchar_t* const (&parts)[N]) {
  for (const wchar_t* p : parts)
    if (Contains(text, p)) return true;
  return false;
}
template <size_t N>
bool ContainsAnyNoCase(const std::wstring& text, const wchar_t* const (&parts)[N]) {
  std::wstring upper = UpperCase(text);
  for (const wchar_t* p : parts)
    if (Contains(upper, UpperCase(p))) return true;
  return false;
}

}  // namespace registry
