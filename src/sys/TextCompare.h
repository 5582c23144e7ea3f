// Comparisons of system names (paths, registry keys, process and device names).
// "Ignoring case" means both sides upper-cased the way Windows upper-cases names.
#pragma once
#include <cstddef>
#include <string>

namespace sys {

std::wstring UpperCase(std::wstring s);
bool SameText(const std::wstring& a, const std::wstring& b);
// Position of the first occurrence of `what` in `s` ignoring case, or npos.
size_t FindText(const std::wstring& s, const std::wstring& what);
bool StartsWithText(const std::wstring& s, const std::wstring& prefix);

// Whether `text` holds `part` as written; an empty part is held by any text.
inline bool Contains(const std::wstring& text, const std::wstring& part) {
  return text.find(part) != std::wstring::npos;
}
inline bool ContainsNoCase(const std::wstring& text, const std::wstring& part) {
  return Contains(UpperCase(text), UpperCase(part));
}
inline bool StartsWith(const std::wstring& text, const std::wstring& part) {
  return text.compare(0, part.size(), part) == 0;
}
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

}  // namespace sys
