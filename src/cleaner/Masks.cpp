#include "cleaner/Masks.h"

#include <windows.h>

namespace cleaner {

std::wstring UpperName(const std::wstring& text) {
  std::wstring upper = text;
  if (!upper.empty()) ::CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
  return upper;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() && UpperName(a) == UpperName(b);
}

FileMask::FileMask(const std::wstring& mask) {
  empty_ = mask.empty();
  size_t star = mask.find(L'*');
  wildcard_ = star != std::wstring::npos;
  if (!wildcard_) {
    suffix_ = UpperName(mask);
    return;
  }
  prefix_ = UpperName(mask.substr(0, star));
  suffix_ = UpperName(mask.substr(star + 1));
  all_ = mask == L"*.*" || mask == L"*";
}

bool FileMask::Matches(const std::wstring& name) const {
  if (empty_) return false;
  if (all_) return true;
  std::wstring upper = UpperName(name);
  if (!wildcard_) return upper == suffix_;
  if (upper.size() < prefix_.size() + suffix_.size()) return false;
  return upper.compare(0, prefix_.size(), prefix_) == 0 &&
         upper.compare(upper.size() - suffix_.size(), suffix_.size(), suffix_) == 0;
}

}  // namespace cleaner
