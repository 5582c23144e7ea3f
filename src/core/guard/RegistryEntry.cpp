#include "core/guard/RegistryEntry.h"

#include <cstddef>

#include "core/guard/RegistryGuard.h"

namespace core {
namespace guard {
namespace {

// NtQueryKey's KeyFlagsInformation: the key's own flags, volatile among them.
struct KeyFlagsInformation {
  ULONG Wow64Flags;
  ULONG KeyFlags;
  ULONG ControlFlags;
};
const int kKeyFlagsInformation = 5;
const ULONG kKeyFlagVolatile = 0x1;

// Volatile or Open as the key's flags read; Unknown when they cannot be read.
EntryState ReadFlags(HKEY key) {
  KeyFlagsInformation info{};
  ULONG size = 0;
  const LONG status = QueryKeyInformation(key, kKeyFlagsInformation, &info, sizeof(info), &size);
  if (status < 0 || size < offsetof(KeyFlagsInformation, ControlFlags)) return EntryState::Unknown;
  return (info.KeyFlags & kKeyFlagVolatile) != 0 ? EntryState::Volatile : EntryState::Open;
}

EntryState ReadMachineKeyFlags(const wchar_t* path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return EntryState::Unknown;
  const EntryState state = ReadFlags(key);
  ::RegCloseKey(key);
  return state;
}

// The flags are trusted once they read as they must for two keys every
// system has: the hardware key, made anew at each start, volatile, and the
// software key lasting. A system that does not tell them (Wine answers the
// question as an invalid parameter) or tells them otherwise is not asked.
bool FlagsTellVolatility() {
  static const bool told = ReadMachineKeyFlags(L"HARDWARE") == EntryState::Volatile &&
                           ReadMachineKeyFlags(L"SOFTWARE") == EntryState::Open;
  return told;
}

EntryState FlagVolatility(HKEY key) { return FlagsTellVolatility() ? ReadFlags(key) : EntryState::Unknown; }

// A probe subkey made through the key's own handle and deleted through its
// own: Volatile, Open (a lasting key) or Unknown. A probe name that exists
// already tells nothing.
EntryState ProbeVolatility(HKEY key) {
  const std::wstring name = L"Vantorel volatility probe " + std::to_wstring(::GetCurrentProcessId()) + L"." +
                            std::to_wstring(::GetTickCount());
  HKEY probe = nullptr;
  DWORD disposition = 0;
  LONG rc = ::RegCreateKeyExW(key, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, DELETE | KEY_QUERY_VALUE,
                              nullptr, &probe, &disposition);
  if (rc == ERROR_CHILD_MUST_BE_VOLATILE) return EntryState::Volatile;
  if (rc != ERROR_SUCCESS) return EntryState::Unknown;
  rc = disposition == REG_CREATED_NEW_KEY ? DeleteOpenKey(probe) : ERROR_ALREADY_EXISTS;
  ::RegCloseKey(probe);
  return rc == ERROR_SUCCESS ? EntryState::Open : EntryState::Unknown;
}

EntryState Volatility(HKEY key) {
  const EntryState state = FlagVolatility(key);
  return state != EntryState::Unknown ? state : ProbeVolatility(key);
}

// Every key below a volatile one is volatile too, but a lasting key may
// hold either: each held key below `key` (whose own answer is `top`) is
// asked, from the top.
EntryState TreeVolatility(const HeldKey& key, EntryState top) {
  EntryState state = top;
  for (size_t i = 0; state == EntryState::Open && i < key.SubKeys().size(); ++i)
    state = TreeVolatility(key.SubKeys()[i], Volatility(key.SubKeys()[i].Handle()));
  return state;
}

LONG DeleteHeld(const HeldKey& key) {
  for (const auto& sub : key.SubKeys()) {
    LONG rc = DeleteHeld(sub);
    if (rc != ERROR_SUCCESS && rc != ERROR_KEY_DELETED) return rc;  // another program's delete is no failure below
  }
  return DeleteOpenKey(key.Handle());
}

// The code a refused entry's deletes answer with.
LONG RefusalCode(EntryState state, LONG error) {
  switch (state) {
    case EntryState::Open: return ERROR_SUCCESS;
    case EntryState::Missing: return ERROR_FILE_NOT_FOUND;
    case EntryState::Link:
    case EntryState::LinkBelow: return kLinkMet;
    case EntryState::Volatile: return ERROR_CHILD_MUST_BE_VOLATILE;
    default: return error != ERROR_SUCCESS ? error : ERROR_ACCESS_DENIED;
  }
}

}  // namespace

HeldKey::~HeldKey() {
  if (handle_ != nullptr && owned_) ::RegCloseKey(handle_);
}

HeldKey::HeldKey(HeldKey&& other) noexcept
    : handle_(other.handle_), name_(std::move(other.name_)), owned_(other.owned_), subKeys_(std::move(other.subKeys_)) {
  other.handle_ = nullptr;
}

HeldKey& HeldKey::operator=(HeldKey&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr && owned_) ::RegCloseKey(handle_);
    handle_ = other.handle_;
    name_ = std::move(other.name_);
    owned_ = other.owned_;
    subKeys_ = std::move(other.subKeys_);
    other.handle_ = nullptr;
  }
  return *this;
}

