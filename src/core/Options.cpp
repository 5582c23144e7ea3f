#include "core/Options.h"
#include "core/Paths.h"
#include "sys/TextCompare.h"

#include <shlobj.h>

#include <algorithm>
#include <climits>

#include "core/guard/SettingsFile.h"
#include "sys/IniFile.h"

namespace core {

TOptionsSetting OptionsSetting;

namespace {

using sys::IniFile;

const wchar_t kOptions[] = L"Options";
const wchar_t kHotkey[] = L"Hotkey";
const wchar_t kSchedule[] = L"SChedule";
const wchar_t kNodeSelected[] = L"NodeSelected";
const wchar_t kFirstNodeExpand[] = L"FirstNodeExpand";
const wchar_t kSettings[] = L"Settings";
const wchar_t kTreeViewNodeCheck[] = L"TreeViewNodeCheck";
const wchar_t kWindow[] = L"Window";
const int kExpandSlots = 10;
const int kRegistrySections = 25;
const long kShowMaximized = 3;

std::wstring Num(int i) { return std::to_wstring(i); }

bool FileExists(const std::wstring& path) {
  DWORD attr = ::GetFileAttributesW(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
  DWORD attr = ::GetFileAttributesW(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates `folder` together with its missing parents.
bool ForceFolder(std::wstring folder) {
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  if (FolderExists(folder)) return true;
  ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  return FolderExists(folder);
}

bool FileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION* info) {
  HANDLE h = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = ::GetFileInformationByHandle(h, info) != FALSE;
  ::CloseHandle(h);
  return ok;
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
  if (::lstrcmpiW(a.c_str(), b.c_str()) == 0) return true;
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  if (!FileIdentity(a, &ia) || !FileIdentity(b, &ib)) return false;
  return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
         ia.nFileIndexLow == ib.nFileIndexLow;
}

// The file `from` copied whole over `to` through the guard; whether `to`
// was refused (a link, or a file with more than one name).
bool CopyRefused(const std::wstring& from, const std::wstring& to) {
  std::string bytes;
  if (guard::ReadWholeFile(from, &bytes) != guard::FileOutcome::Done) return false;
  DWORD error = ERROR_SUCCESS;
  return guard::ReplaceWholeFile(to, bytes, &error) == guard::FileOutcome::Refused;
}

std::wstring MirrorPath(const OptionsPaths& paths) { return JoinPath(paths.ProgramFolder, L"options.ini"); }

// A count sizes a loop and a list: never negative, and never more than the
// lines its section holds (or kMaxOptionsListCount, when that is more), so a
// count the file cannot back claims no memory.
int ListCount(const IniFile& ini, const wchar_t* section, const wchar_t* key) {
  long n = 0;
  if (!IniFile::ParseInteger(ini.ReadString(section, key, L""), &n) || n <= 0) return 0;
  const size_t most = std::max<size_t>(ini.SectionSize(section), kMaxOptionsListCount);
  return static_cast<int>(std::min<size_t>(static_cast<size_t>(n), most));
}

// 1..count when `key` is `prefix` (any case) and that number, as the key a
// single read of entry i names; else 0.
int EntryNumber(const std::wstring& key, const std::wstring& prefix, int count) {
  const size_t digits = key.size() - std::min(key.size(), prefix.size());
  if (digits == 0 || digits > 10 || key[prefix.size()] == L'0') return 0;
  if (!sys::SameText(key.substr(0, prefix.size()), prefix)) return 0;
  long long n = 0;
  for (size_t i = prefix.size(); i < key.size(); ++i) {
    if (key[i] < L'0' || key[i] > L'9') return 0;
    n = n * 10 + (key[i] - L'0');
  }
  return n <= count ? static_cast<int>(n) : 0;
}

// A single read strips one pair of enclosing quotes; so does this.
std::wstring Unquoted(const std::wstring& v) {
  bool quoted = v.size() >= 2 && (v.front() == L'"' || v.front() == L'\'') && v.back() == v.front();
  return quoted ? v.substr(1, v.size() - 2) : v;
}

// Entries prefix + 1 to prefix + count of a section, read in one pass over
// it: thousands of numbered keys cost one walk, not one each. As single
// reads give them, the first key of a number wins and a missing one is empty.
std::vector<std::wstring> ReadEntries(const IniFile& ini, const wchar_t* section, const std::wstring& prefix,
                                      int count) {
  std::vector<std::wstring> entries(static_cast<size_t>(count));
  std::vector<bool> seen(static_cast<size_t>(count));
  ini.VisitSection(section, [&](const std::wstring& key, const std::wstring* value) {
    const int i = EntryNumber(key, prefix, count);
    if (i == 0 || seen[i - 1]) return;
    seen[i - 1] = true;
    if (value != nullptr) entries[i - 1] = Unquoted(*value);
  });
  return entries;
}

// ---- load ----

void LoadGeneral(const IniFile& ini, TOptionsSetting& o) {
  o.IsAskBeforeClear = ini.ReadBool(kOptions, L"IsAskBeforeClear", true);
  o.IsWipeFile = ini.ReadBool(kOptions, L"IsWipeFile", false);
  long wipe = ini.ReadInteger(kOptions, L"WipeNumber", 1);
  o.WipeNumber = (wipe < 1 || wipe > 10) ? 1 : static_cast<int>(wipe);
}

void LoadHotkey(const IniFile& ini, TOptionsSetting& o) {
  o.EnableHotkey = ini.ReadBool(kHotkey, L"EnableHotkey", false);
  o.Hotkey.IsCtrl = ini.ReadBool(kHotkey, L"IsCtrl", true);
  o.Hotkey.IsShift = ini.ReadBool(kHotkey, L"IsShift", false);
  o.Hotkey.IsAlt = ini.ReadBool(kHotkey, L"IsAlt", false);
  o.Hotkey.CharString = ini.ReadString(kHotkey, L"CharString", L"F5");
  o.Hotkey.CharAscII = static_cast<std::uint16_t>(ini.ReadInteger(kHotkey, L"CharAscII", 116));
  o.EnableIE = ini.ReadBool(kHotkey, L"EnableIE", false);
  o.EnableNetscape = ini.ReadBool(kHotkey, L"EnableNetscape", false);
  o.EnableFirefox = ini.ReadBool(kHotkey, L"EnableFirefox", false);
  o.EnableOpera = ini.ReadBool(kHotkey, L"EnableOpera", false);
}

void LoadSchedule(const IniFile& ini, TOptionsSetting& o) {
  o.AutoClean = ini.ReadBool(kSchedule, L"AutoClean", false);
  o.CleanInterval = static_cast<int>(ini.ReadInteger(kSchedule, L"CleanInterval", 0));
  o.StartClean = ini.ReadBool(kSchedule, L"StartClean", false);
  o.ShutdownClean = ini.ReadBool(kSchedule, L"ShutdownClean", false);
}

void LoadNodeSelected(const IniFile& ini, TOptionsSetting& o, IOptionsHost& host) {
  host.UntickAllCleanNodes();
  o.SelectedCount = ListCount(ini, kNodeSelected, L"SelectedCount");
  host.TickCleanCaptions(ReadEntries(ini, kNodeSelected, L"", o.SelectedCount));
}

void LoadSettings(const IniFile& ini, TOptionsSetting& o, const OptionsPaths& paths) {
  for (int i = 1; i <= kExpandSlots; ++i) o.FirstNodeExpand[i] = ini.ReadBool(kFirstNodeExpand, Num(i), true);
  o.ShowLogTempInternetFiles = ini.ReadBool(kSettings, L"ShowLogTempInternetFiles", false);
  o.ShowLogRecycleBin = ini.ReadBool(kSettings, L"ShowLogRecycleBin", false);
  o.FastScan = ini.ReadBool(kSettings, L"FastScan", true);
  o.OutputDirectory = ini.ReadString(kOptions, L"OutputDirectory", JoinPath(paths.ProgramFolder, L"Backup"));
  o.DeleteBackupFile = ini.ReadBool(kOptions, L"DeleteBackupFile", true);
  o.IncludeRemoveMedia = ini.ReadBool(kOptions, L"IncludeRemoveMedia", true);
  o.IncludeCDdrive = ini.ReadBool(kOptions, L"IncludeCDdrive", false);
  for (int i = 1; i <= kRegistrySections; ++i) o.TreeViewNodeCheck[i] = ini.ReadBool(kTreeViewNodeCheck, Num(i), true);
}

// Appends the numbered entries; the count field then matches the list.
void LoadList(const IniFile& ini, const wchar_t* section, const wchar_t* prefix, int& count,
              std::vector<std::wstring>* list) {
  if (list == nullptr) return;
  std::vector<std::wstring> entries = ReadEntries(ini, section, prefix, ListCount(ini, section, L"Count"));
  list->reserve(list->size() + entries.size());
  for (std::wstring& entry : entries) list->push_back(std::move(entry));
  count = static_cast<int>(list->size());
}

bool ShowsOnScreen(const TOptionsSetting& o, const OptionsPaths& paths) {
  if (o.Width <= 0 || o.Height <= 0) return false;
  long long right = static_cast<long long>(o.Left) + o.Width;
  long long bottom = static_cast<long long>(o.Top) + o.Height;
  if (right > INT_MAX || bottom > INT_MAX) return false;
  RECT r{o.Left, o.Top, static_cast<LONG>(right), static_cast<LONG>(bottom)};
  return !paths.IsOnSomeMonitor || paths.IsOnSomeMonitor(r);
}

void LoadWindow(const IniFile& ini, TOptionsSetting& o, IOptionsHost& host, const OptionsPaths& paths) {
  if (ini.ReadInteger(kWindow, L"State", 1) == kShowMaximized) {
    o.WindowState = TWindowState::wsMaximized;
    return;
  }
  const RECT now = host.WindowBounds();
  const int width = now.right - now.left, height = now.bottom - now.top;
  const int left = (paths.Screen.cx - width) / 2, top = (paths.Screen.cy - height) / 2;
  o.Left = static_cast<int>(ini.ReadInteger(kWindow, L"Left", left));
  o.Top = static_cast<int>(ini.ReadInteger(kWindow, L"Top", top));
  o.Width = static_cast<int>(ini.ReadInteger(kWindow, L"Width", width));
  o.Height = static_cast<int>(ini.ReadInteger(kWindow, L"Height", height));
  if (!ShowsOnScreen(o, paths)) {  // e.g. saved on a monitor since removed
    o.Left = left;
    o.Top = top;
    o.Width = width;
    o.Height = height;
  }
}

void Load(const IniFile& ini, TOptionsSetting& o, IOptionsHost& host, const OptionsPaths& paths) {
  LoadGeneral(ini, o);
  LoadHotkey(ini, o);
  LoadSchedule(ini, o);
  LoadNodeSelected(ini, o, host);
  LoadSettings(ini, o, paths);
  LoadList(ini, L"IgnoreValue", L"Value", o.IgnoreValueCount, o.IgnoreValueList);
  LoadList(ini, L"IgnoreKey", L"Key", o.IgnoreKeyCount, o.IgnoreKeyList);
  LoadWindow(ini, o, host, paths);
  o.RestorePoint = ini.ReadBool(kOptions, L"RestorePoint", false);
}

// ---- save ----

void SaveGeneral(IniFile& ini, const TOptionsSetting& o) {
  ini.WriteBool(kOptions, L"IsAskBeforeClear", o.IsAskBeforeClear);
  ini.WriteBool(kOptions, L"IsWipeFile", o.IsWipeFile);
  ini.WriteInteger(kOptions, L"WipeNumber", o.WipeNumber);
  ini.WriteBool(kHotkey, L"EnableHotkey", o.EnableHotkey);
  ini.WriteBool(kHotkey, L"IsCtrl", o.Hotkey.IsCtrl);
  ini.WriteBool(kHotkey, L"IsShift", o.Hotkey.IsShift);
  ini.WriteBool(kHotkey, L"IsAlt", o.Hotkey.IsAlt);
  ini.WriteString(kHotkey, L"CharString", o.Hotkey.CharString);
  ini.WriteInteger(kHotkey, L"CharAscII", o.Hotkey.CharAscII);
  ini.WriteBool(kHotkey, L"EnableIE", o.EnableIE);
  ini.WriteBool(kHotkey, L"EnableNetscape", o.EnableNetscape);
  ini.WriteBool(kHotkey, L"EnableFirefox", o.EnableFirefox);
  ini.WriteBool(kHotkey, L"EnableOpera", o.EnableOpera);
  ini.WriteBool(kSchedule, L"AutoClean", o.AutoClean);
  ini.WriteInteger(kSchedule, L"CleanInterval", o.CleanInterval);
  ini.WriteBool(kSchedule, L"StartClean", o.StartClean);
  ini.WriteBool(kSchedule, L"ShutdownClean", o.ShutdownClean);
}

// Numbered keys above the new count stay in the file; the load never reads them.
void SaveNodeSelected(IniFile& ini, TOptionsSetting& o, IOptionsHost& host) {
  o.SelectedCount = 0;
  for (const std::wstring& caption : host.TickedCleanCaptions()) {
    ini.WriteString(kNodeSelected, Num(o.SelectedCount + 1), caption);
    ++o.SelectedCount;
  }
  ini.WriteInteger(kNodeSelected, L"SelectedCount", o.SelectedCount);
}

void SaveSettings(IniFile& ini, TOptionsSetting& o, IOptionsHost& host) {
  for (int i = 1; i <= kExpandSlots; ++i) ini.WriteBool(kFirstNodeExpand, Num(i), o.FirstNodeExpand[i]);
  ini.WriteBool(kSettings, L"ShowLogTempInternetFiles", o.ShowLogTempInternetFiles);
  ini.WriteBool(kSettings, L"ShowLogRecycleBin", o.ShowLogRecycleBin);
  ini.WriteBool(kSettings, L"FastScan", o.FastScan);
  ini.WriteString(kOptions, L"OutputDirectory", o.OutputDirectory);
  ini.WriteBool(kOptions, L"DeleteBackupFile", o.DeleteBackupFile);
  ini.WriteBool(kOptions, L"IncludeRemoveMedia", o.IncludeRemoveMedia);
  ini.WriteBool(kOptions, L"IncludeCDdrive", o.IncludeCDdrive);
  host.StoreRegistryTicks(o.TreeViewNodeCheck);
  for (int i = 1; i <= kRegistrySections; ++i) ini.WriteBool(kTreeViewNodeCheck, Num(i), o.TreeViewNodeCheck[i]);
}

// "Count" or the prefix followed by digits only.
bool IsListKey(const std::wstring& key, const std::wstring& prefix) {
  if (key == L"COUNT") return true;
  const std::wstring p = sys::UpperCase(prefix);
  return key.size() > p.size() && key.compare(0, p.size(), p) == 0 &&
         key.find_first_not_of(L"0123456789", p.size()) == std::wstring::npos;
}

// Written from the list itself, so a stale count field can neither drop
// entries nor index past the end. The section goes in one write (key by key,
// ten thousand entries took minutes), its lines handed over one at a time so
// the list is never held again as lines; numbered keys of a longer earlier
// list go with it, keys of anyone else stay.
void SaveList(IniFile& ini, const wchar_t* section, const wchar_t* prefix, int& count,
              const std::vector<std::wstring>* list) {
  if (list == nullptr) return;
  count = static_cast<int>(list->size());
  ini.WriteSection(section, [&](const sys::IniText::LineSink& put) {
    put(L"Count=" + Num(count));
    for (int i = 1; i <= count; ++i) put(prefix + Num(i) + L"=" + (*list)[i - 1]);
    ini.VisitSection(section, [&](const std::wstring& key, const std::wstring* value) {
      if (!IsListKey(sys::UpperCase(key), prefix)) put(value != nullptr ? key + L"=" + *value : key);
    });
  });
}

void SaveWindow(IniFile& ini, IOptionsHost& host) {
  UINT showCmd = 0;
  if (host.WindowShowCommand(&showCmd)) ini.WriteInteger(kWindow, L"State", static_cast<long>(showCmd));
  const RECT r = host.WindowBounds();
  ini.WriteInteger(kWindow, L"Left", r.left);
  ini.WriteInteger(kWindow, L"Top", r.top);
  ini.WriteInteger(kWindow, L"Width", r.right - r.left);
  ini.WriteInteger(kWindow, L"Height", r.bottom - r.top);
}

void Save(IniFile& ini, TOptionsSetting& o, IOptionsHost& host) {
  SaveGeneral(ini, o);
  SaveNodeSelected(ini, o, host);
  SaveSettings(ini, o, host);
  SaveList(ini, L"IgnoreValue", L"Value", o.IgnoreValueCount, o.IgnoreValueList);
  SaveList(ini, L"IgnoreKey", L"Key", o.IgnoreKeyCount, o.IgnoreKeyList);
  SaveWindow(ini, host);
  ini.WriteBool(kOptions, L"RestorePoint", o.RestorePoint);
}

}  // namespace

std::wstring OptionsFilePath(const OptionsPaths& paths) {
  std::wstring folder = paths.ProgramFolder;
  // An unknown application-data folder must not turn into "\Vantorel\" at the drive root.
  const std::wstring own = paths.AppDataFolder.empty() ? std::wstring() : JoinPath(paths.AppDataFolder, L"Vantorel");
  if (!own.empty() && ForceFolder(own)) folder = own;
  std::wstring file = JoinPath(folder, L"options.ini");
  std::wstring mirror = MirrorPath(paths);
  // A refused seed is no worse than none: the save that follows says why.
  if (!FileExists(file) && FileExists(mirror)) CopyRefused(mirror, file);
  return file;
}

bool LoadSaveOptions(bool IsLoad, IOptionsHost& host, const OptionsPaths& paths) {
  IniFile ini = guard::SettingsIni(OptionsFilePath(paths));
  if (IsLoad) {
    Load(ini, OptionsSetting, host, paths);
    return ini.ReadResult() == guard::FileOutcome::Done || ini.ReadResult() == guard::FileOutcome::Missing;
  }
  Save(ini, OptionsSetting, host);
  ini.Flush();
  const std::wstring mirror = MirrorPath(paths);
  if (FileExists(ini.Path()) && FileExists(mirror) && !SameFile(ini.Path(), mirror) && CopyRefused(ini.Path(), mirror))
    throw sys::IniWriteError(mirror, guard::FileOutcome::Refused, ERROR_SUCCESS);
  return true;
}

bool LoadSaveOptions(bool IsLoad, IOptionsHost& host) { return LoadSaveOptions(IsLoad, host, DefaultOptionsPaths()); }

OptionsPaths DefaultOptionsPaths() {
  OptionsPaths p;
  wchar_t buf[MAX_PATH] = {};
  if (::SHGetSpecialFolderPathW(nullptr, buf, CSIDL_APPDATA, FALSE)) p.AppDataFolder = WithTrailingBackslash(buf);
  p.ProgramFolder = GetProgramFolder();
  p.Screen = {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  p.IsOnSomeMonitor = [](const RECT& r) { return ::MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr; };
  return p;
}

}  // namespace core
