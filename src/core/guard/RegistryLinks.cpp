#include "core/guard/RegistryLinks.h"

#include <vector>

#include "sys/TextCompare.h"

namespace core {
namespace guard {
namespace {

const wchar_t kViewPart[] = L"Wow6432Node";

bool IsControlSetName(const std::wstring& upper) {
  const std::wstring prefix = L"\\REGISTRY\\MACHINE\\SYSTEM\\CONTROLSET";
  if (upper.size() != prefix.size() + 3 || upper.compare(0, prefix.size(), prefix) != 0) return false;
  for (size_t i = prefix.size(); i < upper.size(); ++i)
    if (upper[i] < L'0' || upper[i] > L'9') return false;
  return true;
}

// "\REGISTRY\USER\<hive>\SOFTWARE\CLASSES" gives "<hive>"; anything else empty.
std::wstring UserHiveOfClasses(const std::wstring& upper) {
  const std::wstring prefix = L"\\REGISTRY\\USER\\", suffix = L"\\SOFTWARE\\CLASSES";
  if (upper.size() <= prefix.size() + suffix.size() || upper.compare(0, prefix.size(), prefix) != 0 ||
      upper.compare(upper.size() - suffix.size(), suffix.size(), suffix) != 0)
    return {};
  std::wstring hive = upper.substr(prefix.size(), upper.size() - prefix.size() - suffix.size());
  return hive.find(L'\\') == std::wstring::npos ? hive : std::wstring();
}

// The 32-bit view keeps the keys it shares with the native view as links
// to the same key there: "...\WOW6432NODE\X" leads to "...\X".
bool IsSharedViewLink(const std::wstring& upperLink, const std::wstring& upperTarget) {
  const std::wstring view = L"\\WOW6432NODE";
  size_t at = upperLink.find(view + L"\\");
  if (at == std::wstring::npos) return false;
  return upperTarget == upperLink.substr(0, at) + upperLink.substr(at + view.size());
}

LONG OpenPart(HKEY parent, const std::wstring& part, REGSAM access, HKEY* key, bool* isLink) {
  *key = nullptr;
  *isLink = false;
  LONG rc = ::RegOpenKeyExW(parent, part.c_str(), REG_OPTION_OPEN_LINK, access | KEY_QUERY_VALUE, key);
  if (rc != ERROR_SUCCESS) return rc;
  *isLink = IsLinkKey(*key);
  return ERROR_SUCCESS;
}

// The key the link `part` (open as itself in `link`) leads to, opened with
// `access`, when it is a system link; else nullptr. The target is judged by
// the handle that is kept, not by the link's text.
HKEY FollowSystemLink(HKEY parent, const std::wstring& part, HKEY link, REGSAM access) {
  const std::wstring linkName = KeyNativeName(link);
  HKEY target = nullptr;
  if (::RegOpenKeyExW(parent, part.c_str(), 0, access, &target) != ERROR_SUCCESS) return nullptr;
  if (IsSystemLink(linkName, KeyNativeName(target))) return target;
  ::RegCloseKey(target);
  return nullptr;
}

// A predefined root: its handle has no name of its own to judge by.
bool IsRootHandle(HKEY key) {
  const ULONG_PTR value = reinterpret_cast<ULONG_PTR>(key);
  return value >= 0x80000000u && value < 0x80000100u;
}

// Parts that start the machine's classes or a user's classes in a native
// name without its view parts; 0 for neither.
size_t ClassesRootParts(const std::vector<std::wstring>& p) {
  auto is = [&](size_t i, const wchar_t* name) { return i < p.size() && sys::SameText(p[i], name); };
  if (!is(0, L"") || !is(1, L"REGISTRY")) return 0;
  if (is(2, L"MACHINE") && is(3, L"SOFTWARE") && is(4, L"CLASSES")) return 5;
  const std::wstring suffix = L"_CLASSES";
  if (is(2, L"USER") && p.size() > 3 && p[3].size() > suffix.size() &&
      sys::SameText(p[3].substr(p[3].size() - suffix.size()), suffix))
    return 4;
  return 0;
}

// A native key name as one place: without its "\Wow6432Node" parts (the same
// place in either view), and with the machine's and a user's classes as one
// root, which HKEY_CLASSES_ROOT merges (a class opened below the user's key
// of a merged name may lie in the machine's, and the other way round).
std::wstring ComparableName(const std::wstring& name) {
  std::vector<std::wstring> parts;
  for (const auto& part : KeyPathParts(name))
    if (!sys::SameText(part, kViewPart)) parts.push_back(part);
  const size_t classes = ClassesRootParts(parts);
  std::wstring out = classes > 0 ? L"<classes>\\" : L"";
  for (size_t i = classes; i < parts.size(); ++i) out += parts[i] + L"\\";
  return out;
}

// A key opened as `part` below the key named `parentName` lies right below
// it, in either view (the system may lead a 32-bit view into or out of a
// "Wow6432Node" on the way). Any other name was reached through a link its
// open did not show: one made without its target, say, that got one since.
// Below a root handle only the name is read.
LONG CheckBelow(const std::wstring& parentName, const std::wstring& part, HKEY key, std::wstring* name, LONG linkMet) {
  *name = KeyNativeName(key);
  if (name->empty()) return ERROR_CANTREAD;
  if (parentName.empty()) return ERROR_SUCCESS;
  return sys::SameText(ComparableName(*name), ComparableName(parentName + L"\\" + part)) ? ERROR_SUCCESS
                                                                                                : linkMet;
}

struct TStep {
  HKEY key = nullptr;
  std::wstring name;  // its native name; empty for a root handle
};

// The part below `at`, opened as itself and checked to lie below it; a link
// is followed where `follow` and it is the system's, else it ends the walk
// (kept and told by `isLink` where it is not to be followed). `followed`
// tells that a link was followed.
LONG OpenStep(const TStep& at, const std::wstring& part, REGSAM access, bool follow, LONG linkMet, TStep* next,
              bool* isLink, bool* followed = nullptr) {
  bool link = false;
  LONG rc = OpenPart(at.key, part, access, &next->key, &link);
  if (rc == ERROR_SUCCESS) rc = CheckBelow(at.name, part, next->key, &next->name, linkMet);
  if (rc == ERROR_SUCCESS && link && follow) {
    HKEY target = FollowSystemLink(at.key, part, next->key, access | KEY_QUERY_VALUE);
    ::RegCloseKey(next->key);
    next->key = target;
    next->name = target != nullptr ? KeyNativeName(target) : std::wstring();
    rc = target == nullptr ? linkMet : next->name.empty() ? ERROR_CANTREAD : ERROR_SUCCESS;
  }
  if (rc != ERROR_SUCCESS && next->key != nullptr) {
    ::RegCloseKey(next->key);
    next->key = nullptr;
  }
  *isLink = rc == ERROR_SUCCESS && link && !follow;
  if (followed != nullptr) *followed = rc == ERROR_SUCCESS && link && follow;
  return rc;
}

// The access a part of `parts` is opened with: the view for the parts on
// the way, all of `access` for the last.
REGSAM PartAccess(const std::vector<std::wstring>& parts, size_t i, REGSAM access) {
  if (i + 1 == parts.size()) return access;
  // A 32-bit view opens a key that holds a "Wow6432Node" as that key
  // instead, from which the part named next cannot be reached; a path
  // that names it means the key itself, as a whole-path open takes it.
  return sys::SameText(parts[i + 1], kViewPart) ? KEY_WOW64_64KEY : access & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
}

}  // namespace

// OpenPath through a KeyChain.
struct ChainWalk {
  using Part = KeyChain::Part;