KeyEntry::KeyEntry(HKEY root, const std::wstring& path, EntryScope scope, REGSAM access, KeyChain* chain)
    : chain_(chain) {
  if (!IsCleanKeyPath(path)) {
    Fail(EntryState::Unknown, ERROR_INVALID_NAME);
    return;
  }
  HKEY key = nullptr;
  bool link = false;
  const LastPart last = scope == EntryScope::Values ? LastPart::Followed : LastPart::AsItself;
  LONG rc = OpenPath(root, path, access, kLinkMet, last, &key, &link, chain);
  if (rc != ERROR_SUCCESS) {
    Fail(rc == ERROR_FILE_NOT_FOUND ? EntryState::Missing : rc == kLinkMet ? EntryState::Link : EntryState::Unknown,
         rc);
    return;
  }
  key_ = HeldKey(key, path, chain == nullptr);
  if (link) {
    Fail(EntryState::Link, kLinkMet);
    return;
  }
  state_ = EntryState::Open;
  if (scope == EntryScope::Tree) HoldTree(&key_, std::wstring(), access);
}

EntryState KeyEntry::Fail(EntryState state, LONG error) {
  state_ = state;
  error_ = error;
  return state_;
}

// Names are listed before any is opened; one that is gone by then is no
// longer below the key. A link below is not entered.
void KeyEntry::HoldTree(HeldKey* key, const std::wstring& below, REGSAM access) {
  std::vector<std::wstring> names;
  LONG rc = ListSubKeyNames(key->Handle(), &names);
  if (rc != ERROR_SUCCESS) {
    Fail(EntryState::Unknown, rc);
    return;
  }
  for (const auto& name : names) {
    HKEY sub = nullptr;
    bool link = false;
    rc = OpenKeyAsItself(key->Handle(), name, access, &sub, &link);
    if (rc == ERROR_FILE_NOT_FOUND) continue;
    const std::wstring path = below.empty() ? name : below + L"\\" + name;
    if (rc != ERROR_SUCCESS && rc != kLinkMet) {
      Fail(EntryState::Unknown, rc);
      return;
    }
    if (sub != nullptr) key->SubKeys().emplace_back(sub, name);
    if (link || rc == kLinkMet) {
      linkPath_ = path;
      Fail(EntryState::LinkBelow, kLinkMet);
      return;
    }
    HoldTree(&key->SubKeys().back(), path, access);
    if (state_ != EntryState::Open) return;
  }
}

EntryState KeyEntry::CheckVolatile() {
  if (state_ != EntryState::Open) return state_;
  EntryState state = TreeVolatility(key_, TopVolatility());
  return state == EntryState::Open ? state_ : Fail(state, ERROR_SUCCESS);
}

// The key's own answer, known to its chain or asked and told to it.
EntryState KeyEntry::TopVolatility() {
  const KeyLife known = chain_ != nullptr ? chain_->Life(key_.Handle()) : KeyLife::Unknown;
  if (known != KeyLife::Unknown) return known == KeyLife::Volatile ? EntryState::Volatile : EntryState::Open;
  const EntryState state = Volatility(key_.Handle());
  if (chain_ != nullptr && state != EntryState::Unknown)
    chain_->SetLife(key_.Handle(), state == EntryState::Volatile ? KeyLife::Volatile : KeyLife::Lasting);
  return state;
}

LONG KeyEntry::DeleteValue(const std::wstring& name) const {
  if (state_ != EntryState::Open) return RefusalCode(state_, error_);
  return ::RegDeleteValueW(key_.Handle(), name.c_str());
}

LONG KeyEntry::DeleteTree() {
  if (state_ != EntryState::Open) return RefusalCode(state_, error_);
  return DeleteHeld(key_);
}

}  // namespace guard
}  // namespace core
