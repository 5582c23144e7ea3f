// Letter-case-blind comparisons of system names (paths, process and device names).
#pragma once
#include <string>

namespace core {

std::wstring UpperCase(std::wstring s);
bool SameText(const std::wstring& a, const std::wstring& b);
// Position of the first occurrence of `what` in `s` ignoring case, or npos.
size_t FindText(const std::wstring& s, const std::wstring& what);
bool StartsWithText(const std::wstring& s, const std::wstring& prefix);

}  // namespace core
