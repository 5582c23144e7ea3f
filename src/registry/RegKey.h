// Registry roots named by their full upper-case names, and key paths. Keys
// themselves are sys::RegistryKey, opened for reading unless asked otherwise.
#pragma once
#include <windows.h>

#include <string>

namespace registry {

// The root of a full root name ("HKEY_LOCAL_MACHINE", any case); nullptr for
// any other text, short forms included.
HKEY RootFromName(const std::wstring& name);
// "HKEY_CURRENT_USER" and so on; empty for a handle that is not a root.
std::wstring RootName(HKEY root);
// parent + "\" + child, without doubling a backslash or leading with one.
std::wstring JoinKeyPath(const std::wstring& parent, const std::wstring& child);

}  // namespace registry
