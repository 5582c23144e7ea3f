// The hive sections (3 to 6) and Software Locations (8): single walks of the
// registry tree that judge every text value with the path check.
#include "registry/RegKey.h"
#include "registry/ScanSkipKeys.h"
#include "registry/ScanTaskThread.h"
#include "registry/ScanText.h"

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

// Visits SubKey and every key below it. The skip rules are tested for each
// key before it is opened, so a skipped key takes its subtree with it. Every
// loop tests the terminate flag, so a cancel ends the walk at once.
void TScanTaskThread::ScanRegistryTree(const std::wstring& Root, const std::wstring& SubKey,
                                       const std::wstring& Problem, const std::wstring& CutText,
                                       const std::wstring& DriveLetters) {
  TScanSkipFlags flags;
  flags.IsWin7OrLater = FIsWin7OrLater;
  flags.IsWin8OrLater = FIsWin8OrLater;
  if (IsScanSkipped(FCurrentSection, SubKey, flags)) return;
  const std::wstring root = UpperCase(Root);
  TRegKey key;
  if (Terminated() || !key.Open(RootFromName(root), SubKey)) return;
  ShowCurrentKey(SubKey);

  const std::wstring keyPath = JoinKeyPath(root, SubKey);
  static const std::wstring imeFolder = UpperCase(L"system32\\ime\\");
  key.ForEachValue([&](const TRegValue& value) {
    if (Terminated()) return false;
    if (!value.IsText()) return true;
    std::wstring text = value.Text();
    if (Contains(UpperCase(text), imeFolder)) return true;
    if (IsInvalidPath(text, CutText, DriveLetters, true)) AddValueProblemRow(Problem, keyPath, value.Name, text);
    return true;
  });

  for (const auto& name : key.SubKeyNames()) {
    if (Terminated()) return;
    ScanRegistryTree(Root, JoinKeyPath(SubKey, name), Problem, CutText, DriveLetters);
  }
}

}  // namespace registry
