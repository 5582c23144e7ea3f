// A folder held open from before it is listed until its last delete. It is
// reached part by part, each part opened from its parent's handle without
// following a link, and its identity (the kernel's name, volume and file id)
// is read from that handle, never from its path again: the listing, every
// delete and every sub-folder go through the handle.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace core {
namespace guard {

struct LockedPlace;
struct LetterFolder;

enum class FollowLink {
  No,   // a link is opened itself, and IsLink says so
  Yes,  // the folder the path leads to, as a named file's folder is taken
};

// A folder's identity: its volume's serial and its index there.
struct FolderIdentity {
  DWORD volume = 0;
  ULONGLONG index = 0;
  bool operator==(const FolderIdentity& o) const { return volume == o.volume && index == o.index; }
};

// The folders every user may write (the Windows Temp folder, ProgramData,
// the Public profile), known by identity: reached by any way, a user's own
// link included, they are the same folders.
class SharedFolders {
 public:
  void Add(const std::wstring& folder);
  // With `anyVolume` by index alone (see SameFolder).
  bool Contains(const FolderIdentity& id, bool anyVolume = false) const;
  bool Empty() const { return ids_.empty(); }

 private:
  std::vector<FolderIdentity> ids_;
};

class FolderPin {
 public:
  // `folder` with or without its final "\", reached from its drive or share
  // root. A link on the way (with FollowLink::Yes the folder itself too) is
  // followed as the user's own layout, except below one of `shared`, and
  // only where it leads outside every place the user could not change
  // unelevated: elsewhere it stops the pin.
  explicit FolderPin(const std::wstring& folder, FollowLink follow = FollowLink::No,
                     const SharedFolders* shared = nullptr);
  // The sub-folder `name` of `parent`, as the parent's listing named it. Not
  // a folder when the one opened is not the parent's own `name` (the parent
  // or a folder above it has been replaced since).
  FolderPin(const FolderPin& parent, const std::wstring& name);
  ~FolderPin() { Close(); }
  FolderPin(const FolderPin&) = delete;
  FolderPin& operator=(const FolderPin&) = delete;

  // Opened, a folder, and (for a sub-folder) the parent's own.
  bool IsFolder() const { return folder_; }
  bool IsLink() const { return link_; }
  // A sub-folder that is neither its parent's own nor a link seen as one.
  bool IsReplaced() const { return replaced_; }
  const std::wstring& Path() const { return path_; }  // ends in "\"
  // The kernel's name of the pinned folder, ending in "\"; empty when the
  // system does not say (then nothing can be checked against it).
  const std::wstring& Name() const { return name_; }
  HANDLE Handle() const { return handle_; }
  // Opened with the right to remove it (not where another holder forbids that).
  bool MayRemove() const { return mayRemove_; }
  const FolderIdentity& Identity() const { return identity_; }
  // The first link followed on the way (the folder itself included), as a
  // path without its "\"; empty when none was.
  const std::wstring& FirstLink() const { return firstLink_; }
  // A link was met below a shared folder: nothing was pinned.
  bool LinkBelowShared() const { return linkBelowShared_; }
  // A link on the way leads into a place the user could not change (its
  // readable name), or where that could not be told: nothing was pinned.
  const std::wstring& LinkIntoPlace() const { return linkIntoPlace_; }
  // The path still leads to the pinned folder itself. Asked after a refused
  // delete, to say why, not for every file.
  bool StillInPlace() const;
  void Close();

 private:
  struct TargetWalk {
    int depth;
    const SharedFolders* shared;
  };
  // What the walk passed, once a link was followed: judged where the whole
  // path ends, not where a link's own target does.
  struct PlacesPassed {
    int parts = 0;                    // below the root
    std::wstring root;                // the root it came down from
    bool rootStandsForPlace = false;  // a letter mapped onto a locked folder
    bool byIndex = false;             // a letter mapped onto a folder of another drive: its volume is not theirs
    bool belowShared = false;         // the folders passed lie below a shared folder
    const LockedPlace* users = nullptr;
    bool ownProfile = false;
  };
  // The target of a link, or the folder above a letter's, walked again from its root.
  FolderPin(const std::wstring& target, TargetWalk walk);

