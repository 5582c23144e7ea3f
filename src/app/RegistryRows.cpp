#include "app/RegistryRows.h"

#include <algorithm>
#include <cwctype>

#include "core/Text.h"
#include "core/SystemInfo.h"
#include "sys/TextCompare.h"

namespace app {
namespace {

bool Contains(const std::wstring& hay, const std::wstring& needle) { return hay.find(needle) != std::wstring::npos; }

std::wstring WithSlash(const std::wstring& s) { return !s.empty() && s.back() == L'\\' ? s : s + L"\\"; }

// "?" beside a drive or an environment path: text that a lossy conversion
// produced, which no fix may act on.
bool HasMangledPath(const std::wstring& text, const wchar_t* afterPercent) {
  if (!Contains(text, L"?")) return false;
  if (Contains(text, L":\\")) return true;
  size_t pct = text.find(L'%');
  return pct != std::wstring::npos && Contains(text.substr(pct + 1), afterPercent);
}

}  // namespace

IgnorePair MakeIgnorePair(const registry::TProblemRow& row) {
  IgnorePair p;
  const std::wstring& k = row.RegistryKey;
  size_t slash = k.find(L'\\');
  std::wstring root = slash == std::wstring::npos ? k : k.substr(0, slash);
  std::wstring rest = slash == std::wstring::npos ? std::wstring() : k.substr(slash + 1);
  p.hasKey = true;
  switch (row.FixKind) {
    case registry::fkDeleteKey:
      p.key = root + L"\\" + rest;
      break;
    case registry::fkDeleteValue: {
      size_t last = rest.rfind(L'\\');
      p.key = root + L"\\" + (last == std::wstring::npos ? std::wstring() : rest.substr(0, last));
      p.hasValue = true;
      p.value = last == std::wstring::npos ? rest : rest.substr(last + 1);
      break;
    }
    case registry::fkDeleteNamedValue:
      p.key = root + L"\\" + rest;
      p.hasValue = true;
      p.value = row.Data;
      break;
    case registry::fkDeleteSubKey:
      p.key = rest.empty() ? root + L"\\" + row.Data : root + L"\\" + rest + L"\\" + row.Data;
      break;
    case registry::fkDeleteFile:
      p.hasKey = false;
      break;
    case registry::fkDeleteDefaultValue:
      p.key = root + L"\\" + rest;
      p.hasValue = true;
      p.value = L"@";
      break;
    case registry::fkDeleteUserAssistValue:
      p.key = root + L"\\" + rest;
      p.hasValue = true;
      p.value = core::Rot13(row.Data);
      break;
  }
  return p;
}

const std::vector<std::wstring>& BuiltInExcludedKeys() {
  static const std::vector<std::wstring> keys = {
      L"HKEY_CLASSES_ROOT\\.DAT",
      L"HKEY_CLASSES_ROOT\\.hta",
      L"HKEY_CLASSES_ROOT\\.htc",
      L"HKEY_CLASSES_ROOT\\.manifest",
      L"HKEY_CLASSES_ROOT\\Applications\\WINWORD.EXE\\TaskbarExceptionsIcons",
      L"HKEY_CLASSES_ROOT\\CLSID\\{08EE6878-C867-4D8C-A360-FED4B6501D54}",
      L"HKEY_CURRENT_USER\\Software\\Lexmark",
      L"HKEY_CURRENT_USER\\Software\\JavaSoft",
      L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug",
      L"HKEY_LOCAL_MACHINE\\SOFTWARE\\lexmark\\MarkVision\\LexBCE\\Debug Options",
      L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\WBEM\\WDM",
      L"HKEY_USERS\\S-1-5-20\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      L"HKEY_USERS\\S-1-5-19\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      L"HKEY_USERS\\S-1-5-20\\Software\\Microsoft\\MediaPlayer\\Setup\\CreatedLinks",
      L"HKEY_USERS\\S-1-5-21-6497018-2779423360-1663385191-1005\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug",
      L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\IMAPI\\StashInfo",
      L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\10.0\\Outlook\\Journal",
      L"HKEY_USERS\\S-1-5-21-6497018-2779423360-1663385191-1005\\Software\\Microsoft\\Office\\10.0\\Outlook\\Journal",
      L"HKEY_CURRENT_USER\\Software\\ThinPrint",
      L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\11.0\\Outlook\\Journal",
      L"HKEY_USERS\\S-1-5-21-6497018-2779423360-1663385191-1005\\Software\\Microsoft\\Office\\11.0\\Outlook\\Journal",
      L"HKEY_CURRENT_USER\\Software\\Ahead\\Nero - Burning Rom\\Database",
      L"HKEY_USERS\\S-1-5-21-6497018-2779423360-1663385191-1005\\Software\\Ahead\\Nero - Burning Rom\\Database",
      L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Citrix Program Neighborhood",
      L"HKEY_CURRENT_USER\\Software\\Funk Software, Inc.",
      L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug",
      L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      L"HKEY_USERS\\S-1-5-21-1229272821-854245398-1343024091-1003\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Media Center\\MRU",
      L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Hewlett-Packard\\DigitalImaging",
      L"HKEY_CLASSES_ROOT\\CLSID\\{DFEAF541-F3E1-4c24-ACAC-99C30715084A}",
      L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Speech\\Recognizers\\Tokens",
      L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup\\Sysprep\\Cleanup",
      L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\IME\\China\\imesc\\Directories",
      L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\TPG\\InputPersonalization\\AnalysisTokens\\4103\\IPS",
      L"HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{B977CB2D-EC6E-4A8F-BFFE-D18682BB0D52}\\InProcServer32",
      L"HKEY_CLASSES_ROOT\\CLSID\\{B977CB2D-EC6E-4A8F-BFFE-D18682BB0D52}\\InProcServer32",
      L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\IMEJP\\10.0\\directories",
      L"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\PowerShell\\1\\PowerShellEngine",
      L"HKEY_LOCAL_MACHINE\\Software\\ARM Software\\MacroMaker",
      L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.wdseml",
  };
  return keys;
}

std::vector<std::wstring> LaterWindowsExcludedKeys() {
  const auto& all = BuiltInExcludedKeys();
  return std::vector<std::wstring>(all.begin() + 31, all.end());
}

bool IsBuiltInExcluded(const registry::TProblemRow& row) {
  std::wstring k = sys::UpperCase(row.RegistryKey);
  std::wstring d = sys::UpperCase(row.Data);
  return Contains(k, sys::UpperCase(L"CLSID\\{DFEAF541-F3E1-4c24-ACAC-99C30715084A}")) ||
         Contains(k, sys::UpperCase(L"CLSID\\{DC6EFB56-9CFA-464D-8880-44885D7DC193}")) || Contains(k, L"%USERNAME%_") ||
         Contains(d, L"%USERNAME%_") || HasMangledPath(row.RegistryKey, L"%\\") || HasMangledPath(row.Data, L"%");
}

bool IsIgnored(const registry::TProblemRow& row, const std::vector<std::wstring>& ignoreValues,
               const std::vector<std::wstring>& keyList) {
  if (row.RegistryKey.find(L'\\') == std::wstring::npos) return false;
  IgnorePair pair = MakeIgnorePair(row);
  if (!pair.hasKey) return false;  // a shortcut file: no ignore list applies
  const std::wstring key = sys::UpperCase(pair.key);
  const std::wstring keyWithSlash = WithSlash(key);
  const std::wstring k = sys::UpperCase(row.RegistryKey);
  for (const std::wstring& raw : ignoreValues) {
    if (raw.empty()) continue;  // an empty entry matches nothing
    std::wstring e = sys::UpperCase(raw);
    if (pair.hasValue ? sys::UpperCase(pair.key + L"\\" + pair.value) == e : Contains(e, key)) return true;
  }
  for (const std::wstring& raw : keyList) {
    if (raw.empty()) continue;
    std::wstring e = WithSlash(sys::UpperCase(raw));
    bool match = pair.hasValue ? (Contains(keyWithSlash, e) || e == k || e == k + L"\\")
                               : (Contains(keyWithSlash, e) || Contains(e, keyWithSlash));
    if (match) return true;
  }
  return false;
}

std::vector<size_t> FilterScanRows(const std::vector<registry::TProblemRow>& rows,
                                   const std::vector<std::wstring>& ignoreValues,
                                   const std::vector<std::wstring>& ignoreKeys, int windowsVersion) {
  std::vector<std::wstring> keyList = BuiltInExcludedKeys();
  keyList.insert(keyList.end(), ignoreKeys.begin(), ignoreKeys.end());
  if (core::IsVistaOrLater(windowsVersion)) {
    std::vector<std::wstring> later = LaterWindowsExcludedKeys();
    keyList.insert(keyList.end(), later.begin(), later.end());
  }
  std::vector<size_t> keep;
  for (size_t i = 0; i < rows.size(); ++i)
    if (!IsBuiltInExcluded(rows[i]) && !IsIgnored(rows[i], ignoreValues, keyList)) keep.push_back(i);
  return keep;
}

std::wstring ErrorCountLine(int rows, int ticked) {
  return L" " + std::to_wstring(rows) + L" Errors Found, " + L" " + std::to_wstring(ticked) + L" Errors Selected.";
}

int ScanBarFloor(int sectionsDone, int sectionsTotal) {
  if (sectionsTotal <= 0 || sectionsDone <= 0) return 0;
  if (sectionsDone >= sectionsTotal) return 1000;
  return static_cast<int>(static_cast<long long>(sectionsDone) * 1000 / sectionsTotal);
}

int NextScanBarPosition(int position, int step, int sectionsDone, int sectionsTotal) {
  int next = position + step;
  if (next > 1000) next = 0;
  return std::max(next, ScanBarFloor(sectionsDone, sectionsTotal));
}

int ScanStepFor(const std::vector<std::wstring>& sectionIds) {
  static const int kSteps[] = {10, 5, 4, 3, 2, 1};
  int slow = 0;
  for (const std::wstring& text : sectionIds) {
    int id = 0;
    try {
      size_t used = 0;
      id = std::stoi(text, &used);
      if (used != text.size()) id = 0;
    } catch (...) {
      id = 0;
    }
    if ((id >= 3 && id <= 6) || id == 25) ++slow;
  }
  return kSteps[std::min(slow, 5)];
}

std::wstring ExportLine(const registry::TProblemRow& row) {
  return row.Problem + L"  ^^^  " + row.Data + L"  ^^^  " + row.RegistryKey;
}

std::wstring RegeditPathForRow(const registry::TProblemRow& row) {
  const std::wstring& k = row.RegistryKey;
  switch (row.FixKind) {
    case registry::fkDeleteValue: {
      size_t last = k.rfind(L'\\');
      return last == std::wstring::npos ? std::wstring() : k.substr(0, last);
    }
    case registry::fkDeleteSubKey:
      return k + L"\\" + row.Data;
    case registry::fkDeleteFile:
      return L"";
    default:
      return k;
  }
}

std::wstring FullRootName(const std::wstring& root) {
  static const struct {
    const wchar_t* shortName;
    const wchar_t* full;
  } kRoots[] = {{L"HKLM", L"HKEY_LOCAL_MACHINE"},
                {L"HKCU", L"HKEY_CURRENT_USER"},
                {L"HKU", L"HKEY_USERS"},
                {L"HKCR", L"HKEY_CLASSES_ROOT"},
                {L"HKCC", L"HKEY_CURRENT_CONFIG"}};
  for (const auto& r : kRoots)
    if (sys::SameText(root, r.shortName)) return r.full;
  return root;
}

}  // namespace app
