#include "cleaner/items/DataFiles.h"

#include <map>

#include "cleaner/ItemRoutines.h"
#include "cleaner/Masks.h"
#include "cleaner/ProgressThread.h"
#include "cleaner/items/DataFileEntries.h"
#include "core/SystemInfo.h"
#include "core/guard/RegistryGuard.h"
#include "core/guard/SettingsFile.h"
#include "core/guard/SystemPlaces.h"
#include "sys/IniFile.h"
#include "sys/Text.h"

namespace cleaner {

const wchar_t kKavoFileName[] = L"kavo.dat";
const wchar_t kCustomFileName[] = L"Custom.dat";
const wchar_t kCookiesFileName[] = L"Cookies.dat";
const wchar_t kAdministratorMessage[] = L"You must have administrators user.";

namespace {

const wchar_t kCookiesSection[] = L"Cookies to Keep";

// Machine-wide values need administrator rights on the NT family; the
// user hears of it once per item, and never in an unattended clean.
class AdministratorGate {
 public:
  AdministratorGate(TClearTaskThread& t, const ItemServices& s) : t_(t), s_(s) {}
  bool Allowed() {
    if (!decided_) {
      BYTE version = core::GetWindowsVersion();
      bool family9x = (version >= 1 && version <= 4) || version == 8;
      allowed_ = family9x || s_.account->IsAdministrator();
      decided_ = true;
    }
    if (!allowed_ && !warned_) {
      warned_ = true;
      if (t_.Mode() != CleanMode::AutoClean) t_.TellUser(kAdministratorMessage);
    }
    return allowed_;
  }

