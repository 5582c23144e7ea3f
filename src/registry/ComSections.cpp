// COM registrations: Custom Controls (class servers that are gone,
// interfaces naming unregistered type libraries) and Invalid ActiveX (type
// library files that are gone, classes naming unregistered AppIDs).
#include <algorithm>

#include "registry/NameIndex.h"
#include "registry/RegKey.h"
#include "sys/RegistryKey.h"
#include "registry/ScanTaskThread.h"
#include "sys/TextCompare.h"

namespace registry {
namespace {

const wchar_t kHkcr[] = L"HKEY_CLASSES_ROOT";

std::vector<std::wstring> SubKeyNamesOf(HKEY root, const std::wstring& path) {
  sys::RegistryKey key;
  return key.Open(root, path) ? key.SubKeyNames() : std::vector<std::wstring>();
}

}  // namespace

bool TScanTaskThread::IsHklmScanSelected() const {
  return std::any_of(FSections.begin(), FSections.end(),
                     [](const std::wstring& s) { return SectionIdFromText(s) == sidHklm; });
}

// With HKEY_LOCAL_MACHINE in the same scan the class tree is walked there
// already; only the interfaces remain.
void TScanTaskThread::ScanCustomControls() {
  if (!IsHklmScanSelected()) ScanClsidTree(kHkcr, L"CLSID", L"");
  ScanInterfaceTypeLibs();
}

void TScanTaskThread::ScanClsidTree(const std::wstring& Root, const std::wstring& Base, const std::wstring& Name) {
  const std::wstring root = sys::UpperCase(Root);
  const std::wstring path = Base + Name;
  sys::RegistryKey key;
  if (Terminated() || !key.Open(RootFromName(root), path)) return;
  ScanClsidKey(root, key, path);
}

// Every key of the tree whose default value names a missing file is reported
// whole (a server key, mostly).
void TScanTaskThread::ScanClsidKey(const std::wstring& root, const sys::RegistryKey& key, const std::wstring& path) {
  ShowCurrentKey(path);
  std::wstring text;
  if (key.ReadString(L"", &text) && IsInvalidPath(text, L"", FDriveLetters, false))
    AddProblemRow({ProblemText(), text, JoinKeyPath(root, path), fkDeleteKey});
  for (const auto& name : key.SubKeyNames()) {
    if (Terminated()) return;
    sys::RegistryKey sub;
    if (sub.Open(key, name)) ScanClsidKey(root, sub, path + L"\\" + name);
  }
}

void TScanTaskThread::ScanInterfaceTypeLibs() {
  if (Terminated()) return;
  const TNameIndex typeLibs(SubKeyNamesOf(HKEY_CLASSES_ROOT, L"TypeLib"));
  sys::RegistryKey interfaces;
  if (!interfaces.Open(HKEY_CLASSES_ROOT, L"Interface")) return;
  for (const auto& id : interfaces.SubKeyNames()) {
    if (Terminated()) return;
    sys::RegistryKey itf, lib;
    if (!itf.Open(interfaces, id)) continue;
    const std::wstring path = L"Interface\\" + id;
    ShowCurrentKey(path);
    std::wstring name, libId;
    if (!itf.ReadString(L"", &name) || !lib.Open(itf, L"TypeLib") || !lib.ReadString(L"", &libId)) continue;
    if (!typeLibs.AnyContains(libId))
      AddProblemRow({ProblemText(), name + L" - " + libId, JoinKeyPath(kHkcr, path), fkDeleteKey});
  }
}

// With HKEY_LOCAL_MACHINE in the same scan the type library files are judged
// there already; only the AppID references remain.
void TScanTaskThread::ScanActiveX() {
  if (!IsHklmScanSelected()) ScanRegistryTree(kHkcr, L"TypeLib", ProblemText(), L".dll", FDriveLetters);
  ScanClsidAppIds();
}

void TScanTaskThread::ScanClsidAppIds() {
  if (Terminated()) return;
  if (const TScanSection* s = FindScanSection(sidActiveX)) ShowTitle(s->Title);
  const TNameIndex appIds(SubKeyNamesOf(HKEY_CLASSES_ROOT, L"AppID"));
  sys::RegistryKey classes;
  if (!classes.Open(HKEY_CLASSES_ROOT, L"CLSID")) return;
  for (const auto& id : classes.SubKeyNames()) {
    if (Terminated()) return;
    const std::wstring path = L"CLSID\\" + id;
    ShowCurrentKey(path);
    sys::RegistryKey cls, server;
    std::wstring appId, serverFile;
    if (!cls.Open(classes, id) || !cls.ReadString(L"AppID", &appId) || appId.empty()) continue;
    if (appIds.AnyContains(appId) || appIds.AnyContains(id)) continue;
    // The accessibility library serves classes that carry no AppID of their own.
    if (server.Open(cls, L"InprocServer32") &&
        (!server.ReadString(L"", &serverFile) || sys::ContainsNoCase(serverFile, L"oleacc.dll")))
      continue;
    AddProblemRow({ProblemText(), appId, JoinKeyPath(kHkcr, path), fkDeleteKey});
  }
}

}  // namespace registry
