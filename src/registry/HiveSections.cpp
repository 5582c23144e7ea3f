// The hive sections (3 to 6) and Software Locations (8): single walks of the
// registry tree that judge every text value with the path check.
#include "registry/RegKey.h"
#include "sys/RegistryKey.h"
#include "registry/ScanSkipKeys.h"
#include "registry/ScanTaskThread.h"
#include "sys/TextCompare.h"

namespace registry {

void TScanTaskThread::ScanHkcr() { ScanRegistryTree(L"HKEY_CLASSES_ROOT", L"", ProblemText(), L"", FDriveLetters); }

void TScanTaskThread::ScanHkcu() { ScanRegistryTree(L"HKEY_CURRENT_USER", L"", ProblemText(), L"", FDriveLetters); }

void TScanTaskThread::ScanHklm() {
  ScanRegistryTree(L"HKEY_LOCAL_MACHINE", L"Software", ProblemText(), L"", FDriveLetters);
}

void TScanTaskThread::ScanHku() { ScanRegistryTree(L"HKEY_USERS", L"", ProblemText(), L"", FDriveLetters); }

void TScanTaskThread::ScanAppPaths() {
  ScanRegistryTree(L"HKEY_LOCAL_MACHINE", L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", ProblemText(),
                   L"", FDriveLetters);
}

// What stays the same during one walk.
struct TScanTaskThread::TTreeWalk {
  std::wstring Root;  // full upper-case root name
  const std::wstring& Problem;
  const std::wstring& CutText;
  const std::wstring& DriveLetters;
  TScanSkipFlags Flags;
};

// Visits SubKey and every key below it. The skip rules are tested for each
// key before it is opened, so a skipped key takes its subtree with it. Every
// loop tests the terminate flag, so a cancel ends the walk at once.
void TScanTaskThread::ScanRegistryTree(const std::wstring& Root, const std::wstring& SubKey,
                                       const std::wstring& Problem, const std::wstring& CutText,
                                       const std::wstring& DriveLetters) {
  TTreeWalk walk{sys::UpperCase(Root), Problem, CutText, DriveLetters, {}};
  walk.Flags.IsWin7OrLater = FIsWin7OrLater;
  walk.Flags.IsWin8OrLater = FIsWin8OrLater;
  if (IsScanSkipped(FCurrentSection, SubKey, walk.Flags)) return;
  sys::RegistryKey key;
  if (Terminated() || !key.Open(RootFromName(walk.Root), SubKey)) return;
  ScanTreeKey(walk, key, SubKey);
}

void TScanTaskThread::ScanTreeKey(const TTreeWalk& walk, const sys::RegistryKey& key, const std::wstring& subKey) {
  ShowCurrentKey(subKey);
  const std::wstring keyPath = JoinKeyPath(walk.Root, subKey);
  static const std::wstring imeFolder = sys::UpperCase(L"system32\\ime\\");
  key.ForEachValue([&](const sys::RegistryValue& value) {
    if (Terminated()) return false;
    if (!value.IsText()) return true;
    std::wstring text = value.Text();
    if (sys::Contains(sys::UpperCase(text), imeFolder)) return true;
    if (IsInvalidPath(text, walk.CutText, walk.DriveLetters, true))
      AddValueProblemRow(walk.Problem, keyPath, value.Name, text);
    return true;
  });

  for (const auto& name : key.SubKeyNames()) {
    if (Terminated()) return;
    std::wstring child = JoinKeyPath(subKey, name);
    if (IsScanSkipped(FCurrentSection, child, walk.Flags)) continue;
    sys::RegistryKey sub;
    if (sub.Open(key, name)) ScanTreeKey(walk, sub, child);
  }
}

}  // namespace registry
