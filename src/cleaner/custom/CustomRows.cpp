#include "cleaner/custom/CustomRows.h"

#include <windows.h>

#include <cwctype>

namespace cleaner {
namespace custom {
namespace {

std::wstring Upper(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towupper(c));
  return s;
}

const wchar_t* const kRootNames[] = {L"HKEY_CLASSES_ROOT\\", L"HKEY_CURRENT_USER\\", L"HKEY_LOCAL_MACHINE\\",
                                     L"HKEY_USERS\\", L"HKEY_CURRENT_CONFIG\\"};

std::wstring WithoutTrailingSlashes(std::wstring s) {
  while (!s.empty() && (s.back() == L'\\' || s.back() == L'/')) s.pop_back();
  return s;
}

}  // namespace

bool IsRegistryRow(const std::wstring& row) { return Upper(row).compare(0, 5, L"HKEY_") == 0; }

bool IsDriveRoot(const std::wstring& folder) {
  std::wstring f = WithoutTrailingSlashes(folder);
  if (f.empty()) return !folder.empty();  // "\" alone is the current drive's root
  if (f.size() == 2 && f[1] == L':') return true;
  if (f.compare(0, 2, L"\\\\") != 0) return false;
  // \\server\share: no "\" after the share name.
  size_t shareSlash = f.find(L'\\', 2);
  return shareSlash == std::wstring::npos || f.find(L'\\', shareSlash + 1) == std::wstring::npos;
}

bool FolderExists(const std::wstring& folder) {
  if (folder.empty()) return false;
  DWORD attributes = ::GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::wstring> FilesInFolder(const std::wstring& folder) {
  std::vector<std::wstring> names;
  if (!FolderExists(folder)) return names;
  std::wstring pattern = folder;
  if (pattern.back() != L'\\') pattern += L'\\';
  pattern += L"*";
  WIN32_FIND_DATAW fd;
  HANDLE find = ::FindFirstFileW(pattern.c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(fd.cFileName);
  } while (::FindNextFileW(find, &fd));
  ::FindClose(find);
  return names;
}

bool IsFullRegistryKey(const std::wstring& key) {
  std::wstring upper = Upper(key);
  for (const wchar_t* root : kRootNames) {
    std::wstring r = root;
    if (upper.compare(0, r.size(), r) != 0) continue;
    return !WithoutTrailingSlashes(key.substr(r.size())).empty();
  }
  return false;
}

bool TAddFolderModel::OKEnabled(bool folderExists) const {
  if (!folderExists || IsDriveRoot(Folder)) return false;
  if (Option == SingleFile) return !SelectedFile.empty();
  return DeleteFolder || FileMatch.size() >= 3;
}

std::wstring TAddFolderModel::ResultText() const {
  if (Option == SingleFile) return Folder + L"," + SelectedFile;
  return DeleteFolder ? Folder : Folder + L"," + FileMatch;
}

bool TAddRegistryModel::OKEnabled() const {
  if (!IsFullRegistryKey(Key) || Key.find(L',') != std::wstring::npos) return false;
  return Wash != WashValue || !Value.empty();
}

std::wstring TAddRegistryModel::ResultText() const {
  switch (Wash) {
    case WashKey:
      return Key;
    case WashAllValues:
      return Key + L",";
    case WashValue:
      break;
  }
  return Key + L"," + Value;
}

TAddRegistryModel TAddRegistryModel::FromRow(const std::wstring& row) {
  TAddRegistryModel m;
  size_t comma = row.find(L',');
  if (comma == std::wstring::npos) {
    m.Key = row;
    m.Wash = WashKey;
    return m;
  }
  m.Key = row.substr(0, comma);
  m.Value = row.substr(comma + 1);
  m.Wash = m.Value.empty() ? WashAllValues : WashValue;
  return m;
}

}  // namespace custom
}  // namespace cleaner
