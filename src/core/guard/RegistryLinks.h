// Registry symbolic links on the way to a key. A key path is opened one part
// at a time from its parent's handle, each part as itself, so that a link at
// any level is seen; only the links the system itself keeps are followed.
#pragma once
#include <windows.h>

#include <string>

namespace core {
namespace guard {

// The key is a registry symbolic link (its own handle, opened as itself).
bool IsLinkKey(HKEY key);

// The native name of an open key ("\REGISTRY\MACHINE\SOFTWARE\..."), empty
// when it cannot be read.
std::wstring KeyNativeName(HKEY key);

// The links the system keeps and that key paths of any program pass: the
// current control set, a user's classes, and the keys the 32-bit view shares
// with the native view (a link to the same key there). Each is known by its
// own native name and that of the key it leads to (any letter case); any
// other link is not ours to follow.
bool IsSystemLink(const std::wstring& linkName, const std::wstring& targetName);

// Opens `path` below `parent` part by part. Every part before the last that
// is a link, other than a system link, ends the walk with `linkMet` (nothing
// opened); the last part is opened as itself and `isLink` tells whether it
// is one. The WOW64 view flags of `access` apply to every part.
LONG OpenPathAsItself(HKEY parent, const std::wstring& path, REGSAM access, LONG linkMet, HKEY* key, bool* isLink);

}  // namespace guard
}  // namespace core
