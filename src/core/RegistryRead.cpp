#include "core/RegistryRead.h"

#include "core/guard/FileCreate.h"
#include "core/guard/FileDelete.h"
#include "core/guard/OwnedHandle.h"
#include "core/guard/PinnedMove.h"
#include "core/guard/PinnedOpen.h"
#include "sys/RegistryKey.h"
#include "sys/TextCompare.h"

namespace core {

std::wstring ReadRegString(HKEY Root, const std::wstring& Key, const std::wstring& Name) {
  sys::RegistryKey key;
  std::wstring value;
  if (!key.Open(Root, Key, KEY_READ) || !key.ReadString(Name, &value)) return {};
  return value;
}

HiveTarget ParseHivePath(const std::wstring& KeyPath, bool IsWow64) {
  static const std::wstring kMachine = L"REGISTRY\\MACHINE\\";
  static const std::wstring kUser = L"REGISTRY\\USER\\";
  const std::wstring upper = sys::UpperCase(KeyPath);
  HiveTarget target;
  size_t at = upper.find(kMachine);
  if (at != std::wstring::npos) {
    target.root = HKEY_LOCAL_MACHINE;
    target.subKey = KeyPath.substr(at + kMachine.size());
    target.view64 = IsWow64 && upper.find(L"SOFTWARE") != std::wstring::npos;
  } else if ((at = upper.find(kUser)) != std::wstring::npos) {
    target.root = HKEY_USERS;
    target.subKey = KeyPath.substr(at + kUser.size());
  }
  return target;
}

namespace {

using NtSaveKeyFn = LONG(WINAPI*)(HANDLE key, HANDLE file);

// The hive's key; null when it does not open. As RegOpenKey does: the hives
// SAM and SECURITY grant administrators no read access, but enough to save
// them under the backup privilege.
struct OpenKey {
  explicit OpenKey(const HiveTarget& target) {
    REGSAM access = target.view64 ? KEY_QUERY_VALUE | KEY_WOW64_64KEY : MAXIMUM_ALLOWED;
    if (target.root == nullptr || ::RegOpenKeyExW(target.root, target.subKey.c_str(), 0, access, &h) != ERROR_SUCCESS)
      h = nullptr;
  }
  ~OpenKey() {
    if (h != nullptr) ::RegCloseKey(h);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY h = nullptr;
};

HiveSaveResult ResultOf(const guard::PinnedOpen& made) {
  if (made.Refused()) return HiveSaveResult::Refused;
  // Taken since the old one went: someone else's, perhaps a link.
  if (made.error == ERROR_FILE_EXISTS || made.error == ERROR_ALREADY_EXISTS) return HiveSaveResult::Refused;
  return HiveSaveResult::Failed;
}

}  // namespace

HiveSaveResult SaveHiveBeside(const std::wstring& KeyPath, const guard::FolderPin& folder, const std::wstring& name,
                              bool IsWow64) {
  if (!folder.IsFolder()) return HiveSaveResult::Failed;
  // An old file of the name goes first; a link or a folder stays as it is.
  switch (guard::RemoveFromPin(folder, name)) {
    case guard::FileDeleteResult::Refused:
      return HiveSaveResult::Refused;
    case guard::FileDeleteResult::Failed:
      return HiveSaveResult::Failed;
    default:
      break;
  }
  const OpenKey key(ParseHivePath(KeyPath, IsWow64));
  if (key.h == nullptr) return HiveSaveResult::Failed;
  // Made new relative to the pin, and the system writes into that handle.
  guard::PinnedOpen made = guard::OpenPinnedFile(folder, name, GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                                 guard::PinnedCreate::New);
  if (made.result != guard::PinnedOpenResult::Opened) return ResultOf(made);
  guard::OwnedHandle file(made.handle);
  static auto save = reinterpret_cast<NtSaveKeyFn>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtSaveKey"));
  if (save != nullptr && save(key.h, file.Get()) >= 0) return HiveSaveResult::Saved;
  guard::RemoveJustMadeFile(file.Get());  // no empty copy passes for a saved one
  return HiveSaveResult::Failed;
}

bool SaveHiveToFile(const std::wstring& KeyPath, const std::wstring& FileName, bool IsWow64) {
  const size_t slash = FileName.find_last_of(L'\\');
  if (slash == std::wstring::npos) return false;
  const guard::FolderPin folder(FileName.substr(0, slash + 1), guard::FollowLink::Yes);
  return SaveHiveBeside(KeyPath, folder, FileName.substr(slash + 1), IsWow64) == HiveSaveResult::Saved;
}

}  // namespace core
