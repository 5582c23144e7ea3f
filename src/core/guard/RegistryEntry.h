// One key a delete works on, opened once: its path part by part as itself
// (OpenKeyAsItself) and, for a whole key, every key below it as itself from
// its parent's handle, all held open. The backup reads these handles, the
// checks ask them and the delete goes through them, so what is read is what
// is deleted, whatever the names lead to meanwhile.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "core/guard/RegistryLinks.h"

namespace core {
namespace guard {

// An open key and, when its tree was opened, the keys below it.
class HeldKey {
 public:
  HeldKey() = default;
  // `owned`: closed with it; else the handle belongs to a KeyChain.
  HeldKey(HKEY handle, std::wstring name, bool owned = true)
      : handle_(handle), name_(std::move(name)), owned_(owned) {}
  ~HeldKey();
  HeldKey(HeldKey&& other) noexcept;
  HeldKey& operator=(HeldKey&& other) noexcept;
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;

  HKEY Handle() const { return handle_; }
  // Its name below its parent; the whole path for the key opened first.
  const std::wstring& Name() const { return name_; }
  // In the order the registry listed them.
  const std::vector<HeldKey>& SubKeys() const { return subKeys_; }
  std::vector<HeldKey>& SubKeys() { return subKeys_; }

 private:
  HKEY handle_ = nullptr;
  std::wstring name_;
  bool owned_ = true;
  std::vector<HeldKey> subKeys_;
};

enum class EntryState {
  Open,       // held: it may be read, judged and deleted
  Missing,    // the key does not exist
  Link,       // the key, or a key on its path, is a link other than the system's
  LinkBelow,  // a key below it is a link (a whole key only)
  Volatile,   // it, or a key below it, lasts only until Windows restarts
  Unknown,    // a check could not finish (Error() says why): refused as a link is
};

enum class EntryScope {
  Values,  // the key's values: a system link at the key itself is followed to the key it stands for
  Key,     // the key itself, alone
  Tree,    // the key itself and every key below it
};

// What the entry is opened for: reading, or also deleting and asking
// whether it is volatile.
constexpr REGSAM kEntryRead = KEY_READ;
constexpr REGSAM kEntryDelete = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE;

class KeyEntry {
 public:
  // Opens `path` below `root` with `access` (its WOW64 view flags apply to
  // every part). A path with an empty part is Unknown. Through a `chain`
  // (which must outlive the entry) the key's path starts from the parts the
  // chain holds, and what is learnt of their volatility stays there.
  KeyEntry(HKEY root, const std::wstring& path, EntryScope scope, REGSAM access, KeyChain* chain = nullptr);
  KeyEntry(const KeyEntry&) = delete;
  KeyEntry& operator=(const KeyEntry&) = delete;

  EntryState State() const { return state_; }
  bool IsOpen() const { return state_ == EntryState::Open; }
  LONG Error() const { return error_; }
  // LinkBelow: the link's path below the key.
  const std::wstring& LinkPath() const { return linkPath_; }
  const HeldKey& Key() const { return key_; }

  // Whether a held key is volatile, asked through its own handle: of its
  // flags where the system tells them, else by a lasting subkey, which the
  // system refuses a volatile key and which is deleted at once through its
  // handle. That may write, so it is asked only of entries about to be
  // deleted. Volatile or Unknown become the state.
  EntryState CheckVolatile();
  // One value of the held key.
  LONG DeleteValue(const std::wstring& name) const;
  // The held keys, those below first, each through its own handle; a key
  // that gained a subkey meanwhile stays, with that subkey.
  LONG DeleteTree();

 private:
  EntryState Fail(EntryState state, LONG error);
  EntryState TopVolatility();
  void HoldTree(HeldKey* key, const std::wstring& below, REGSAM access);

  EntryState state_ = EntryState::Unknown;
  LONG error_ = ERROR_SUCCESS;
  std::wstring linkPath_;
  KeyChain* chain_ = nullptr;
  HeldKey key_;
};

}  // namespace guard
}  // namespace core
