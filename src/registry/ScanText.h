// Text tests of the scanner. "Case-insensitive" means both sides upper-cased
// the way Windows upper-cases names.
#pragma once
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

}  // namespace registry
