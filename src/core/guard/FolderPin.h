// A folder held open from before it is listed until its last delete. Its
// identity (the kernel's name, volume and file id) is read from that handle,
// never from its path again: a folder swapped for a link after its listing
// leads elsewhere by path, and each delete checked against the pin sees that.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace core {
namespace guard {

enum class FollowLink {
  No,   // a link is opened itself, and IsLink says so
  Yes,  // the folder the path leads to, as a named file's folder is taken
};

class FolderPin {
 public:
  // `folder` with or without its final "\".
  explicit FolderPin(const std::wstring& folder, FollowLink follow = FollowLink::No);
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
  // The path still leads to the pinned folder itself. Asked after a refused
  // delete and before the folder is removed, not for every file.
  bool StillInPlace() const;
  void Close();

 private:
  struct Identity {
    DWORD volume = 0, high = 0, low = 0;
    bool operator==(const Identity& o) const { return volume == o.volume && high == o.high && low == o.low; }
  };
  void Open(FollowLink follow);

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::wstring path_, name_;
  Identity identity_;
  FollowLink follow_ = FollowLink::No;
  bool folder_ = false;
  bool link_ = false;
  bool replaced_ = false;
};

// The kernel's name of an open file or folder ("\Device\...\x"), read into
// `buf`; empty when the system does not say. One call, with no translation
// to a drive letter.
struct KernelNameBuffer {
  alignas(8) BYTE bytes[4096];
};
std::wstring_view KernelName(HANDLE h, KernelNameBuffer* buf);

}  // namespace guard
}  // namespace core
