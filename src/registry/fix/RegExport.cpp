#include "registry/fix/RegExport.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <mutex>
#include <vector>

#include "core/guard/FileCreate.h"
#include "core/guard/RegistryEntry.h"
#include "registry/RegKey.h"
#include "registry/FixErrors.h"
#include "registry/fix/RegFileFormat.h"

namespace registry {
namespace {

TExportResult Fail(TExportStatus status, std::wstring reason) { return {status, std::move(reason)}; }

TExportResult FromOpenError(LONG rc, const std::wstring& what) {
  if (rc == ERROR_FILE_NOT_FOUND) return Fail(esMissing, what + L" does not exist.");
  return Fail(esNotWritable, what + L" cannot be read: " + SystemErrorText(rc));
}

std::wstring TrimOneBackslash(const std::wstring& key) {
  return !key.empty() && key.back() == L'\\' ? key.substr(0, key.size() - 1) : key;
}

// Every value of an open key, formatted, in the registry's order. The count
// is checked against the key's own so that no value goes missing unseen.
TExportResult FormatAllValues(HKEY key, std::string* text) {
  DWORD count = 0, maxName = 0, maxData = 0;
  LONG rc = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxName, &maxData,
                               nullptr, nullptr);
  if (rc != ERROR_SUCCESS) return Fail(esNotWritable, L"The key cannot be read: " + SystemErrorText(rc));
  std::vector<wchar_t> name(maxName + 2);
  std::vector<BYTE> data(maxData + 2);
  DWORD index = 0;
  for (int retries = 0;;) {
    DWORD nameLen = static_cast<DWORD>(name.size());
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = REG_NONE;
    rc = ::RegEnumValueW(key, index, name.data(), &nameLen, nullptr, &type, data.data(), &size);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_MORE_DATA && ++retries < 8) {  // it grew meanwhile: ask again with room
      name.resize(name.size() * 2 + 256);
      data.resize(data.size() * 2 + size);
      continue;
    }
    if (rc != ERROR_SUCCESS) return Fail(esNotWritable, L"A value cannot be read: " + SystemErrorText(rc));
    retries = 0;
    std::string line;
    std::wstring why;
    std::wstring valueName(name.data(), nameLen);
    if (!FormatRegValueLine(valueName, type, data.data(), size, &line, &why))
      return Fail(esNotWritable, L"Value \"" + valueName + L"\": " + why);
    *text += line;
    ++index;
  }
  if (index != count) return Fail(esNotWritable, L"The key changed while it was read.");
  return {esWritten, {}};
}

// The held key and every key held below it, depth first, in the order the
// registry listed them.
TExportResult FormatHeldKey(const core::guard::HeldKey& key, const std::wstring& rootName, const std::wstring& path,
                            std::string* text) {
  std::string header;
  std::wstring why;
  if (!FormatRegKeyHeader(rootName, path, &header, &why)) return Fail(esNotWritable, L"Key " + path + L": " + why);
  *text += header;
  TExportResult r = FormatAllValues(key.Handle(), text);
  for (size_t i = 0; r.Status == esWritten && i < key.SubKeys().size(); ++i) {
    const core::guard::HeldKey& sub = key.SubKeys()[i];
    r = FormatHeldKey(sub, rootName, path + L"\\" + sub.Name(), text);
  }
  return r;
}

LONG ReadValue(HKEY key, const std::wstring& name, DWORD* type, std::vector<BYTE>* data) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD size = 0;
    LONG rc = ::RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    data->resize(size + 2);
    size = static_cast<DWORD>(data->size());
    rc = ::RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size);
    if (rc == ERROR_SUCCESS) {
      data->resize(size);
      return rc;
    }
    if (rc != ERROR_MORE_DATA) return rc;
  }
  return ERROR_MORE_DATA;
}

TExportResult FormatHeldValue(HKEY key, const std::wstring& rootName, const std::wstring& path,
                              const std::wstring& valueName, std::string* text) {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  LONG rc = ReadValue(key, valueName, &type, &data);
  if (rc != ERROR_SUCCESS) return FromOpenError(rc, L"The value \"" + valueName + L"\"");
  std::string header, line;
  std::wstring why;
  if (!FormatRegKeyHeader(rootName, path, &header, &why)) return Fail(esNotWritable, L"Key " + path + L": " + why);
  if (!FormatRegValueLine(valueName, type, data.data(), data.size(), &line, &why))
    return Fail(esNotWritable, L"Value \"" + valueName + L"\": " + why);
  *text += header + line;
  return {esWritten, {}};
}

