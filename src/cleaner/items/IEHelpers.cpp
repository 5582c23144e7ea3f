// Folders, the cookies to keep, index.dat scrubs and removal at restart.
#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/guard/FileDelete.h"
#include "core/guard/SettingsFile.h"
#include "cleaner/SystemPaths.h"
#include "cleaner/indexdat/IndexDatFile.h"
#include "cleaner/items/IEItems.h"
#include "cleaner/items/ItemSteps.h"
#include "core/Files.h"
#include "core/RegistryRead.h"
#include "core/Text.h"
#include "sys/IniFile.h"
#include "sys/Text.h"

namespace cleaner {
namespace {

const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const wchar_t kKeepSection[] = L"Cookies to keep";
// A keep list longer than this is not a list anybody wrote by hand.
constexpr long kMaxKeepEntries = 100000;

std::wstring WithSlash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

std::wstring ExistingFolder(const std::wstring& path) { return FolderExists(path) ? WithSlash(path) : L""; }

std::wstring LocalAppData() { return core::ReadRegString(HKEY_CURRENT_USER, kShellFolders, L"Local AppData"); }

std::wstring Upper(std::wstring s) {
  if (!s.empty()) ::CharUpperBuffW(&s[0], static_cast<DWORD>(s.size()));
  return s;
}

std::wstring WindowsFolder() {
  wchar_t buf[MAX_PATH + 1] = {};
  UINT n = ::GetWindowsDirectoryW(buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? WithSlash(std::wstring(buf, n)) : std::wstring();
}

std::wstring StripSlash(std::wstring path) {
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

// Removing a link at restart would remove what it points at.
bool IsLinkOrFolder(const std::wstring& path) {
  DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES &&
         ((a & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 || core::guard::IsFileReachedThroughLink(path));
}

// False when the file is there but was not read (a link, say): it is then
// never written over.
bool ReadLines(const std::wstring& path, std::vector<std::string>* lines) {
  std::string text;
  const core::guard::FileOutcome read = core::guard::ReadWholeFile(path, &text);
  if (read != core::guard::FileOutcome::Done && read != core::guard::FileOutcome::Missing) return false;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines->push_back(line);
  }
  return true;
}

// Replaced whole through the guard, so that a failed write leaves the old
// file whole and a link is never written through.
bool WriteLines(const std::wstring& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  DWORD error = ERROR_SUCCESS;
  return core::guard::ReplaceWholeFile(path, text, &error) == core::guard::FileOutcome::Done;
}

}  // namespace

std::wstring BrowserFolder(int csidl) {
  ::InternetSetOptionW(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
  return SpecialFolderPath(csidl);
}

std::wstring GetIELocalPath() {
  std::wstring local = LocalAppData();
  return local.empty() ? L"" : ExistingFolder(WithSlash(local) + L"Microsoft\\Internet Explorer");
}

std::wstring GetIERecoveryPath() {
  std::wstring local = LocalAppData();
  return local.empty() ? L"" : ExistingFolder(WithSlash(local) + L"Microsoft\\Internet Explorer\\Recovery");
}

std::wstring IECacheFolder() { return BrowserFolder(CSIDL_INTERNET_CACHE); }
std::wstring IEHistoryFolder() { return BrowserFolder(CSIDL_HISTORY); }

std::wstring IECookieFolder() {
  std::wstring folder = BrowserFolder(CSIDL_COOKIES);
  if (!folder.empty() && FolderExists(folder)) return folder;
  std::wstring windows = WindowsFolder();
  return windows.empty() ? L"" : ExistingFolder(windows + L"cookies");
}

std::wstring GetTodayHistoryFolderName(const SYSTEMTIME& day) {
  return L"MSHist01" + std::to_wstring(day.wYear) + core::TwoDigitStr(day.wMonth) + core::TwoDigitStr(day.wDay);
}

sys::IniStore::Result ReadCookieKeepList(const std::wstring& dataFolder, std::vector<std::wstring>* keep) {
  keep->clear();
  sys::IniFile ini = core::guard::SettingsIni(dataFolder + L"Cookies.dat");
  long count = std::min(ini.ReadInteger(kKeepSection, L"Count", 0), kMaxKeepEntries);
  for (long i = 0; i < count; ++i) {
    std::wstring entry = ini.ReadString(kKeepSection, std::to_wstring(i), L"");
    if (!entry.empty()) keep->push_back(entry);
  }
  return ini.ReadResult();
}

bool IsCookieKept(const std::wstring& fileName, const std::wstring& host, const std::vector<std::wstring>& keep) {
  const std::wstring* compared = &host;
  for (const std::wstring& entry : keep) {
    if (entry.find(L".txt") != std::wstring::npos) compared = &fileName;
    if (entry == *compared) return true;
  }
  return false;
}

indexdat::FileStatus WipeListedIndexDat(TClearTaskThread& t, const core::guard::ListedEntry& entry) {
  if (t.IsTest()) return indexdat::FileStatus::Missing;
  const CleanSettings& s = t.Settings();
  indexdat::FileStatus status = entry.IsLink() ? indexdat::FileStatus::Linked
                                               : indexdat::ScrubIndexDat(entry, s.IsWipeFile ? s.WipeNumber : 0).status;
  if (status == indexdat::FileStatus::NotCacheFile) {
    t.AddLog(L"Not a cache index file, left unchanged: " + entry.Path());
  } else if (status == indexdat::FileStatus::Refused) {
    t.AddLog(L"Not scrubbed (too large): " + entry.Path());
  } else if (status == indexdat::FileStatus::Linked) {
    ++t.FItemRefused;
    t.AddLog(t.Prefix() + L"skipping" + L" " + entry.Path() + L" (a link to another file)");
  } else if (status == indexdat::FileStatus::CannotOpen) {
    // Held by the browser without write sharing: left as it was, and said so.
    ++t.FItemFailed;
    t.AddLog(t.Prefix() + L"not emptied" + L" " + entry.Path() + L" (in use)");
  }
  return status;
}

indexdat::FileStatus WipeIndexDat(TClearTaskThread& t, const std::wstring& folder, const std::wstring& below) {
  using core::guard::FolderPin;
  if (t.IsTest() || folder.empty() || !FolderExists(folder)) return indexdat::FileStatus::Missing;
  std::unique_ptr<FolderPin> base = t.PinItemFolder(WithSlash(folder));
  if (!base) return indexdat::FileStatus::Missing;
  std::unique_ptr<FolderPin> sub = below.empty() ? nullptr : core::guard::PinBelow(*base, below);
  if (!below.empty() && !sub) return indexdat::FileStatus::Missing;
  if (sub && sub->IsReplaced()) {
    t.LogReplacedFolder(sub->Path());
    return indexdat::FileStatus::Linked;
  }
  if (sub && sub->IsLink()) {
    // Its target is not the browser's folder: the file there is left as it is.
    ++t.FItemRefused;
    t.AddLog(t.Prefix() + L"skipping" + L" " + sub->Path() + L" (a folder link; its target is kept)");
    return indexdat::FileStatus::Linked;
  }
  indexdat::FileStatus status = indexdat::FileStatus::Missing;
  core::guard::ListPinned(sub ? *sub : *base, [&](const core::guard::ListedEntry& entry) {
    if (entry.IsFolder() || Upper(entry.Name()) != L"INDEX.DAT") return true;
    status = WipeListedIndexDat(t, entry);
    return false;
  });
  return status;
}

namespace {

// The index files of a pinned folder and of the folders below it, each
// folder pinned from its parent's listing; links are never entered, and each
// file is opened relative to its folder's pin.
void WipeIndexDatsIn(TClearTaskThread& t, const core::guard::FolderPin& folder, bool spared) {
  core::guard::ListPinned(folder, [&](const core::guard::ListedEntry& entry) {
    if (t.Terminated()) return false;
    if (entry.IsLink() && entry.IsFolder()) return true;
    if (entry.IsFolder()) {
      core::guard::FolderPin child(folder, entry.Name());
      if (child.IsFolder() && !child.IsLink()) WipeIndexDatsIn(t, child, false);
      else t.LogReplacedFolder(child.Path());
    } else if (!spared && Upper(entry.Name()) == L"INDEX.DAT") {
      WipeListedIndexDat(t, entry);
    }
    return true;
  });
}

}  // namespace

void WipeIndexDatTree(TClearTaskThread& t, const std::wstring& folder) {
  if (t.IsTest() || folder.empty() || !FolderExists(folder)) return;
  bool spared = !t.FWorkPath.empty() && StripSlash(folder) == StripSlash(t.FWorkPath);
  std::unique_ptr<core::guard::FolderPin> pin = t.PinItemFolder(WithSlash(folder));
  if (pin) WipeIndexDatsIn(t, *pin, spared);
}

bool IsWininitVersion(BYTE versionCode) { return (versionCode >= 1 && versionCode <= 4) || versionCode == 8; }

bool AddWininitRenames(const std::wstring& iniPath, const std::vector<std::wstring>& lines) {
  std::vector<std::string> text;
  if (!ReadLines(iniPath, &text)) return false;
  auto header = std::find_if(text.begin(), text.end(), [](const std::string& line) {
    return Upper(sys::FromAnsi(line)) == L"[RENAME]";
  });
  std::vector<std::string> added;
  for (const std::wstring& line : lines) {
    bool lossless = true;
    std::string narrow = sys::ToAnsi(line, &lossless);
    if (!lossless) return false;  // a changed name would remove another file
    added.push_back(narrow);
  }
  if (header == text.end()) {
    text.push_back("[rename]");
    text.insert(text.end(), added.begin(), added.end());
  } else {
    text.insert(header + 1, added.rbegin(), added.rend());
  }
  return WriteLines(iniPath, text);
}

void RemoveAtRestart(TClearTaskThread& t, const std::vector<std::wstring>& files, BYTE versionCode,
                     const std::wstring& iniPath) {
  // The NT family gets nothing: its restart list removes by name as the
  // system, following whatever link a program of the user put there since.
  if (t.IsTest() || !IsWininitVersion(versionCode)) return;
  // "NUL=<short path>" deletes the file before the 9x family starts. A
  // missing file has no short path and gets no line.
  std::vector<std::wstring> lines;
  for (const std::wstring& file : files) {
    std::wstring shortPath = core::GetShortPath(file);
    if (!shortPath.empty() && !IsLinkOrFolder(file)) lines.push_back(L"NUL=" + shortPath);
  }
  if (!lines.empty() && !AddWininitRenames(iniPath, lines)) t.AddLog(L"Unable to write to " + iniPath);
}

bool RunCommandHidden(const std::wstring& commandLine) {
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi = {};
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &si,
                        &pi))
    return false;
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return true;
}

}  // namespace cleaner
