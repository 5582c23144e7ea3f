#include "registry/restore/BackupFiles.h"

#include <algorithm>

namespace registry {

std::wstring WithTrailingBackslash(const std::wstring& folder) {
  if (!folder.empty() && folder.back() == L'\\') return folder;
  return folder + L"\\";
}

bool BackupFolderExists(const std::wstring& folder) {
  if (folder.empty()) return false;
  DWORD a = ::GetFileAttributesW(folder.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

bool HasRegExtension(const std::wstring& name) {
  if (name.size() < 4) return false;
  return ::CompareStringOrdinal(name.c_str() + name.size() - 4, 4, L".reg", 4, TRUE) == CSTR_EQUAL;
}

}  // namespace

std::vector<TBackupFile> ListBackupFiles(const std::wstring& folder) {
  std::vector<TBackupFile> files;
  WIN32_FIND_DATAW fd{};
  HANDLE h = ::FindFirstFileW((WithTrailingBackslash(folder) + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return files;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (!HasRegExtension(fd.cFileName)) continue;
    TBackupFile f;
    f.Name = fd.cFileName;
    f.LastWrite = fd.ftLastWriteTime;
    f.Size = (static_cast<std::int64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    files.push_back(std::move(f));
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
  SortBackupFiles(&files);
  return files;
}

void SortBackupFiles(std::vector<TBackupFile>* files) {
  std::stable_sort(files->begin(), files->end(), [](const TBackupFile& a, const TBackupFile& b) {
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, b.Name.c_str(), -1, a.Name.c_str(), -1) ==
           CSTR_LESS_THAN;
  });
}

std::wstring BackupDateText(const FILETIME& utc) {
  FILETIME local{};
  SYSTEMTIME st{};
  if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &st)) return {};
  wchar_t date[64] = {}, time[64] = {};
  ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 64);
  ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, 64);
  return std::wstring(date) + L" " + time;
}

}  // namespace registry
