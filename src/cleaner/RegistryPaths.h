// Registry roots by name and key places (from the guarded-delete module), and
// the counts and deletions the registry primitives build on.
#pragma once
#include <windows.h>

#include <string>

#include "core/guard/RegistryGuard.h"

namespace cleaner {

using core::guard::IsDeletableKeyPath;
using core::guard::IsRegLink;
using core::guard::NormalKeyPath;
using core::guard::RootKeyFromName;
using core::guard::RootKeyName;

bool RegKeyExists(HKEY root, const std::wstring& key);
// Values of the key and of every key below it; 0 for a missing key. Links
// are not entered and count nothing.
int CountRegValues(HKEY root, const std::wstring& key);
// Deletes the key with everything below it; true when it is gone. A link
// below it (or the key itself, when it is one) goes as a link: its target
// is never entered.
bool DeleteRegKeyTree(HKEY root, const std::wstring& key);

}  // namespace cleaner
