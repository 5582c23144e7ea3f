#include "registry/restore/RestoreCheck.h"

#include <windows.h>

#include "registry/fix/RegExport.h"
#include "registry/fix/RegFileFormat.h"
#include "sys/Text.h"

namespace registry {
namespace {

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

// The registry's value as the file would hold its data now: as the backup
// writer writes it, but in UTF-16 for a UTF-16 file, which holds text of any
// characters: plain text quoted, and the hex forms of the text types as their
// raw (UTF-16) bytes, not as ANSI ones.
bool CurrentValueData(HKEY root, const std::wstring& path, const std::wstring& name, bool unicodeFile, bool rawHex,
                      std::wstring* data) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = 0;
  LONG rc = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
  std::vector<BYTE> bytes(size + 2);
  if (rc == ERROR_SUCCESS) rc = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &size);
  ::RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return false;
  if (rawHex) {
    *data = sys::FromAnsi(FormatRegHexData(type, bytes.data(), size));
    return true;
  }
  if (unicodeFile && type == REG_SZ && FormatRegQuotedText(bytes.data(), size, data)) return true;
  std::string line;
  std::wstring why;
  // The name plays no part in how the data is written.
  if (!FormatRegValueLine(L"", type, bytes.data(), size, &line, &why)) return false;
  // Read back through the same reader as the file, continuations and all.
  TRegFile written = ParseRegText(sys::FromAnsi(line));
  if (written.Entries.size() != 1) return false;
  *data = written.Entries[0].Data;
  return true;
}

bool ValueIsBack(const TRegEntry& e, bool unicodeFile) {
  HKEY root = nullptr;
  std::wstring path, now;
  const std::wstring want = CanonicalRegData(e.Data);
  const bool rawHex = unicodeFile && want.compare(0, 4, L"HEX(") == 0;
  return !e.Deletes && SplitRegKeyPath(e.Key, &root, &path) &&
         CurrentValueData(root, path, e.Name, unicodeFile, rawHex, &now) &&
         CanonicalRegData(now) == want;
}

bool KeyIsBack(const TRegEntry& e) {
  HKEY root = nullptr;
  std::wstring path;
  return !e.Deletes && SplitRegKeyPath(e.Key, &root, &path) && KeyExists(root, path);
}

}  // namespace

TRestoreCheck CheckRegEntriesRestored(const TRegFile& file) {
  TRestoreCheck r;
  r.Readable = file.Readable();
  if (!r.Readable) return r;
  bool inSection = false;
  for (const TRegEntry& e : file.Entries) {
    if (e.IsKey) {
      bool spoiled = !e.Key.empty() && e.Key[0] == kSpoiledRootChar;
      inSection = !spoiled;
      if (spoiled) ++r.Spoiled;
    }
    if (!inSection) continue;
    ++r.Entries;
    if (e.IsKey ? !KeyIsBack(e) : !ValueIsBack(e, file.Encoding == TRegEncoding::Utf16))
      r.Missing.push_back(e.IsKey ? e.Key : e.Key + L"\\" + (e.Name.empty() ? std::wstring(L"@") : e.Name));
  }
  return r;
}

TRestoreCheck CheckRegTextRestored(const std::string& text) { return CheckRegEntriesRestored(ParseRegBytes(text)); }

int RegTextDeletingLine(const std::string& text) { return ParseRegBytes(text).FirstDeletingLine(); }

bool RegTextDeletes(const std::string& text) { return RegTextDeletingLine(text) != 0; }

TRestoreCheck CheckRegFileRestored(const std::wstring& file) {
  TRegFile text;
  if (ReadRegFile(file, &text) != TRegRead::Read) return {};
  return CheckRegEntriesRestored(text);
}

}  // namespace registry