// Why an entry that is not open cannot be read for a backup.
TExportResult FromEntry(const core::guard::KeyEntry& entry, const std::wstring& keyName) {
  using core::guard::EntryState;
  switch (entry.State()) {
    case EntryState::Missing: return Fail(esMissing, L"The key " + keyName + L" does not exist.");
    case EntryState::Link:
      return Fail(esNotWritable, L"The key path " + keyName + L" passes a registry link, which is not followed.");
    case EntryState::Volatile:
      return Fail(esNotWritable, L"The key " + keyName +
                                     L" is volatile (it lasts only until Windows restarts), which a backup file "
                                     L"cannot restore.");
    case EntryState::LinkBelow:
      return Fail(esNotWritable, L"The key " + keyName + L"\\" + entry.LinkPath() +
                                     L" is a registry link, which a backup file cannot restore.");
    default:
      return Fail(esNotWritable, L"The key " + keyName + L" cannot be read: " + SystemErrorText(entry.Error()));
  }
}

}  // namespace

TExportResult FormatHeldEntry(const core::guard::KeyEntry& entry, HKEY RootKey, const std::wstring& Key,
                              const std::wstring& ValueName, bool WholeKey, std::string* text) {
  const std::wstring rootName = RootName(RootKey);
  if (rootName.empty()) return Fail(esNotWritable, L"The registry root is not one of the five known roots.");
  const std::wstring path = TrimOneBackslash(Key);
  text->clear();
  if (!entry.IsOpen()) return FromEntry(entry, rootName + L"\\" + path);
  TExportResult r = WholeKey ? FormatHeldKey(entry.Key(), rootName, path, text)
                             : FormatHeldValue(entry.Key().Handle(), rootName, path, ValueName, text);
  if (r.Status != esWritten) text->clear();
  return r;
}

TExportResult FormatRegEntry(HKEY RootKey, const std::wstring& Key, const std::wstring& ValueName, bool WholeKey,
                             std::string* text) {
  const core::guard::KeyEntry entry(RootKey, TrimOneBackslash(Key),
                                    WholeKey ? core::guard::EntryScope::Tree : core::guard::EntryScope::Values,
                                    core::guard::kEntryRead);
  return FormatHeldEntry(entry, RootKey, Key, ValueName, WholeKey, text);
}

TExportResult ExportRegEntry(const std::wstring& FileName, HKEY RootKey, const std::wstring& Key,
                             const std::wstring& ValueName, bool WholeKey) {
  std::string text;
  TExportResult r = FormatRegEntry(RootKey, Key, ValueName, WholeKey, &text);
  if (r.Status != esWritten) return r;
  std::wstring why;
  if (!AppendToRegFile(FileName, text, &why)) return Fail(esFileError, why);
  return r;
}

}  // namespace registry

namespace registry {
namespace {

class TFileHandle {
 public:
  explicit TFileHandle(HANDLE h) : h_(h) {}
  ~TFileHandle() {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
  }
  HANDLE Get() const { return h_; }
  bool Close() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return ::CloseHandle(h) != FALSE;
  }

 private:
  HANDLE h_;
};

bool WriteAll(HANDLE file, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

std::wstring BackupCreateFailure(const core::guard::CreatedFile& f) {
  if (f.Result == core::guard::CreateResult::Link)
    return L"the name leads elsewhere (a link, or a file with other names); nothing is written through it.";
  return SystemErrorText(f.Error);
}

bool Seek(HANDLE file, LONGLONG at) {
  LARGE_INTEGER pos;
  pos.QuadPart = at;
  return ::SetFilePointerEx(file, pos, nullptr, FILE_BEGIN) != FALSE;
}

// Writes `text` at the end of the open file (after the file's header when it
// is empty), spoiled first and made whole second; cut back on failure.
bool AppendEntry(HANDLE file, const std::wstring& FileName, const std::string& text, std::wstring* why) {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size) || !Seek(file, size.QuadPart)) {
    *why = L"The backup file " + FileName + L" cannot be read: " + SystemErrorText(::GetLastError());
    return false;
  }
  std::string all = size.QuadPart == 0 ? kRegFileHeader + text : text;
  const std::vector<std::pair<size_t, char>> spoiled = SpoilRegHeaders(&all);
  bool ok = WriteAll(file, all) && ::FlushFileBuffers(file);
  for (size_t i = 0; ok && i < spoiled.size(); ++i)
    ok = Seek(file, size.QuadPart + static_cast<LONGLONG>(spoiled[i].first)) &&
         WriteAll(file, std::string(1, spoiled[i].second));
  ok = ok && ::FlushFileBuffers(file);
  if (!ok) {
    DWORD error = ::GetLastError();
    // Cut the entry off again so that the file stays importable.
    if (Seek(file, size.QuadPart)) ::SetEndOfFile(file);
    *why = L"The backup file " + FileName + L" cannot be written: " + SystemErrorText(error);
    return false;
  }
  return true;
}

