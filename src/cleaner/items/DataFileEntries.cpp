#include "cleaner/items/DataFileEntries.h"

#include <windows.h>

#include "cleaner/Masks.h"
#include "cleaner/PathGuard.h"
#include "cleaner/SystemPaths.h"
#include "core/RegistryRead.h"

namespace cleaner {
namespace {

const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::wstring Trim(const std::wstring& s) {
  size_t first = s.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::wstring();
  size_t last = s.find_last_not_of(L" \t");
  return s.substr(first, last - first + 1);
}

bool IsNumberedKey(const std::wstring& upperKey, const wchar_t* name) {
  std::wstring prefix = name;
  if (upperKey.compare(0, prefix.size(), prefix) != 0) return false;
  return upperKey.find_first_not_of(L"0123456789", prefix.size()) == std::wstring::npos;
}

std::wstring WithSlash(std::wstring path) {
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path;
}

// The folder a token stands for; `isToken` false when the base is no token.
std::wstring TokenFolder(const std::wstring& base, const FolderTokens& tokens, bool* isToken) {
  const struct {
    const wchar_t* token;
    const std::wstring* folder;
  } table[] = {
      {L"%ProgramFiles%", &tokens.programFiles},     {L"%windir%", &tokens.windows},
      {L"{Local AppData}", &tokens.localAppData},   {L"{Current AppData}", &tokens.currentAppData},
      {L"{Common AppData}", &tokens.commonAppData},
  };
  *isToken = true;
  // Tokens are compared exactly, letter case included.
  for (const auto& row : table) {
    if (base == row.token) return *row.folder;
  }
  if (base == L"{C: Drive}") return L"C:\\";
  *isToken = false;
  return base;
}

}  // namespace

DataLine ClassifyDataLine(const std::wstring& line) {
  DataLine result;
  size_t eq = line.find(L'=');
  if (eq == std::wstring::npos) return result;
  std::wstring key = UpperName(Trim(line.substr(0, eq)));
  if (IsNumberedKey(key, L"DELREGVALUE")) result.kind = EntryKind::Registry;
  else if (IsNumberedKey(key, L"DELFILE")) result.kind = EntryKind::File;
  else return result;
  result.value = Trim(line.substr(eq + 1));
  return result;
}

bool ParseRegistryEntry(const std::wstring& value, RegistryEntry* entry) {
  size_t slash = value.find(L'\\');
  if (slash == std::wstring::npos) return false;
  entry->root = value.substr(0, slash);
  std::wstring rest = value.substr(slash + 1);
  size_t comma = rest.find(L',');
  entry->valuesOnly = comma != std::wstring::npos;
  entry->key = entry->valuesOnly ? rest.substr(0, comma) : rest;
  entry->valueName = entry->valuesOnly ? rest.substr(comma + 1) : std::wstring();
  return true;
}

FolderTokens ReadFolderTokens() {
  FolderTokens tokens;
  tokens.programFiles = GetProgramFilesDir();
  wchar_t buf[MAX_PATH + 1] = {};
  UINT n = ::GetWindowsDirectoryW(buf, MAX_PATH);
  if (n > 0 && n < MAX_PATH) tokens.windows.assign(buf, n);
  tokens.localAppData = core::ReadRegString(HKEY_CURRENT_USER, kShellFolders, L"Local AppData");
  tokens.currentAppData = core::ReadRegString(HKEY_CURRENT_USER, kShellFolders, L"AppData");
  tokens.commonAppData = core::ReadRegString(HKEY_LOCAL_MACHINE, kShellFolders, L"Common AppData");
  return tokens;
}

bool ResolveFileEntry(const std::wstring& value, const FolderTokens& tokens, FileEntry* entry) {
  std::wstring text = value;
  if (text.find(L'\\') == std::wstring::npos) text += L'\\';
  size_t slash = text.find(L'\\');
  bool isToken = false;
  std::wstring base = TokenFolder(text.substr(0, slash), tokens, &isToken);
  // A token whose folder is unknown would leave a path relative to the current drive.
  if (isToken && base.empty()) return false;
  std::wstring rest = text.substr(slash + 1);
  size_t comma = rest.find(L',');
  if (comma == std::wstring::npos) {
    entry->form = FileEntryForm::Folder;
    entry->folder = WithSlash(base) + rest;
    entry->mask.clear();
  } else {
    entry->folder = WithSlash(base) + rest.substr(0, comma);
    entry->mask = rest.substr(comma + 1);
    entry->form = entry->mask == L"*.*" ? FileEntryForm::FolderContents : FileEntryForm::Mask;
  }
  return PathGuard::HasAcceptedForm(entry->folder);
}

}  // namespace cleaner
