// Registry roots by name, key paths as the items write them, and the counts
// and deletions the registry primitives build on.
#pragma once
#include <windows.h>

#include <string>

namespace cleaner {

// One of the five full root names, in any letter case; nullptr for any other.
HKEY RootKeyFromName(const std::wstring& name);
// The full name of a root, or empty for any other handle.
std::wstring RootKeyName(HKEY root);

// "\Software\X\" -> "Software\X"; empty for a path with an empty component
// ("Software\\X"), which names no key we may touch.
std::wstring NormalKeyPath(const std::wstring& key);
// Whole-key and all-values deletions are refused for a root or a first-level
// key ("Software"): nothing the program cleans lives that high. A user's
// hive under HKEY_USERS, a classes root ("Software\Classes") and a 32-bit
// view ("Wow6432Node") count as roots.
bool IsDeletableKeyPath(HKEY root, const std::wstring& normalKey);

bool RegKeyExists(HKEY root, const std::wstring& key);
// The key is a registry symbolic link: it stands for a key elsewhere.
bool IsRegLink(HKEY root, const std::wstring& key);
// Values of the key and of every key below it; 0 for a missing key. Links
// are not entered and count nothing.
int CountRegValues(HKEY root, const std::wstring& key);
// Deletes the key with everything below it; true when it is gone. A link
// below it (or the key itself, when it is one) goes as a link: its target
// is never entered.
bool DeleteRegKeyTree(HKEY root, const std::wstring& key);

}  // namespace cleaner
