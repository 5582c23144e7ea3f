#include "core/RegistryRead.h"

#include "core/guard/FileDelete.h"
#include "core/TextCompare.h"
#include "ui/RegistryKey.h"

namespace core {

std::wstring ReadRegString(HKEY Root, const std::wstring& Key, const std::wstring& Name) {
  // Key names never start with a separator; callers write absolute paths so.
  std::wstring path = !Key.empty() && Key[0] == L'\\' ? Key.substr(1) : Key;
  ui::RegistryKey key;
  std::wstring value;
  if (!key.Open(Root, path, KEY_READ) || !key.ReadString(Name, &value)) return {};
  return value;
}

HiveTarget ParseHivePath(const std::wstring& KeyPath, bool IsWow64) {
  static const std::wstring kMachine = L"REGISTRY\\MACHINE\\";
  static const std::wstring kUser = L"REGISTRY\\USER\\";
  const std::wstring upper = UpperCase(KeyPath);
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

bool SaveHiveToFile(const std::wstring& KeyPath, const std::wstring& FileName, bool IsWow64) {
  const HiveTarget target = ParseHivePath(KeyPath, IsWow64);
  HKEY key = nullptr;
  LONG opened = ERROR_FILE_NOT_FOUND;
  if (target.root != nullptr) {
    // As RegOpenKey does: the hives SAM and SECURITY grant administrators no
    // read access, but enough to save them under the backup privilege.
    REGSAM access = target.view64 ? KEY_QUERY_VALUE | KEY_WOW64_64KEY : MAXIMUM_ALLOWED;
    opened = ::RegOpenKeyExW(target.root, target.subKey.c_str(), 0, access, &key);
  }
  // RegSaveKey does not overwrite; a link in its place is never deleted
  // through to what it points at.
  if (::GetFileAttributesW(FileName.c_str()) != INVALID_FILE_ATTRIBUTES) guard::DeleteNamedFile(FileName);
  if (opened != ERROR_SUCCESS) return false;
  bool saved = ::RegSaveKeyW(key, FileName.c_str(), nullptr) == ERROR_SUCCESS;
  ::RegCloseKey(key);
  return saved;
}

}  // namespace core
