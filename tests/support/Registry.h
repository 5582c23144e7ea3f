// Registry helpers of the tests: symbolic links between keys, and importing a
// .reg file the way a user would.
#pragma once
#include <windows.h>

#include <string>

namespace testing_support {

// A registry symbolic link at `key` below HKEY_CURRENT_USER to the native key
// path `target` (\Registry\Machine\...); volatile, so that nothing of it
// outlives the registry server. False when this registry makes no links.
bool MakeRegLink(const std::wstring& key, const std::wstring& target);
// Removes such a link itself (never its target), whatever became of it.
void RemoveRegLink(const std::wstring& key);

// The current user's SID as text ("S-1-5-21-..."), or empty.
std::wstring CurrentUserSid();
// The native name of a key below HKEY_CURRENT_USER, for a link's target.
std::wstring NativeUserKey(const std::wstring& key);

// Runs "regedit /s file" and waits up to `ms`; true when it ended with 0.
bool ImportWithRegedit(const std::wstring& file, DWORD ms = 120000);

}  // namespace testing_support
