// The items of the groups Windows and Advanced.
#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "cleaner/Masks.h"
#include "cleaner/items/CleanItems.h"
#include "cleaner/items/ItemSteps.h"
#include "core/Paths.h"

namespace cleaner {
namespace {

#define EXPLORER L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
#define USER_ASSIST EXPLORER L"UserAssist\\"

using B = StepBase;
using Op = StepOp;

int Clamp(int64_t n) { return n > 0x7FFFFFFF ? 0x7FFFFFFF : (n < 0 ? 0 : static_cast<int>(n)); }

}  // namespace

void ClearRecentDocuments(TClearTaskThread& t, const ItemServices&) {
  RunItemSteps(t, {{Op::DeleteKey, B::Registry, EXPLORER L"RecentDocs", L""},
                   {Op::FilesByMask, B::Recent, L"", L"*.*"}});
}

void ClearRunMRU(TClearTaskThread& t, const ItemServices&) {
  RunItemSteps(t, {{Op::DeleteKey, B::Registry, EXPLORER L"RunMRU", L""}});
}

void ClearSearchAssistant(TClearTaskThread& t, const ItemServices&) {
  RunItemSteps(t, {{Op::DeleteKey, B::Registry, L"Software\\Microsoft\\Search Assistant\\ACMru", L""}});
}

void ClearTempFiles(TClearTaskThread& t, const ItemServices&) {
  RunItemSteps(t, {{Op::EmptyFolder, B::Temp, L"", L""}});
}

void ClearMemoryDumps(TClearTaskThread& t, const ItemServices&) {
  RunItemSteps(t, {{Op::FilesByMask, B::Windows, L"", L"memory.dmp"},
                   {Op::FilesByMask, B::Windows, L"MiniDump", L"*.dmp"}});
}

void ClearChkdskFragments(TClearTaskThread& t, const ItemServices&) {
  RunItemSteps(t, {{Op::FilesByMask, B::System, L"", L"File*.chk"}});
}

void ClearOpenSaveMRU(TClearTaskThread& t, const ItemServices&) {
  RunItemSteps(t, {{Op::DeleteKey, B::Registry, EXPLORER L"ComDlg32\\OpenSaveMRU", L""}});
}

void ClearMenuOrder(TClearTaskThread& t, const ItemServices&) {
  RunItemSteps(t, {{Op::DeleteKey, B::Registry, EXPLORER L"MenuOrder", L""}});
}

void ClearTrayNotify(TClearTaskThread& t, const ItemServices&) {
  RunItemSteps(t, {{Op::DeleteValue, B::Registry, EXPLORER L"TrayNotify", L"IconStreams"},
                   {Op::DeleteValue, B::Registry, EXPLORER L"TrayNotify", L"PastIconsStream"}});
}

void ClearPaintMRU(TClearTaskThread& t, const ItemServices&) {
  RunItemSteps(t, {{Op::DeleteKey, B::Registry,
                    L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List", L""}});
}

void ClearUserAssist(TClearTaskThread& t, const ItemServices&) {
  RunItemSteps(t, {{Op::DeleteKey, B::Registry, USER_ASSIST L"{5E6AB780-7743-11CF-A12B-00AA004AE837}\\Count", L""},
                   {Op::DeleteKey, B::Registry, USER_ASSIST L"{75048700-EF1F-11D0-9888-006097DEACF9}\\Count", L""}});
}

// Nothing is counted: the clipboard holds no entries the log could name.
void ClearClipboard(TClearTaskThread& t, const ItemServices& s) {
  if (t.IsTest()) return;
  if (!s.clipboard->Clear()) throw std::runtime_error("Cannot open clipboard");
}

namespace {

// The "Recycled" folder of the 9x family, which holds the deleted files
// beside its INFO2 index and desktop.ini; on the NT family there is none.
int64_t ClearOldStyleBin(TClearTaskThread& t, const std::wstring& bin) {
  // Held from before its listing: a file goes from this folder or not at all.
  core::guard::FolderPin pin(bin);
  if (!pin.IsFolder() || pin.IsLink()) return 0;
  bool log = t.Settings().ShowLogRecycleBin;
  int64_t bytes = 0;
  core::guard::ListPinned(pin, [&](const core::guard::ListedEntry& entry) {
    if (t.Terminated()) return false;
    if (entry.IsFolder()) {
      bytes += t.DeleteListedFolder(entry, log, t.FItemCount);
    } else if (!SameName(entry.Name(), L"desktop.ini") && !SameName(entry.Name(), L"INFO2") &&
               t.DeletePinnedFile(entry, log)) {
      ++t.FItemCount;
      bytes += entry.Size();
      t.ProgressTick(t.FItemCount);
    }
    return true;
  });
  return bytes;
}

int64_t ClearOldStyleBins(TClearTaskThread& t) {
  int64_t bytes = 0;
  for (wchar_t letter = L'c'; letter <= L'z' && !t.Terminated(); ++letter) {
    std::wstring root = std::wstring(1, letter) + L":\\";
    if (::GetDriveTypeW(root.c_str()) != DRIVE_FIXED) continue;
    std::wstring bin = root + L"Recycled";
    // Any user may put a junction of that name at a drive's root: only a
    // plain folder is a bin.
    DWORD attrs = ::GetFileAttributesW(bin.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attrs & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      continue;
    }
    DWORD info = ::GetFileAttributesW((core::JoinPath(bin, L"INFO2")).c_str());
    DWORD desktop = ::GetFileAttributesW((core::JoinPath(bin, L"desktop.ini")).c_str());
    if (info != INVALID_FILE_ATTRIBUTES && desktop != INVALID_FILE_ATTRIBUTES) bytes += ClearOldStyleBin(t, bin);
  }
  return bytes;
}

// The shell's own count of what every bin holds, so that a test reports what
// the clean will remove; a clean counts what the emptying took away.
int64_t ClearShellBins(TClearTaskThread& t, IRecycleBin& bins, bool count) {
  RecycleBinContents before;
  bool known = bins.Query(&before);
  if (t.IsTest()) {
    if (!known || !count) return 0;
    t.FItemCount += Clamp(before.items);
    return before.bytes;
  }
  bool emptied = bins.Empty(t.FMainHandle);
  RecycleBinContents after;
  if (!bins.Query(&after)) after = emptied ? RecycleBinContents{} : before;
  if (!known || !count) return 0;
  t.FItemCount += Clamp(before.items - after.items);
  t.FItemFailed += Clamp(after.items);
  return std::max<int64_t>(0, before.bytes - after.bytes);
}

}  // namespace

void EmptyRecycleBin(TClearTaskThread& t, const ItemServices& s) {
  if (!t.IsTest() && !t.Settings().ShowLogRecycleBin) t.AddLog(std::wstring(L"Clearing") + L", " + L"please wait...");
  int64_t bytes = ClearOldStyleBins(t);
  // Files the old-style walk counted are already in the total; the shell then
  // only empties what is left.
  bytes += ClearShellBins(t, *s.recycleBin, t.FItemCount == 0);
  t.FItemBytes = bytes;
  t.FItemSizeText = TClearTaskThread::FormatKB(bytes);
}

}  // namespace cleaner
