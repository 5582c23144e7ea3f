// Registry roots named by their full upper-case names, and key paths. Keys
// themselves are sys::RegistryKey, opened for reading unless asked otherwise.
#pragma once
#include <windows.h>

#include <string>

#include "core/guard/RegistryGuard.h"

namespace registry {

// The root of a full root name ("HKEY_LOCAL_MACHINE", any case); nullptr for
// any other text, short forms included. The scan reads roots exactly as the
// guarded delete does, so a row it reports names a key the fix can reach.
inline HKEY RootFromName(const std::wstring& name) { return core::guard::RootKeyFromName(name); }
// "HKEY_CURRENT_USER" and so on; empty for a handle that is not a root.
inline std::wstring RootName(HKEY root) { return core::guard::RootKeyName(root); }
// parent + "\" + child, without doubling a backslash or leading with one.
std::wstring JoinKeyPath(const std::wstring& parent, const std::wstring& child);

}  // namespace registry
