// Overwriting a file's bytes before it is deleted.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "core/guard/FolderPin.h"

namespace cleaner {

// Bytes written per call; a file is overwritten block by block.
constexpr DWORD kWipeBlockSize = 64 * 1024;

enum class WipeResult {
  Wiped,    // every pass wrote every byte
  Missing,  // no such file
  Refused,  // a link, or no longer the file of its pinned folder
  OtherName,  // a file with more than one name: its data is not only ours
  Failed,   // in use, not writable, or a write failed
  Sparse,   // the file occupies less than its size (sparse or compressed): a wipe would fill the drive
  NoSpace,  // bigger than the free space of its drive: the wipe cannot afford it
};

// Called after each pass, with the file closed: pass number from 1 and the
// byte value written.
using WipePassHook = std::function<void(int pass, BYTE value)>;

// Overwrites every byte of `path` `passes` times (1 to 10), each pass with one
// byte value from 0 to 254, flushed to disk. A read-only file is overwritten
// all the same; its attributes are put back afterwards. The file keeps its
// size and its name. Only what the file really occupies is overwritten: a
// sparse or compressed file, or one bigger than the drive's free space, is
// left unwiped.
// `path` names the file in full; its folder is pinned as the wipe begins and
// the name found in that pin's listing.
WipeResult WipeFile(const std::wstring& path, int passes, const WipePassHook& afterPass = {});
// The file a pinned listing gave: every pass opens it relative to that pin,
// and writes only when it is still the file listed (its id), with no other name.
WipeResult WipeFile(const core::guard::ListedEntry& entry, int passes, const WipePassHook& afterPass = {});

}  // namespace cleaner
