#include "core/guard/LockedPlaces.h"

#include <aclapi.h>
#include <shlobj.h>
#include <userenv.h>

#include <algorithm>

#include "core/guard/NtFiles.h"
#include "core/guard/Redirection.h"
#include "sys/Text.h"
#include "sys/TextCompare.h"

namespace core {
namespace guard {
namespace {

const wchar_t kProfileList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

std::wstring Folder(UINT(WINAPI* get)(LPWSTR, UINT)) {
  wchar_t buf[MAX_PATH + 1] = {};
  UINT n = get(buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

std::wstring ShellFolder(int csidl) {
  wchar_t buf[MAX_PATH + 1] = {};
  return ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf) == S_OK ? buf : L"";
}

std::wstring Environment(const wchar_t* name) {
  wchar_t buf[MAX_PATH + 1] = {};
  DWORD n = ::GetEnvironmentVariableW(name, buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

std::wstring ProfilesFolder() {
  wchar_t buf[MAX_PATH + 1] = {};
  DWORD n = MAX_PATH;
  return ::GetProfilesDirectoryW(buf, &n) ? buf : L"";
}

// Every profile the system lists, wherever it lies (a moved one too).
std::vector<std::wstring> ListedProfiles() {
  std::vector<std::wstring> profiles;
  HKEY list = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProfileList, 0, KEY_READ | KEY_WOW64_64KEY, &list) != ERROR_SUCCESS) {
    return profiles;
  }
  wchar_t sid[256];
  for (DWORD i = 0;; ++i) {
    DWORD n = 256;
    if (::RegEnumKeyExW(list, i, sid, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    wchar_t raw[MAX_PATH + 1] = {}, expanded[MAX_PATH + 1] = {};
    DWORD size = sizeof(raw) - sizeof(wchar_t);
    HKEY key = nullptr;
    if (::RegOpenKeyExW(list, sid, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) continue;
    if (::RegQueryValueExW(key, L"ProfileImagePath", nullptr, nullptr, reinterpret_cast<BYTE*>(raw), &size) ==
            ERROR_SUCCESS &&
        ::ExpandEnvironmentStringsW(raw, expanded, MAX_PATH) - 1 < MAX_PATH) {
      profiles.push_back(expanded);
    }
    ::RegCloseKey(key);
  }
  ::RegCloseKey(list);
  return profiles;
}

// The user's own token, where this one is its elevated twin; null elsewhere.
HANDLE LinkedToken() {
  HANDLE token = nullptr, linked = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  DWORD size = 0;
  if (!::GetTokenInformation(token, TokenElevationType, &type, sizeof(type), &size) ||
      type != TokenElevationTypeFull ||
      !::GetTokenInformation(token, TokenLinkedToken, &linked, sizeof(linked), &size)) {
    linked = nullptr;
  }
  ::CloseHandle(token);
  return linked;
}

using ReOpenFileFn = HANDLE(WINAPI*)(HANDLE, DWORD, DWORD, DWORD);

// The folder's security, read through a second handle on the same folder.
bool AccessOf(HANDLE folder, HANDLE token, ACCESS_MASK* granted) {
  static auto reopen = reinterpret_cast<ReOpenFileFn>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "ReOpenFile"));
  if (reopen == nullptr) return false;
  HANDLE h = reopen(folder, READ_CONTROL, nt::kShareAll, FILE_FLAG_BACKUP_SEMANTICS);
  if (h == INVALID_HANDLE_VALUE) return false;
  PSECURITY_DESCRIPTOR sd = nullptr;
  const SECURITY_INFORMATION what = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION |
                                    DACL_SECURITY_INFORMATION;
  bool checked = false;
  if (::GetSecurityInfo(h, SE_FILE_OBJECT, what, nullptr, nullptr, nullptr, nullptr, &sd) == ERROR_SUCCESS) {
    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    PRIVILEGE_SET privileges;
    DWORD privilegesSize = sizeof(privileges);
    BOOL status = FALSE;
    checked = ::AccessCheck(sd, token, MAXIMUM_ALLOWED, &mapping, &privileges, &privilegesSize, granted, &status) &&
              status;
    ::LocalFree(sd);
  }
  ::CloseHandle(h);
  return checked;
}

class SystemUserRights : public IUserRights {
 public:
  UserRight MayDelete(HANDLE folder) override {
    HANDLE token = LinkedToken();
    if (token == nullptr) return UserRight::Unknown;
    ACCESS_MASK granted = 0;
    bool may = AccessOf(folder, token, &granted) && (granted & (DELETE | FILE_DELETE_CHILD)) != 0;
    ::CloseHandle(token);
    return may ? UserRight::Granted : UserRight::Denied;
  }
};

SystemUserRights g_systemRights;
IUserRights* g_rights = &g_systemRights;

}  // namespace

// A volume Wine cannot name (a drive letter it was not told of) is left 0:
// the index alone then.
bool IdentityOf(const std::wstring& folder, FolderIdentity* id) {
  if (folder.empty()) return false;
  HANDLE h = ::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, nt::kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  if (!nt::VolumeSerial(h, &id->volume)) id->volume = 0;
  bool known = nt::FileIndex(h, &id->index);
  ::CloseHandle(h);
  return known;
}


const LockedPlaces& LockedPlaces::OfSystem() {
  static const LockedPlaces places = [] {
    // Read as every thread names them, whatever the calling thread turned
    // off, and no library loads from the wrong system folder meanwhile.
    const ThreadRedirection redirection(ThreadRedirection::Default);
    return Read();
  }();
  return places;
}

LockedPlaces LockedPlaces::Read() {
  LockedPlaces places;
  // The user's own profile first: found first, it is never taken for another user's.
  places.Add(ShellFolder(CSIDL_PROFILE), PlaceKind::OwnProfile);
  const std::wstring windows = Folder(&::GetWindowsDirectoryW);
  places.Add(windows, PlaceKind::Tree);
  if (windows.size() > 3) IdentityOf(windows.substr(0, 3), &places.systemRoot_);
  const std::wstring wow64 = Folder(&::GetSystemWow64DirectoryW);
  if (IdentityOf(windows, &places.windows_) && IdentityOf(wow64, &places.wow64_) &&
      IdentityOf(windows + L"\\sysnative", &places.native_)) {
    places.wow64Name_ = wow64.substr(wow64.find_last_of(L'\\') + 1);
    places.nativeName_ = L"System32";
  }
  for (const std::wstring& folder : {Environment(L"ProgramW6432"), ShellFolder(CSIDL_PROGRAM_FILES),
                                     ShellFolder(CSIDL_PROGRAM_FILESX86), ShellFolder(CSIDL_COMMON_APPDATA)}) {
    places.Add(folder, PlaceKind::Tree);
  }
  places.Add(ProfilesFolder(), PlaceKind::Users);
  for (const std::wstring& profile : ListedProfiles()) places.Add(profile, PlaceKind::Tree, L"another user's profile");
  return places;
}

void LockedPlaces::Add(const std::wstring& folder, PlaceKind kind, const std::wstring& name) {
  LockedPlace place;
  if (!IdentityOf(folder, &place.id) || Find(place.id) != nullptr) return;
  place.kind = kind;
  place.name = name.empty() ? folder : name;
  places_.push_back(place);
}

bool SameFolder(const FolderIdentity& known, const FolderIdentity& id, bool anyVolume) {
  return known.index == id.index && (anyVolume || known.volume == id.volume || known.volume == 0 || id.volume == 0);
}

const LockedPlace* LockedPlaces::Find(const FolderIdentity& id, bool anyVolume) const {
  for (const LockedPlace& place : places_) {
    if (SameFolder(place.id, id, anyVolume)) return &place;
  }
  return nullptr;
}

bool LockedPlaces::IsSystemDriveRoot(const FolderIdentity& id) const {
  return systemRoot_.index != 0 && SameFolder(systemRoot_, id, true);
}

bool LockedPlaces::IsSystemRedirect(const FolderIdentity& parent, const std::wstring& part,
                                    const FolderIdentity& child) const {
  if (wow64_.index == 0 || !SameFolder(parent, windows_)) return false;
  if (sys::SameText(part, L"system32")) return SameFolder(child, wow64_);
  return native_.index != 0 && sys::SameText(part, L"sysnative") && SameFolder(child, native_);
}

std::wstring LockedPlaces::OnDisk(const FolderIdentity& parent, const std::wstring& part,
                                  const std::wstring& path) const {
  if (nativeName_.empty() || !SameFolder(parent, windows_) ||
      !(sys::SameText(part, L"system32") || sys::SameText(part, L"sysnative"))) {
    return part;
  }
  FolderIdentity opened;
  if (!IdentityOf(path, &opened)) return part;
  if (SameFolder(opened, wow64_)) return wow64Name_;
  return SameFolder(opened, native_) ? nativeName_ : part;
}

namespace {

using UnixNameFn = char*(CDECL*)(LPCWSTR);
using FinalPathFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);

FARPROC Kernel32(const char* name) { return ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name); }

// The open folder's drive path; empty when the system does not give one.
std::wstring DrivePathOf(HANDLE h) {
  static auto finalPath = reinterpret_cast<FinalPathFn>(Kernel32("GetFinalPathNameByHandleW"));
  wchar_t buf[1024] = {};
  const DWORD n = finalPath != nullptr ? finalPath(h, buf, 1024, 0) : 0;
  std::wstring path(buf, n > 0 && n < 1024 ? n : 0);
  if (path.compare(0, 4, L"\\\\?\\") == 0) path.erase(0, 4);
  return path.size() >= 3 && path[1] == L':' && path[2] == L'\\' ? path : std::wstring();
}

}  // namespace

LetterFolder FolderOfLetter(const std::wstring& root, ULONGLONG index) {
  static auto unixName = reinterpret_cast<UnixNameFn>(Kernel32("wine_get_unix_file_name"));
  LetterFolder folder;
  if (unixName == nullptr || root.size() != 3 || root[1] != L':') {
    folder.kind = LetterFolder::Volume;
    return folder;
  }
  char* name = unixName(root.c_str());  // the letter's link: ".../dosdevices/x:/"
  std::string link = name != nullptr ? name : "";
  if (name != nullptr) ::HeapFree(::GetProcessHeap(), 0, name);
  if (link == "/") folder.kind = LetterFolder::Volume;  // the host's own root
  if (link.empty() || link[0] != '/' || link == "/") return folder;
  if (link.back() != '/') link += '/';
  const std::wstring above = L"\\\\?\\unix" + sys::FromUtf8(link + "..");
  HANDLE h = ::CreateFileW(above.c_str(), FILE_READ_ATTRIBUTES, nt::kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return folder;
  ULONGLONG aboveIndex = 0;
  if (nt::FileIndex(h, &aboveIndex)) {
    folder.parent = DrivePathOf(h);
    // The host's root is its own "..".
    folder.kind = aboveIndex == index ? LetterFolder::Volume
                                      : folder.parent.empty() ? LetterFolder::Unknown : LetterFolder::Folder;
  }
  ::CloseHandle(h);
  return folder;
}

std::vector<std::wstring> SharedFolderPaths() {
  std::vector<std::wstring> folders;
  const std::wstring windows = Folder(&::GetWindowsDirectoryW);
  if (!windows.empty()) folders.push_back(windows + L"\\Temp");
  folders.push_back(ShellFolder(CSIDL_COMMON_APPDATA));
  // The Public profile: its variable, or the folder above the shared documents.
  std::wstring publicProfile = Environment(L"PUBLIC");
  const std::wstring docs = ShellFolder(CSIDL_COMMON_DOCUMENTS);
  if (publicProfile.empty() && docs.size() > 1) publicProfile = docs.substr(0, docs.find_last_of(L'\\', docs.size() - 2) + 1);
  folders.push_back(publicProfile);
  folders.erase(std::remove(folders.begin(), folders.end(), std::wstring()), folders.end());
  return folders;
}

std::wstring LinkIntoPlaceReason(const std::wstring& place) {
  return L"a link of yours into " + place + L"; its target is kept";
}

IUserRights* SetUserRights(IUserRights* rights) {
  IUserRights* previous = g_rights;
  g_rights = rights != nullptr ? rights : &g_systemRights;
  return previous;
}

UserRight UserMayDelete(HANDLE folder) { return g_rights->MayDelete(folder); }

}  // namespace guard
}  // namespace core
