#include "registry/RegKey.h"

namespace registry {
namespace {

std::wstring WithoutLeadingBackslash(const std::wstring& path) {
  return !path.empty() && path[0] == L'\\' ? path.substr(1) : path;
}

}  // namespace

std::wstring JoinKeyPath(const std::wstring& parent, const std::wstring& child) {
  std::wstring c = WithoutLeadingBackslash(child);
  if (parent.empty()) return c;
  if (c.empty()) return parent;
  return parent.back() == L'\\' ? parent + c : parent + L"\\" + c;
}

}  // namespace registry