  static LONG Open(KeyChain* chain, HKEY parent, const std::wstring& path, REGSAM access, LONG linkMet, LastPart last,
                   HKEY* key, bool* isLink) {
    const std::vector<std::wstring> parts = KeyPathParts(path);
    bool stale = false;
    LONG rc = Walk(chain, parent, parts, access, linkMet, last, key, isLink, &stale);
    if (!stale) return rc;
    chain->Clear();
    return Walk(chain, parent, parts, access, linkMet, last, key, isLink, &stale);
  }

 private:
  // The held part serves as part `i`: the same text, the same view, at
  // least the rights asked, and no link on the way to it.
  static bool Serves(const Part& held, const std::vector<std::wstring>& parts, size_t i, REGSAM access) {
    const REGSAM wanted = PartAccess(parts, i, access);
    const REGSAM views = KEY_WOW64_32KEY | KEY_WOW64_64KEY;
    return held.reusable && held.text == parts[i] && (held.access & views) == (wanted & views) &&
           (held.access & wanted) == wanted;
  }

  // `stale`: a held part was not where it had been; nothing is answered.
  static LONG Walk(KeyChain* chain, HKEY parent, const std::vector<std::wstring>& parts, REGSAM access,
                   LONG linkMet, LastPart last, HKEY* key, bool* isLink, bool* stale) {
    *key = nullptr;
    *isLink = false;
    *stale = false;
    auto& held = chain->parts_;
    if (chain->root_ != parent) {
      chain->Clear();
      chain->root_ = parent;
    }
    size_t shared = 0;
    while (shared < held.size() && shared < parts.size() && Serves(held[shared], parts, shared, access)) ++shared;
    chain->Keep(shared);
    if (shared == parts.size()) {  // a path that ends at a held part asks it for its name
      *stale = !sys::SameText(KeyNativeName(held.back().key), held.back().name);
      if (*stale) return ERROR_CANTREAD;
      *key = held.back().key;
      return ERROR_SUCCESS;
    }
    TStep at{parent, std::wstring()};
    if (shared > 0) {
      at = TStep{held.back().key, held.back().name};
    } else if (!IsRootHandle(parent)) {
      at.name = KeyNativeName(parent);
      if (at.name.empty()) return ERROR_CANTREAD;
    }
    bool reusable = true;
    for (size_t i = shared; i < parts.size(); ++i) {
      const bool follow = i + 1 < parts.size() || last == LastPart::Followed;
      const REGSAM partAccess = PartAccess(parts, i, access);
      TStep next;
      bool followed = false;
      LONG rc = OpenStep(at, parts[i], partAccess, follow, linkMet, &next, isLink, &followed);
      // The part opened below a held part lies right below the name that
      // part had (OpenStep checks it), so it is still there. A failure
      // there may come of a held part that is gone or moved: the path is
      // opened afresh for the answer.
      if (rc != ERROR_SUCCESS) {
        *stale = i == shared && shared > 0;
        return rc;
      }
      reusable = reusable && !*isLink && !followed;
      held.push_back(Part{parts[i], partAccess, next.key, next.name, reusable, followed, KeyLife::Unknown});
      at = next;
    }
    *key = held.back().key;
    return ERROR_SUCCESS;
  }
};

void KeyChain::Keep(size_t count) {
  while (parts_.size() > count) {
    ::RegCloseKey(parts_.back().key);
    parts_.pop_back();
  }
}

KeyLife KeyChain::Life(HKEY key) const {
  bool volatileAbove = false;
  for (const Part& part : parts_) {
    if (part.viaLink) volatileAbove = false;
    if (part.key == key) return volatileAbove ? KeyLife::Volatile : part.life;
    volatileAbove = volatileAbove || part.life == KeyLife::Volatile;
  }
  return KeyLife::Unknown;
}

void KeyChain::SetLife(HKEY key, KeyLife life) {
  for (size_t i = 0; i < parts_.size(); ++i) {
    if (parts_[i].key != key) continue;
    parts_[i].life = life;
    for (size_t at = i; life == KeyLife::Lasting && at > 0 && !parts_[at].viaLink; --at)
      parts_[at - 1].life = KeyLife::Lasting;
    return;
  }
}

LONG QueryKeyInformation(HKEY key, int infoClass, void* buffer, ULONG size, ULONG* returned) {
  using NtQueryKeyFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  static auto ntQueryKey =
      reinterpret_cast<NtQueryKeyFn>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey"));
  if (ntQueryKey == nullptr) return static_cast<LONG>(0xC0000002L);  // STATUS_NOT_IMPLEMENTED
  return ntQueryKey(key, infoClass, buffer, size, returned);
}

bool IsLinkKey(HKEY key) {
  DWORD type = REG_NONE;
  return ::RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
         type == REG_LINK;
}

std::wstring KeyNativeName(HKEY key) {
  const int kKeyNameInformation = 3;
  std::vector<BYTE> buf(4096);
  ULONG size = 0;
  if (QueryKeyInformation(key, kKeyNameInformation, buf.data(), static_cast<ULONG>(buf.size()), &size) < 0) return {};
  ULONG bytes = *reinterpret_cast<const ULONG*>(buf.data());
  if (bytes > buf.size() - sizeof(ULONG)) return {};
  return std::wstring(reinterpret_cast<const wchar_t*>(buf.data() + sizeof(ULONG)), bytes / sizeof(wchar_t));
}

bool IsSystemLink(const std::wstring& linkName, const std::wstring& targetName) {
  const std::wstring link = sys::UpperCase(linkName), target = sys::UpperCase(targetName);
  if (link.empty() || target.empty()) return false;
  if (IsSharedViewLink(link, target)) return true;
  if (link == L"\\REGISTRY\\MACHINE\\SYSTEM\\CURRENTCONTROLSET") return IsControlSetName(target);
  const std::wstring software = L"\\REGISTRY\\MACHINE\\SOFTWARE", classes = software + L"\\CLASSES";
  if (link == classes || link == software + L"\\WOW6432NODE\\CLASSES")
    return target == classes || target == classes + L"\\WOW6432NODE";
  const std::wstring hive = UserHiveOfClasses(link);
  return !hive.empty() && target == L"\\REGISTRY\\USER\\" + hive + L"_CLASSES";
}

LONG OpenPathAsItself(HKEY parent, const std::wstring& path, REGSAM access, LONG linkMet, HKEY* key, bool* isLink) {
  return OpenPath(parent, path, access, linkMet, LastPart::AsItself, key, isLink);
}

LONG OpenPath(HKEY parent, const std::wstring& path, REGSAM access, LONG linkMet, LastPart last, HKEY* key,
              bool* isLink, KeyChain* chain) {
  *key = nullptr;
  *isLink = false;
  if (chain != nullptr) return ChainWalk::Open(chain, parent, path, access, linkMet, last, key, isLink);
  const std::vector<std::wstring> parts = KeyPathParts(path);
  TStep at{parent, IsRootHandle(parent) ? std::wstring() : KeyNativeName(parent)};
  if (!IsRootHandle(parent) && at.name.empty()) return ERROR_CANTREAD;
  HKEY owned = nullptr;  // the opened parent below `parent`, closed when passed
  LONG rc = ERROR_SUCCESS;
  for (size_t i = 0; i < parts.size() && rc == ERROR_SUCCESS; ++i) {
    const bool follow = i + 1 < parts.size() || last == LastPart::Followed;
    TStep next;
    rc = OpenStep(at, parts[i], PartAccess(parts, i, access), follow, linkMet, &next, isLink);
    if (owned != nullptr) ::RegCloseKey(owned);
    owned = next.key;
    at = next;
  }
  if (rc == ERROR_SUCCESS) {
    *key = owned;  // the last part, held
    owned = nullptr;
  }
  if (owned != nullptr) ::RegCloseKey(owned);
  return rc;
}

std::vector<std::wstring> KeyPathParts(const std::wstring& path) {
  std::vector<std::wstring> parts;
  for (size_t at = 0;;) {
    size_t end = path.find(L'\\', at);
    parts.push_back(path.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at));
    if (end == std::wstring::npos) return parts;
    at = end + 1;
  }
}

}  // namespace guard
}  // namespace core
