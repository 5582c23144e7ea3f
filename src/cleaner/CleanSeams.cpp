#include "cleaner/CleanSeams.h"

#include "cleaner/PathGuard.h"
#include "cleaner/RegistryPaths.h"
#include "cleaner/WipeFile.h"
#include "ui/MessageBox.h"
#include "sys/RegistryKey.h"

namespace cleaner {

bool MessageBoxAsker::AskYesNo(const std::wstring& text) {
  return ui::ShowMessage(nullptr, text, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2) == IDYES;
}

namespace {

// A full path taken as it is written. The system trims a trailing dot or
// space from the name otherwise, and "keep.dat." would reach "keep.dat".
std::wstring LiteralPath(const std::wstring& path) {
  if (path.empty() || (path.back() != L'.' && path.back() != L' ')) return path;
  if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return L"\\\\?\\" + path;
}

}  // namespace

FileRemoval SystemDeleter::RemoveFile(const std::wstring& fullPath, int wipePasses) {
  const std::wstring path = LiteralPath(fullPath);
  FileRemoval result;
  DWORD attrs = ::GetFileAttributesW(path.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0) return result;
  // Where a file link looks like a plain file, deleting it would delete the
  // file it points at, which no clean asked for: it stays.
  if (PathGuard::IsFileReachedThroughLink(path)) return result;
  if (wipePasses > 0) {
    result.wipe = WipeFile(path, wipePasses) == WipeResult::Wiped ? WipeOutcome::Wiped : WipeOutcome::NotWiped;
  }
  bool readOnly = (attrs & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) ::SetFileAttributesW(path.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
  result.removed = ::DeleteFileW(path.c_str()) != FALSE;
  if (!result.removed && readOnly) ::SetFileAttributesW(path.c_str(), attrs);
  return result;
}

bool SystemDeleter::RemoveFolder(const std::wstring& path) { return ::RemoveDirectoryW(path.c_str()) != FALSE; }

bool SystemDeleter::RemoveRegKey(HKEY root, const std::wstring& key) { return DeleteRegKeyTree(root, key); }

bool SystemDeleter::RemoveRegValue(HKEY root, const std::wstring& key, const std::wstring& name) {
  sys::RegistryKey k;
  return k.Open(root, key, KEY_SET_VALUE) && k.DeleteValue(name);
}

}  // namespace cleaner