std::mutex& OpenRunsLock() {
  static std::mutex lock;
  return lock;
}

std::map<std::wstring, TRegBackupFile*>& OpenRuns() {
  static std::map<std::wstring, TRegBackupFile*> runs;
  return runs;
}

std::wstring NameKey(const std::wstring& name) {
  std::wstring key = name;
  for (wchar_t& c : key) c = static_cast<wchar_t>(std::towupper(c));
  return key;
}

std::wstring NumberedName(const std::wstring& wanted, int n) {
  if (n <= 1) return wanted;
  size_t dot = wanted.find_last_of(L'.');
  size_t slash = wanted.find_last_of(L'\\');
  bool hasExt = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
  std::wstring stem = hasExt ? wanted.substr(0, dot) : wanted;
  std::wstring ext = hasExt ? wanted.substr(dot) : L"";
  return stem + L"_" + std::to_wstring(n) + ext;
}

}  // namespace

std::vector<std::pair<size_t, char>> SpoilRegHeaders(std::string* text) {
  std::vector<std::pair<size_t, char>> spoiled;
  std::string& t = *text;
  for (size_t at = 0; at < t.size(); ++at) {
    bool lineStart = at == 0 || t[at - 1] == '\n';
    if (!lineStart || t[at] != '[' || at + 1 >= t.size() || t[at + 1] == '\r') continue;
    spoiled.emplace_back(at + 1, t[at + 1]);
    t[at + 1] = kSpoiledRootChar;
  }
  return spoiled;
}

TRegBackupFile::TRegBackupFile(std::wstring wanted) : wanted_(std::move(wanted)) {
  std::lock_guard<std::mutex> guard(OpenRunsLock());
  OpenRuns()[NameKey(wanted_)] = this;
}

TRegBackupFile::~TRegBackupFile() {
  {
    std::lock_guard<std::mutex> guard(OpenRunsLock());
    auto it = OpenRuns().find(NameKey(wanted_));
    if (it != OpenRuns().end() && it->second == this) OpenRuns().erase(it);
  }
  if (file_ != INVALID_HANDLE_VALUE) ::CloseHandle(file_);
}

// Runs started in one second are few; past this many the folder is at fault.
constexpr int kMaxBackupNames = 99;

bool TRegBackupFile::Create(std::wstring* why) {
  for (int n = 1; n <= kMaxBackupNames; ++n) {
    std::wstring name = NumberedName(wanted_, n);
    // No write sharing: a second run cannot open this file and takes the next name.
    core::guard::CreatedFile f =
        core::guard::CreateNewFile(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
    if (f.Ok()) {
      file_ = f.Handle;
      name_ = name;
      return true;
    }
    // A name someone else holds, a link planted under it included, is passed over.
    bool taken = f.Result == core::guard::CreateResult::Taken || f.Error == ERROR_SHARING_VIOLATION ||
                 (f.Error == ERROR_ACCESS_DENIED && ::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (!taken) {
      *why = L"The backup file " + name + L" cannot be created: " + BackupCreateFailure(f);
      return false;
    }
  }
  *why = L"No free backup file name is left beside " + wanted_ + L".";
  return false;
}

bool TRegBackupFile::Append(const std::string& text, std::wstring* why) {
  if (file_ == INVALID_HANDLE_VALUE && !Create(why)) return false;
  if (!AppendEntry(file_, name_, text, why)) return false;
  ++entries_;
  return true;
}

bool AppendToRegFile(const std::wstring& FileName, const std::string& text, std::wstring* why) {
  {
    std::lock_guard<std::mutex> guard(OpenRunsLock());
    auto it = OpenRuns().find(NameKey(FileName));
    if (it != OpenRuns().end()) return it->second->Append(text, why);
  }
  core::guard::CreatedFile opened = core::guard::OpenUserFile(FileName, core::guard::UserFileMode::Keep,
                                                              GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
  TFileHandle file(opened.Handle);
  if (!opened.Ok()) {
    *why = L"The backup file " + FileName + L" cannot be opened: " + BackupCreateFailure(opened);
    return false;
  }
  if (!AppendEntry(file.Get(), FileName, text, why)) return false;
  if (!file.Close()) {
    *why = L"The backup file " + FileName + L" cannot be closed: " + SystemErrorText(::GetLastError());
    return false;
  }
  return true;
}

}  // namespace registry
