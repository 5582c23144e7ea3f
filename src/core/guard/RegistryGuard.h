// Registry roots by name, where a key lies below the root it really belongs
// to, and the deletions of keys and values that never follow a registry link.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "core/guard/RegistryLinks.h"

namespace core {
namespace guard {

// One of the five full root names, in any letter case; nullptr for any other.
HKEY RootKeyFromName(const std::wstring& name);
// The full name of a root, or empty for any other handle.
std::wstring RootKeyName(HKEY root);

// "\Software\X\" -> "Software\X"; empty for a path with an empty component
// ("Software\\X"), which names no key we may touch.
std::wstring NormalKeyPath(const std::wstring& key);
// An empty path (the root itself) or one whose parts are all non-empty.
bool IsCleanKeyPath(const std::wstring& path);

enum class KeyPlace {
  Root,        // a root, also under another name
  FirstLevel,  // directly below a root
  Class,       // one class directly below a classes root other than HKEY_CLASSES_ROOT
  Deeper,
};
// Some keys are a root under another name: every key of HKEY_USERS is a
// user's hive (one ending in "_Classes" a classes root), "Software\Classes"
// is the classes root of its hive, and "Wow6432Node" is the 32-bit view of
// the key that holds it. Their levels count from there.
KeyPlace PlaceOfKey(HKEY root, const std::wstring& path);
// Whole-key and all-values deletions need a key deeper than the first level.
bool IsDeletableKeyPath(HKEY root, const std::wstring& normalKey);

// A registry link met where a delete would have to follow it.
constexpr LONG kLinkMet = ERROR_CANT_ACCESS_FILE;

// Opens the key itself, never a link's target; `isLink` tells whether it is
// one. A link on the way to it (other than the system's own) gives kLinkMet.
LONG OpenKeyAsItself(HKEY parent, const std::wstring& path, REGSAM access, HKEY* key, bool* isLink);
// The key is a registry symbolic link, or lies below one: it stands for a
// key elsewhere. Also true when the walk to it could not finish (a missing
// key is no link).
bool IsRegLink(HKEY root, const std::wstring& path);

// The names of an open key's subkeys, all collected before any is used.
LONG ListSubKeyNames(HKEY key, std::vector<std::wstring>* names);
// Deletes the key an open handle holds (it needs DELETE access), whatever
// its name leads to by now; RegDeleteKey would look the name up again.
LONG DeleteOpenKey(HKEY key);

enum class LinkBelow {
  RemoveLink,  // a link in the tree goes as a link, its target stays
  Stop,        // a link in the tree stops the delete (kLinkMet)
};
// Deletes the key with every subkey, children first; each key is opened as
// itself and deleted through that handle. ERROR_SUCCESS when it is gone.
LONG DeleteKeyTree(HKEY root, const std::wstring& path, LinkBelow links);
// One value of the key; kLinkMet when the key is a link.
LONG DeleteOneValue(HKEY root, const std::wstring& path, const std::wstring& name);
// Every value of the key (its subkeys stay); kLinkMet when the key is a link.
LONG DeleteAllValues(HKEY root, const std::wstring& path);

}  // namespace guard
}  // namespace core
