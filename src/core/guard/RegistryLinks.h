// Registry symbolic links on the way to a key. A key path is opened one part
// at a time from its parent's handle, each part as itself, so that a link at
// any level is seen; only the links the system itself keeps are followed.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace core {
namespace guard {

// "a\\b\\c" as its parts, an empty part kept where two separators meet.
std::vector<std::wstring> KeyPathParts(const std::wstring& path);

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
// is one. Each key opened must also bear the name of the part below the key
// it was opened from (in either view): a link that its own open did not
// show (one that got its target only after) gives `linkMet` too, and a name
// that cannot be read ERROR_CANTREAD. The WOW64 view flags of `access` apply
// to every part, but the key before a part named "Wow6432Node" is the key
// itself, not its 32-bit view.
LONG OpenPathAsItself(HKEY parent, const std::wstring& path, REGSAM access, LONG linkMet, HKEY* key, bool* isLink);

enum class LastPart {
  AsItself,  // as above: the last part is opened as itself, link or not
  Followed,  // the last part is treated as the others: a system link is followed to the key it stands for
};
class KeyChain;

// OpenPathAsItself with the choice for the last part; with Followed,
// `isLink` is always false. With a `chain` the parts opened are kept in it
// and the path starts below the deepest part it shares with the chain's
// last path; `key` then belongs to the chain, good until its next use.
LONG OpenPath(HKEY parent, const std::wstring& path, REGSAM access, LONG linkMet, LastPart last, HKEY* key,
              bool* isLink, KeyChain* chain = nullptr);

// NtQueryKey of an open key: its status (negative: failed).
LONG QueryKeyInformation(HKEY key, int infoClass, void* buffer, ULONG size, ULONG* returned);

enum class KeyLife { Unknown, Lasting, Volatile };

// The parts of the last path opened through it, held open, so that paths of
// one branch (the rows a scan finds one after another) do not each start at
// the root. A held part is used again only where it is a key that is no
// link nor below one, opened for the same view with the rights now asked,
// and only while it still bears the name it had: the part opened next below
// it must lie right below that name, and a path that ends at a held part
// asks it for its name again. Any doubt, and any failure below a held part,
// drops the chain and opens the path from the root. One thread only.
class KeyChain {
 public:
  KeyChain() = default;
  ~KeyChain() { Clear(); }
  KeyChain(const KeyChain&) = delete;
  KeyChain& operator=(const KeyChain&) = delete;

  void Clear() {
    Keep(0);
    root_ = nullptr;
  }
  // What is known of the held key `key`: Volatile when it or a held part
  // above it is volatile (the system gives a volatile key volatile subkeys
  // only), Lasting when it was found lasting. A key a link led to lies
  // elsewhere: the parts above the link tell nothing of it, nor it of them.
  KeyLife Life(HKEY key) const;
  // A lasting key also tells that every part above it lasts.
  void SetLife(HKEY key, KeyLife life);

 private:
  friend struct ChainWalk;
  struct Part {
    std::wstring text;  // as the path spells it
    REGSAM access;      // it was opened for
    HKEY key;
    std::wstring name;  // its native name then
    bool reusable;      // no link, nor below one
    bool viaLink;       // the key a link led to, not a subkey of the part above
    KeyLife life;
  };
  void Keep(size_t count);

  HKEY root_ = nullptr;
  std::vector<Part> parts_;
};

}  // namespace guard
}  // namespace core