  void OpenChain();
  bool StepInto(HANDLE* at, std::wstring* atName, const std::wstring& part, bool last, bool belowShared,
                size_t partEnd, const std::wstring& full);
  bool IsLinked(HANDLE child, bool reparse, const std::wstring& name, const std::wstring& atName,
                const std::wstring& part) const;
  bool FollowsInto(HANDLE child, const std::wstring& childName);
  bool NoteRoot(const std::wstring& root);
  bool NoteLetterFolder(const LetterFolder& letter);
  bool NotePlace();
  bool NotePlace(const LockedPlace* place);
  bool EndsOutsidePlaces();
  bool RefuseLink(const std::wstring& place);
  bool RefuseBelowShared();
  bool IsTrimmedNameOfItself(const FolderPin& parent, const std::wstring& name) const;
  LONG OpenPinnable(HANDLE at, const std::wstring& part, DWORD share, ULONG options, HANDLE* out);

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::wstring path_, name_, firstLink_;
  FolderIdentity identity_;
  FollowLink follow_ = FollowLink::No;
  bool folder_ = false;
  bool link_ = false;
  bool replaced_ = false;
  bool linkBelowShared_ = false;
  bool mayRemove_ = false;
  int linkDepth_ = 0;          // 0: an item's folder; more: a link's target, walked again
  int linksFollowed_ = 0;       // the parts after a followed link are judged too
  PlacesPassed passed_;
  std::wstring linkIntoPlace_;
  const SharedFolders* shared_ = nullptr;
};

// One entry of a pinned folder's listing, bound to the pin it came from: a
// delete, a wipe or a descent takes the entry, never a path built from it, so
// nothing listed is looked up again by path.
class ListedEntry {
 public:
  ListedEntry(const FolderPin& folder, const WIN32_FIND_DATAW& data, ULONGLONG fileId)
      : folder_(folder), data_(data), fileId_(fileId) {}
  const FolderPin& Folder() const { return folder_; }
  const WIN32_FIND_DATAW& Data() const { return data_; }
  // Its index on the pinned folder's volume, as listed: what an open of its
  // content must meet.
  ULONGLONG FileId() const { return fileId_; }
  const wchar_t* Name() const { return data_.cFileName; }
  DWORD Attributes() const { return data_.dwFileAttributes; }
  bool IsFolder() const { return (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  bool IsLink() const { return (data_.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
  int64_t Size() const { return (static_cast<int64_t>(data_.nFileSizeHigh) << 32) | data_.nFileSizeLow; }
  // For log lines only.
  std::wstring Path() const { return folder_.Path() + data_.cFileName; }

 private:
  const FolderPin& folder_;
  const WIN32_FIND_DATAW& data_;
  ULONGLONG fileId_;
};

// Lists the pinned folder ("." and ".." left out) and hands each entry to
// `visit` until it returns false. False when the folder could not be listed.
bool ListPinned(const FolderPin& folder, const std::function<bool(const ListedEntry&)>& visit);

// Finds `name` in the pinned folder's own listing, as written or else as the
// system matches it ignoring case, and hands that entry to `use`. Listed
// through a second handle on the pinned folder, so a listing of the pin
// under way goes on undisturbed. Found, Missing, or Failed when the folder
// could not be listed.
enum class Lookup { Found, Missing, Failed };
Lookup FindPinned(const FolderPin& folder, const std::wstring& name, const std::function<void(const ListedEntry&)>& use);

// The folder `relative` ("a\b") below `base`, each part pinned from the one
// above as its listing would name it. Null when a part is missing; a part
// that is a link or was replaced gives a pin that says so and stops there.
std::unique_ptr<FolderPin> PinBelow(const FolderPin& base, const std::wstring& relative);

// The kernel's name of an open file or folder ("\Device\...\x"), read into
// `buf`; empty when the system does not say. One call, with no translation
// to a drive letter.
struct KernelNameBuffer {
  alignas(8) BYTE bytes[4096];
};
std::wstring_view KernelName(HANDLE h, KernelNameBuffer* buf);

}  // namespace guard
}  // namespace core
