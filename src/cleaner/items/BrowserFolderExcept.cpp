// Emptying a folder tree while sparing the files whose names hold a text:
// the thread's folder walk with a spared text, so that every listing, delete
// and descent goes through the folder pinned before its listing.
#include "cleaner/items/BrowserItems.h"

namespace cleaner {

int64_t DeleteFolderExcept(TClearTaskThread& t, const std::wstring& folder, bool removeFolder, int& count,
                           const std::wstring& spared) {
  return t.EmptyFolderExcept(folder, removeFolder, count, spared);
}

}  // namespace cleaner
