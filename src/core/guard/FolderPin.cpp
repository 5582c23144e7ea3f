#include "core/guard/FolderPin.h"

#include <algorithm>

#include "core/guard/FileNames.h"
#include "core/guard/LockedPlaces.h"
#include "core/guard/NtFiles.h"
#include "sys/TextCompare.h"

namespace core {
namespace guard {
namespace {

struct NtUnicodeString {
  USHORT Length;
  USHORT MaximumLength;
  PWSTR Buffer;
};

constexpr int kObjectNameInformation = 1;
using NtQueryObjectFn = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);

using nt::kShareAll;
constexpr DWORD kFolderAccess = FILE_READ_ATTRIBUTES | FILE_LIST_DIRECTORY | SYNCHRONIZE;
// A pin not shared for deletion: where the system honours that, the folder
// cannot be renamed away while it is walked.
constexpr DWORD kPinShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

std::wstring WithSlash(const std::wstring& folder) {
  return !folder.empty() && folder.back() == L'\\' ? folder : folder + L'\\';
}

// "C:\x\" -> "C:\x"; a drive root keeps its "\".
std::wstring Bare(const std::wstring& folder) {
  return folder.size() > 3 && folder.back() == L'\\' ? folder.substr(0, folder.size() - 1) : folder;
}

HANDLE OpenByPath(const std::wstring& bare, FollowLink follow, DWORD share) {
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow == FollowLink::No ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  return ::CreateFileW(LiteralPath(bare).c_str(), kFolderAccess, share, nullptr, OPEN_EXISTING, flags, nullptr);
}

std::wstring FolderName(HANDLE h) {
  KernelNameBuffer buf;
  std::wstring name(KernelName(h, &buf));
  if (!name.empty() && name.back() != L'\\') name += L'\\';
  return name;
}

// 0 where the system gives no serial (some mapped folders): the index alone then.
DWORD VolumeOf(HANDLE h) {
  DWORD serial = 0;
  return nt::VolumeSerial(h, &serial) ? serial : 0;
}

bool IsLinkAttributes(HANDLE h, DWORD* attrs) {
  return nt::Attributes(h, attrs) && (*attrs & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The full form a chain starts from, taken as written when any part would be trimmed.
std::wstring FullForm(const std::wstring& bare) {
  if (HasTrimmedPart(bare)) return StripExtendedPrefix(LiteralPath(bare));
  DWORD n = ::GetFullPathNameW(bare.c_str(), 0, nullptr, nullptr);
  if (n == 0) return std::wstring();
  std::wstring full(n, L'\0');
  n = ::GetFullPathNameW(bare.c_str(), n, &full[0], nullptr);
  if (n == 0 || n >= full.size()) return std::wstring();
  full.resize(n);
  return full;
}

// Where the parts below the root begin: "C:\" or "\\server\share\"; 0 for neither.
size_t RootLength(const std::wstring& full) {
  if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return 3;
  if (full.compare(0, 2, L"\\\\") != 0) return 0;
  size_t server = full.find(L'\\', 2);
  if (server == std::wstring::npos) return 0;
  size_t share = full.find(L'\\', server + 1);
  return share == std::wstring::npos ? 0 : share + 1;
}

// The kernel names `name` the part `part` of the folder named `parent`.
bool IsNameOf(const std::wstring& name, const std::wstring& parent, const std::wstring& part) {
  return !parent.empty() && sys::SameText(name, parent + part + L'\\');
}

// A folder opened from its parent is the parent's own entry of that name:
// a plain folder of the opened folder's id, as the parent's listing gives
// it. Under Wine an open that asks not to follow a link follows it anyway,
// and the handle's name is worked out a moment later: a link put at the
// name for the open and taken away before then passes for the folder. The
// listing reads the name as it stands, a link as a link, so it shows either
// that link or a folder of another id.
bool ListedAsItself(HANDLE parent, const std::wstring& part, HANDLE child) {
  DWORD attributes = 0;
  ULONGLONG listed = 0, opened = 0;
  return nt::ReadEntry(parent, part, &attributes, &listed) >= 0 && nt::FileIndex(child, &opened) &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == FILE_ATTRIBUTE_DIRECTORY &&
         listed == opened;
}

// A link's target, or the folder above a letter's, within another such
// walk, and so on, is judged this deep at most.
constexpr int kMostLinks = 8;
const wchar_t kUncheckedPlace[] = L"a place that could not be checked";

using GetFinalPathFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);

// Where the open folder really is, as a drive or share path; empty when the
// system does not say.
std::wstring TargetPath(HANDLE h) {
  static auto finalPath = reinterpret_cast<GetFinalPathFn>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW"));
  std::wstring path(1024, L'\0');
  DWORD n = finalPath != nullptr ? finalPath(h, &path[0], static_cast<DWORD>(path.size()), 0) : 0;
  if (n == 0 || n >= path.size()) return std::wstring();
  path.resize(n);
  path = StripExtendedPrefix(path);
  return RootLength(path) == 0 ? std::wstring() : path;
}

}  // namespace

std::wstring_view KernelName(HANDLE h, KernelNameBuffer* buf) {
  static auto query = reinterpret_cast<NtQueryObjectFn>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryObject"));
  if (query == nullptr) return {};
  ULONG needed = 0;
  if (query(h, kObjectNameInformation, buf->bytes, sizeof(buf->bytes) - 2, &needed) < 0) return {};
  const auto* name = reinterpret_cast<const NtUnicodeString*>(buf->bytes);
  if (name->Buffer == nullptr) return {};
  return std::wstring_view(name->Buffer, name->Length / sizeof(wchar_t));
}

void SharedFolders::Add(const std::wstring& folder) {
  if (folder.empty()) return;
  HANDLE h = OpenByPath(Bare(folder), FollowLink::Yes, kShareAll);
  if (h == INVALID_HANDLE_VALUE) return;
  FolderIdentity id;
  id.volume = VolumeOf(h);
  if (nt::FileIndex(h, &id.index)) ids_.push_back(id);
  ::CloseHandle(h);
}

bool SharedFolders::Contains(const FolderIdentity& id, bool anyVolume) const {
  for (const auto& known : ids_) {
    if (SameFolder(known, id, anyVolume)) return true;
  }
  return false;
}

// A pin that may remove its folder once emptied; without that right where
// another holder forbids it.
LONG FolderPin::OpenPinnable(HANDLE at, const std::wstring& part, DWORD share, ULONG options, HANDLE* out) {
  options |= nt::kDirectoryFile;
  LONG status = nt::OpenRelative(at, part, kFolderAccess | DELETE, share, options, out);
  mayRemove_ = status >= 0;
  if (status >= 0) return status;
  return nt::OpenRelative(at, part, kFolderAccess, share, options, out);
}

FolderPin::FolderPin(const std::wstring& folder, FollowLink follow, const SharedFolders* shared)
    : path_(WithSlash(folder)), follow_(follow), shared_(shared) {
  OpenChain();
}

FolderPin::FolderPin(const std::wstring& target, TargetWalk walk)
    : path_(WithSlash(target)), follow_(FollowLink::Yes), linkDepth_(walk.depth), shared_(walk.shared) {
  OpenChain();
}

// From the root down, each part opened from its parent's handle and judged
// as it is opened: a link is one by its attributes, or (where the system
// follows it anyway) by the kernel naming the folder elsewhere. A link's
// target is judged from its root; what the walk passed after a followed
// link is judged where the whole path ends.
void FolderPin::OpenChain() {
  std::wstring full = FullForm(Bare(path_));
  size_t root = RootLength(full);
  if (root == 0) return;
  HANDLE at = OpenByPath(full.substr(0, root), FollowLink::Yes, kShareAll);
  if (at == INVALID_HANDLE_VALUE) return;
  std::wstring atName = FolderName(at);
  identity_.volume = VolumeOf(at);
  bool known = nt::FileIndex(at, &identity_.index) && NoteRoot(full.substr(0, root));
  for (size_t from = root; known && from < full.size();) {
    size_t end = std::min(full.find(L'\\', from), full.size());
    if (end > from) {
      passed_.belowShared =
          passed_.belowShared || (shared_ != nullptr && shared_->Contains(identity_, passed_.byIndex));
      bool last = full.find_first_not_of(L'\\', end) == std::wstring::npos;
      const int followed = linksFollowed_;
      // A link followed here was judged as its target was walked.
      known = StepInto(&at, &atName, full.substr(from, end - from), last, passed_.belowShared, end, full) &&
              nt::FileIndex(at, &identity_.index) && (linksFollowed_ != followed || NotePlace());
    }
    from = end + 1;
  }
  if (known && linkDepth_ == 0 && linksFollowed_ > 0) known = EndsOutsidePlaces();
  DWORD attrs = 0;
  if (!known || !nt::Attributes(at, &attrs)) {
    if (at != INVALID_HANDLE_VALUE) ::CloseHandle(at);
    return;
  }
  handle_ = at;
  name_ = atName;
  folder_ = (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Moves `*at` one part down. A link is followed as the user's own layout,
// and stops the walk below a shared folder; the last part with FollowLink::No
// is the link itself.
bool FolderPin::StepInto(HANDLE* at, std::wstring* atName, const std::wstring& part, bool last, bool belowShared,
                         size_t partEnd, const std::wstring& full) {
  const bool keepLink = last && follow_ == FollowLink::No;
  DWORD share = last ? (follow_ == FollowLink::No ? kPinShare : kShareAll) : kShareAll;
  HANDLE child = INVALID_HANDLE_VALUE;
  // A path as written names the system's redirected folders by the names a
  // 32-bit program uses; a link's target is named as it is on disk.
  const std::wstring onDisk =
      linkDepth_ == 0 ? LockedPlaces::OfSystem().OnDisk(identity_, part, full.substr(0, partEnd)) : part;
  LONG status = last ? OpenPinnable(*at, onDisk, share, nt::kOpenReparsePoint, &child)
                     : nt::OpenRelative(*at, onDisk, kFolderAccess, share, nt::kDirectoryFile | nt::kOpenReparsePoint, &child);
  if (status < 0) {
    ::CloseHandle(*at);
    *at = INVALID_HANDLE_VALUE;
    return false;
  }
  DWORD attrs = 0;
  bool reparse = IsLinkAttributes(child, &attrs);
  std::wstring name = FolderName(child);
  const bool linked = IsLinked(child, reparse, name, *atName, part) ||
                      (IsNameOf(name, *atName, part) && !ListedAsItself(*at, onDisk, child));
  if (linked) {
    if (firstLink_.empty()) firstLink_ = full.substr(0, partEnd);
    if (last) link_ = true;
    if (belowShared) linkBelowShared_ = true;
    if (reparse && !keepLink && !belowShared) {
      ::CloseHandle(child);
      child = INVALID_HANDLE_VALUE;
      if (OpenPinnable(*at, onDisk, share, 0, &child) >= 0) name = FolderName(child);
    }
    if (belowShared || child == INVALID_HANDLE_VALUE || (!keepLink && !FollowsInto(child, name))) {
      if (child != INVALID_HANDLE_VALUE) ::CloseHandle(child);
      ::CloseHandle(*at);
      *at = INVALID_HANDLE_VALUE;
      return false;
    }
    if (keepLink) identity_.volume = VolumeOf(child);  // a link may lead to another volume
  }
  ::CloseHandle(*at);
  *at = child;
  *atName = name;
  return true;
}

// A link by its attributes, or (where the system follows one anyway) by the
// kernel naming the folder elsewhere; not the system's own redirection
// names ("system32" for a 32-bit program, "sysnative"), which are the
// folders they open.
bool FolderPin::IsLinked(HANDLE child, bool reparse, const std::wstring& name, const std::wstring& atName,
                         const std::wstring& part) const {
  if (reparse) return true;
  if (IsNameOf(name, atName, part)) return false;
  FolderIdentity id{identity_.volume, 0};
  return !nt::FileIndex(child, &id.index) || !LockedPlaces::OfSystem().IsSystemRedirect(identity_, part, id);
}

// A link is followed only into a folder the user could change unelevated:
// where it really is, walked again from its root part by part, each part
// judged by identity, must be the very folder the link opened; and where the
// system can tell, the user's own token must be able to delete there.
bool FolderPin::FollowsInto(HANDLE child, const std::wstring& childName) {
  if (linkDepth_ >= kMostLinks) return RefuseLink(kUncheckedPlace);
  std::wstring target = TargetPath(child);
  if (target.empty()) return RefuseLink(kUncheckedPlace);
  FolderPin walked(target, TargetWalk{linkDepth_ + 1, shared_});
  if (walked.linkBelowShared_) return RefuseBelowShared();
  if (!walked.linkIntoPlace_.empty()) return RefuseLink(walked.linkIntoPlace_);
  // The same index under the same kernel name is the same volume: its serial
  // is asked only where the names differ.
  ULONGLONG index = 0;
  if (!walked.IsFolder() || !nt::FileIndex(child, &index) || index != walked.identity_.index ||
      !(sys::SameText(childName, walked.name_) || VolumeOf(child) == walked.identity_.volume)) {
    return RefuseLink(kUncheckedPlace);
  }
  if (UserMayDelete(child) == UserRight::Denied) return RefuseLink(Bare(target));
  identity_.volume = walked.identity_.volume;
  const bool belowShared = passed_.belowShared;
  passed_ = walked.passed_;  // the walk goes on from the target
  passed_.belowShared = passed_.belowShared || belowShared;
  ++linksFollowed_;
  return true;
}

// A link's target starts at a drive's root. Where its letter stands for a
// locked folder of another drive (a letter of the user's mapped onto the
// Windows folder, say), the root is that folder; where it stands for any
// other folder but the system drive's root, it lies where that folder does.
bool FolderPin::NoteRoot(const std::wstring& root) {
  if (linkDepth_ == 0) return true;
  passed_.root = root;
  const LockedPlace* place = LockedPlaces::OfSystem().Find(identity_, true);
  if (place != nullptr) {
    passed_.rootStandsForPlace = passed_.byIndex = true;
    if (!NotePlace(place)) return false;
  }
  if (LockedPlaces::OfSystem().IsSystemDriveRoot(identity_)) return true;
  const LetterFolder letter = FolderOfLetter(root, identity_.index);
  if (letter.kind == LetterFolder::Volume) return true;
  if (letter.kind == LetterFolder::Unknown || linkDepth_ >= kMostLinks) return RefuseLink(kUncheckedPlace);
  return NoteLetterFolder(letter);
}

// The folder a letter stands for, judged from the folder that holds it,
// walked from its own root: the places and shared folders above it are the
// root's too. That folder's listing must hold the very folder the letter
// opened, as a folder and not as a link. Below it, the letter's volume is
// not the folders' own, so their index alone decides.
bool FolderPin::NoteLetterFolder(const LetterFolder& letter) {
  FolderPin above(letter.parent, TargetWalk{linkDepth_ + 1, shared_});
  if (above.linkBelowShared_) return RefuseBelowShared();
  if (!above.linkIntoPlace_.empty()) return RefuseLink(above.linkIntoPlace_);
  FolderIdentity id{above.identity_.volume, identity_.index};
  bool listed = false;
  if (above.IsFolder()) {
    ListPinned(above, [&](const ListedEntry& entry) {
      listed = entry.FileId() == id.index && entry.IsFolder() && !entry.IsLink();
      return !listed;
    });
  }
  if (!listed) return RefuseLink(kUncheckedPlace);
  if (above.passed_.users != nullptr) passed_.users = above.passed_.users;
  passed_.ownProfile = passed_.ownProfile || above.passed_.ownProfile;
  const bool shared = shared_ != nullptr && (shared_->Contains(above.identity_, true) || shared_->Contains(id, true));
  passed_.belowShared = passed_.belowShared || above.passed_.belowShared || shared;
  passed_.byIndex = true;
  return NotePlace(LockedPlaces::OfSystem().Find(id, true));
}

// In a link's target every part is judged as it is opened, and so is every
// part past a followed link: the Windows folder, Program Files, ProgramData
// or another user's profile stop the walk.
bool FolderPin::NotePlace() {
  ++passed_.parts;
  if (linkDepth_ == 0 && linksFollowed_ == 0) return true;
  return NotePlace(LockedPlaces::OfSystem().Find(identity_, passed_.byIndex));
}

bool FolderPin::NotePlace(const LockedPlace* place) {
  if (place == nullptr) return true;
  if (place->kind == PlaceKind::Tree) return RefuseLink(place->name);
  if (place->kind == PlaceKind::Users) passed_.users = place;
  if (place->kind == PlaceKind::OwnProfile) passed_.ownProfile = true;
  return true;
}

// Where the whole path ends: a drive's root itself, the Users folder itself,
// or a folder inside it outside the user's own profile, are refused.
bool FolderPin::EndsOutsidePlaces() {
  if (passed_.parts == 0 && !passed_.rootStandsForPlace) return RefuseLink(passed_.root);
  if (passed_.users == nullptr || passed_.ownProfile) return true;
  return RefuseLink(LockedPlaces::OfSystem().Find(identity_, passed_.byIndex) == passed_.users
                        ? passed_.users->name
                        : L"another user's profile");
}

bool FolderPin::RefuseLink(const std::wstring& place) {
  linkIntoPlace_ = place;
  return false;
}

bool FolderPin::RefuseBelowShared() {
  linkBelowShared_ = true;
  return false;
}

FolderPin::FolderPin(const FolderPin& parent, const std::wstring& name)
    : path_(parent.Path() + name + L'\\'), follow_(FollowLink::No) {
  if (parent.handle_ == INVALID_HANDLE_VALUE) return;
  HANDLE h = INVALID_HANDLE_VALUE;
  if (OpenPinnable(parent.handle_, name, kPinShare, nt::kOpenReparsePoint, &h) < 0) return;
  handle_ = h;
  DWORD attrs = 0;
  link_ = IsLinkAttributes(h, &attrs);
  identity_.volume = parent.identity_.volume;
  if (!nt::FileIndex(h, &identity_.index)) return;
  folder_ = (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (!folder_ || link_) return;
  name_ = FolderName(h);
  // Opened from the parent's handle, the sub-folder is the parent's own only
  // when the kernel names it so (where a link is followed anyway, it names
  // the link's target) and the parent's listing gives it by that name.
  if (parent.Name().empty() || (name_ != parent.Name() + name + L'\\' && !IsTrimmedNameOfItself(parent, name)) ||
      !ListedAsItself(parent.handle_, name, h)) {
    folder_ = false;
    // Only to say why it is left: a name that is a link now was followed
    // (some systems follow one even when told not to); else the folder moved.
    DWORD named = ::GetFileAttributesW(LiteralPath(Bare(path_)).c_str());
    link_ = named != INVALID_FILE_ATTRIBUTES && (named & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    replaced_ = !link_;
  }
}

// Some systems name a folder "x." or "x " without its dots and spaces. It is
// itself when so named and not the folder the trimmed name holds.
bool FolderPin::IsTrimmedNameOfItself(const FolderPin& parent, const std::wstring& name) const {
  std::wstring trimmed = TrimmedName(name);
  if (!EndsInDotOrSpace(name) || trimmed.empty() || name_ != parent.Name() + trimmed + L'\\') return false;
  HANDLE other = INVALID_HANDLE_VALUE;
  LONG status = nt::OpenRelative(parent.handle_, trimmed, FILE_READ_ATTRIBUTES, kShareAll, nt::kOpenReparsePoint,
                                 &other);
  if (status < 0) return status == static_cast<LONG>(0xC0000034);  // no such name
  ULONGLONG index = 0;
  bool same = nt::FileIndex(other, &index) && index == identity_.index;
  ::CloseHandle(other);
  return !same;
}

bool FolderPin::StillInPlace() const {
  if (handle_ == INVALID_HANDLE_VALUE || name_.empty()) return false;
  std::wstring bare = Bare(path_);
  HANDLE h = OpenByPath(bare, follow_, kShareAll);
  if (h == INVALID_HANDLE_VALUE) return false;
  ULONGLONG index = 0;
  bool same = nt::FileIndex(h, &index) && index == identity_.index && FolderName(h) == name_;
  ::CloseHandle(h);
  if (!same || follow_ == FollowLink::Yes) return same;
  DWORD named = ::GetFileAttributesW(LiteralPath(bare).c_str());
  return named != INVALID_FILE_ATTRIBUTES && (named & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

namespace {

// Every entry of the folder `handle` holds ("." and ".." left out), as
// entries of `folder`.
bool ListHandle(const FolderPin& folder, HANDLE handle, const std::function<bool(const ListedEntry&)>& visit) {
  std::vector<ULONGLONG> buf(8192);  // 64 KB, aligned for the entries
  const ULONG size = static_cast<ULONG>(buf.size() * sizeof(ULONGLONG));
  nt::Batch batch = nt::ReadFolder(handle, buf.data(), size, true);
  if (batch == nt::Batch::Failed) return false;
  bool go = true;
  while (go && batch == nt::Batch::Filled) {
    go = nt::ForEachEntry(buf.data(), [&](const WIN32_FIND_DATAW& fd, ULONGLONG id) {
      const wchar_t* n = fd.cFileName;
      bool dots = n[0] == L'.' && (n[1] == L'\0' || (n[1] == L'.' && n[2] == L'\0'));
      return dots || visit(ListedEntry(folder, fd, id));
    });
    if (go) batch = nt::ReadFolder(handle, buf.data(), size, false);
  }
  return true;
}

}  // namespace

// Listed through the pin's own handle: what is listed is the pinned folder,
// whatever its path leads to by now.
bool ListPinned(const FolderPin& folder, const std::function<bool(const ListedEntry&)>& visit) {
  if (!folder.IsFolder()) return false;
  return ListHandle(folder, folder.Handle(), visit);
}

Lookup FindPinned(const FolderPin& folder, const std::wstring& name, const std::function<void(const ListedEntry&)>& use) {
  if (!folder.IsFolder()) return Lookup::Failed;
  HANDLE second = INVALID_HANDLE_VALUE;
  if (nt::Reopen(folder.Handle(), FILE_LIST_DIRECTORY, kShareAll, nt::kDirectoryFile, &second) < 0) {
    return Lookup::Failed;
  }
  WIN32_FIND_DATAW found{};
  ULONGLONG foundId = 0;
  bool exact = false, any = false;
  bool listed = ListHandle(folder, second, [&](const ListedEntry& entry) {
    exact = name == entry.Name();
    if (exact || (!any && sys::SameText(name, entry.Name()))) {
      found = entry.Data();
      foundId = entry.FileId();
      any = true;
    }
    return !exact;
  });
  ::CloseHandle(second);
  if (!listed) return Lookup::Failed;
  if (!any) return Lookup::Missing;
  use(ListedEntry(folder, found, foundId));
  return Lookup::Found;
}

std::unique_ptr<FolderPin> PinBelow(const FolderPin& base, const std::wstring& relative) {
  std::unique_ptr<FolderPin> pin;
  const FolderPin* above = &base;
  for (size_t at = 0; at < relative.size();) {
    size_t end = relative.find(L'\\', at);
    if (end == std::wstring::npos) end = relative.size();
    pin = std::make_unique<FolderPin>(*above, relative.substr(at, end - at));
    if (pin->IsLink() || pin->IsReplaced()) return pin;
    if (!pin->IsFolder()) return nullptr;
    above = pin.get();
    at = end + 1;
  }
  return pin;
}

void FolderPin::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

}  // namespace guard
}  // namespace core