 private:
  TClearTaskThread& t_;
  const ItemServices& s_;
  bool decided_ = false;
  bool allowed_ = false;
  bool warned_ = false;
};

// A data file may not touch the system's own places; a refused line is
// logged with its reason, counted as refused (an unattended run reports it
// in its exit code), and the run goes on.
void LogRefusedEntry(TClearTaskThread& t, const std::wstring& value, const std::wstring& reason) {
  ++t.FItemRefused;
  t.AddLog(t.Prefix() + L"skipping protected entry " + value + L" (" + reason + L")");
}

int RunRegistryEntry(TClearTaskThread& t, const std::wstring& value, AdministratorGate& gate) {
  RegistryEntry entry;
  if (!ParseRegistryEntry(value, &entry)) return 0;
  std::wstring root = UpperName(entry.root);
  HKEY rootKey = core::guard::RootKeyFromName(root);
  std::wstring refusal = rootKey == nullptr ? std::wstring()
                                            : core::guard::DataFileKeyRefusal(rootKey, core::guard::NormalKeyPath(entry.key));
  if (!refusal.empty()) {
    LogRefusedEntry(t, value, refusal);
    return 0;
  }
  // Whole keys are attempted whatever the rights; a refusal fails quietly.
  if (!entry.valuesOnly) return t.DeleteRegKeyByName(root, entry.key);
  if (root == L"HKEY_LOCAL_MACHINE" && !gate.Allowed()) return 0;
  return t.DeleteRegValuesByName(root, entry.key, entry.valueName);
}


bool Storable(const std::wstring& text) {
  bool lossless = false;
  sys::ToAnsi(text, &lossless);
  return lossless && text.find_first_of(L"\r\n") == std::wstring::npos;
}

bool CheckStorable(const std::vector<std::wstring>& rows, std::vector<std::wstring>* refused) {
  refused->clear();
  for (const auto& row : rows) {
    if (!Storable(row)) refused->push_back(row);
  }
  return refused->empty();
}

bool HasSection(const sys::IniFile& ini, const std::wstring& section) {
  for (const auto& name : ini.SectionNames()) {
    if (SameName(name, section)) return true;
  }
  return false;
}

std::wstring Trim(const std::wstring& s) {
  size_t first = s.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::wstring();
  return s.substr(first, s.find_last_not_of(L" \t") - first + 1);
}

// "key=value" lines split at the first "=", both sides trimmed of blanks:
// the same text the cleaner runs.
std::vector<std::pair<std::wstring, std::wstring>> SectionPairs(const sys::IniFile& ini, const std::wstring& section) {
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  for (const auto& line : ini.SectionLines(section)) {
    size_t eq = line.find(L'=');
    if (eq != std::wstring::npos) pairs.emplace_back(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
  }
  return pairs;
}

}  // namespace

bool NoteUnreadDataFile(TClearTaskThread& t, const std::wstring& path, sys::IniStore::Result read,
                        const std::wstring& left) {
  if (read != sys::IniStore::Result::Refused && read != sys::IniStore::Result::Failed) return false;
  // The line below cannot tell a link from an unreadable file, so neither
  // does the count: either way the item is left undone. A test removes
  // nothing, so nothing failed to go.
  if (!t.IsTest()) ++t.FItemFailed;
  t.AddLog(L"Not read: " + path + L" (a link, a file with more than one name, or unreadable)" + left);
  return true;
}

int64_t RunFileEntry(TClearTaskThread& t, const std::wstring& value, const FolderTokens& tokens) {
  FileEntry entry;
  if (!ResolveFileEntry(value, tokens, &entry)) return 0;
  DataFileJudgement judged = t.Guard().JudgeDataFileEntry(entry.folder, entry.mask);
  if (!judged.allowed) {
    LogRefusedEntry(t, value, judged.reason);
    return 0;
  }
  // Judged again on the folder as pinned: a name that changes after the
  // judgement above leads the delete nowhere else.
  switch (entry.form) {
    case FileEntryForm::Folder:
      return t.DeleteDataFileEntry(entry.folder, std::wstring(), !judged.keepFolder, t.FItemCount);
    case FileEntryForm::FolderContents:
      return t.DeleteDataFileEntry(entry.folder, std::wstring(), false, t.FItemCount);
    case FileEntryForm::Mask:
      return t.DeleteDataFileEntry(entry.folder, entry.mask, false, t.FItemCount);
  }
  return 0;
}

void ClearDataFileItem(TClearTaskThread& t, const ItemServices& s, const std::wstring& fileName,
                       const std::wstring& section) {
  if (s.dataFolder.empty()) return;
  sys::IniFile ini = core::guard::SettingsIni(s.dataFolder + fileName);
  std::vector<std::wstring> lines = ini.SectionLines(section);
  if (NoteUnreadDataFile(t, ini.Path(), ini.ReadResult(), L"")) return;
  if (lines.empty()) return;
  FolderTokens tokens = ReadFolderTokens();
  AdministratorGate gate(t, s);
  int64_t bytes = 0;
  for (const std::wstring& line : lines) {
    DataLine entry = ClassifyDataLine(line);
    if (entry.kind == EntryKind::Registry) t.FItemCount += RunRegistryEntry(t, entry.value, gate);
    else if (entry.kind == EntryKind::File) bytes += RunFileEntry(t, entry.value, tokens);
  }
  t.FItemBytes = bytes;
  t.FItemSizeText = TClearTaskThread::FormatKB(bytes);
}

std::vector<std::wstring> ReadKavoSections(const std::wstring& path) { return core::guard::SettingsIni(path).SectionNames(); }

std::vector<std::wstring> ReadCustomList(const std::wstring& path) {
  std::vector<std::wstring> rows;
  for (const auto& pair : SectionPairs(core::guard::SettingsIni(path), kCustomListSection)) rows.push_back(pair.second);
  return rows;
}

bool WriteCustomList(const std::wstring& path, const std::vector<std::wstring>& rows,
                     std::vector<std::wstring>* refused) {
  if (!CheckStorable(rows, refused)) return false;
  sys::IniFile ini = core::guard::SettingsIni(path);
  if (HasSection(ini, kCustomListSection)) ini.EraseSection(kCustomListSection);
  int registryRows = 0;
  int fileRows = 0;
  for (const auto& row : rows) {
    bool registry = UpperName(row).compare(0, 5, L"HKEY_") == 0;
    std::wstring key = registry ? L"DelRegValue" + std::to_wstring(++registryRows)
                                : L"DelFile" + std::to_wstring(++fileRows);
    ini.WriteString(kCustomListSection, key, row);
  }
  ini.Flush();
  return true;
}

std::vector<std::wstring> ReadCookiesToKeep(const std::wstring& path) {
  sys::IniFile ini = core::guard::SettingsIni(path);
  long count = ini.ReadInteger(kCookiesSection, L"Count", 0);
  // Entries by number; only the keys below Count are read, whatever else the
  // section holds, and a huge Count costs nothing.
  std::map<long, std::wstring> byNumber;
  for (const auto& pair : SectionPairs(ini, kCookiesSection)) {
    const std::wstring& key = pair.first;
    bool decimal = !key.empty() && key.find_first_not_of(L"0123456789") == std::wstring::npos &&
                   (key == L"0" || key[0] != L'0') && key.size() <= 9;
    if (!decimal) continue;
    long number = std::stol(key);
    if (number < count && !pair.second.empty()) byNumber.emplace(number, pair.second);
  }
  std::vector<std::wstring> entries;
  for (const auto& entry : byNumber) entries.push_back(entry.second);
  return entries;
}

bool WriteCookiesToKeep(const std::wstring& path, const std::vector<std::wstring>& entries,
                        std::vector<std::wstring>* refused) {
  if (!CheckStorable(entries, refused)) return false;
  sys::IniFile ini = core::guard::SettingsIni(path);
  ini.WriteInteger(kCookiesSection, L"Count", static_cast<long>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) ini.WriteString(kCookiesSection, std::to_wstring(i), entries[i]);
  ini.Flush();
  return true;
}

}  // namespace cleaner
