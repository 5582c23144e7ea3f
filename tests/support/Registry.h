// Registry helpers of the tests: seeding and checking keys and values,
// symbolic links between keys, and importing a .reg file the way a user would.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace testing_support {

// Seeding below a root; the keys above are created as needed.
void SetValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type, const std::vector<BYTE>& data);
void SetString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& text,
               DWORD type = REG_SZ);
void SetDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD value);
void CreateKey(HKEY root, const std::wstring& key);
void DeleteValue(HKEY root, const std::wstring& key, const std::wstring& name);
void DeleteTree(HKEY root, const std::wstring& key);
// A key path may start with one backslash.
bool KeyExists(HKEY root, const std::wstring& key);
bool ValueExists(HKEY root, const std::wstring& key, const std::wstring& name);

// UTF-16 bytes of `text` with its NUL (or the given bytes of a multi-string).
std::vector<BYTE> TextBytes(const std::wstring& text);
std::vector<BYTE> Bytes(std::initializer_list<int> bytes);

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
