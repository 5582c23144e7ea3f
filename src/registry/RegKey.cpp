#include "registry/RegKey.h"

#include "sys/TextCompare.h"

namespace registry {
namespace {

struct TRootEntry {
  const wchar_t* Name;
  HKEY Root;
};

const TRootEntry kRoots[] = {
    {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {L"HKEY_USERS", HKEY_USERS},
    {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

std::wstring WithoutLeadingBackslash(const std::wstring& path) {
  return !path.empty() && path[0] == L'\\' ? path.substr(1) : path;
}

}  // namespace

HKEY RootFromName(const std::wstring& name) {
  std::wstring upper = sys::UpperCase(name);
  for (const auto& r : kRoots)
    if (upper == r.Name) return r.Root;
  return nullptr;
}

std::wstring RootName(HKEY root) {
  for (const auto& r : kRoots)
    if (r.Root == root) return r.Name;
  return {};
}

std::wstring JoinKeyPath(const std::wstring& parent, const std::wstring& child) {
  std::wstring c = WithoutLeadingBackslash(child);
  if (parent.empty()) return c;
  if (c.empty()) return parent;
  return parent.back() == L'\\' ? parent + c : parent + L"\\" + c;
}

}  // namespace registry
