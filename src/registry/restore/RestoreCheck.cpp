#include "registry/restore/RestoreCheck.h"

#include <windows.h>

#include <sstream>

#include "core/guard/RegistryGuard.h"
#include "registry/fix/RegExport.h"
#include "registry/fix/RegFileFormat.h"

namespace registry {
namespace {

std::wstring FromAnsi(const std::string& s) {
  if (s.empty()) return {};
  int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
  return w;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The key of one section header; false for a line that is no header.
struct THeader {
  bool Spoiled = false;
  bool Deletes = false;  // "[-...]": the editor would delete the key
  HKEY Root = nullptr;
  std::wstring Path, Display;
};

bool ParseHeader(const std::string& line, THeader* h) {
  if (line.size() < 2 || line[0] != '[') return false;
  size_t close = line.rfind(']');
  std::string inner = line.substr(1, close == std::string::npos || close < 1 ? std::string::npos : close - 1);
  h->Spoiled = !inner.empty() && inner[0] == kSpoiledRootChar;
  h->Deletes = !inner.empty() && inner[0] == '-';
  size_t slash = inner.find('\\');
  h->Root = core::guard::RootKeyFromName(FromAnsi(inner.substr(0, slash)));
  h->Path = slash == std::string::npos ? std::wstring() : FromAnsi(inner.substr(slash + 1));
  h->Display = FromAnsi(inner);
  return true;
}

// The name of a value line ("@" or a quoted, escaped name) and where "="
// stands; false for any other line.
bool ParseValueName(const std::string& line, std::string* name, size_t* eq) {
  name->clear();
  if (line.size() >= 2 && line[0] == '@' && line[1] == '=') {
    *eq = 1;
    return true;
  }
  if (line.empty() || line[0] != '"') return false;
  size_t i = 1;
  while (i < line.size() && line[i] != '"') {
    if (line[i] == '\\' && i + 1 < line.size()) ++i;
    name->push_back(line[i++]);
  }
  if (i + 1 >= line.size() || line[i + 1] != '=') return false;
  *eq = i + 1;
  return true;
}

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

// The registry's value as the backup writer would write it now.
bool CurrentValueLine(HKEY root, const std::wstring& path, const std::wstring& name, std::string* line) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = 0;
  LONG rc = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
  std::vector<BYTE> data(size + 2);
  if (rc == ERROR_SUCCESS) rc = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
  ::RegCloseKey(key);
  std::wstring why;
  return rc == ERROR_SUCCESS && FormatRegValueLine(name, type, data.data(), size, line, &why);
}

}  // namespace

TRestoreCheck CheckRegTextRestored(const std::string& text) {
  TRestoreCheck r;
  std::vector<std::string> lines = SplitLines(text);
  if (lines.empty() || lines[0] != "REGEDIT4") return r;
  r.Readable = true;
  THeader section;
  bool inSection = false;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (ParseHeader(line, &section)) {
      inSection = !section.Spoiled;
      if (section.Spoiled) ++r.Spoiled;
      if (!inSection) continue;
      ++r.Entries;
      if (section.Deletes || !section.Root || !KeyExists(section.Root, section.Path)) r.Missing.push_back(section.Display);
      continue;
    }
    std::string name;
    size_t eq = 0;
    if (!ParseValueName(line, &name, &eq)) continue;
    // A hex list goes on in the next lines after a "\".
    std::string block = line + "\r\n";
    bool hex = line.compare(eq + 1, 3, "hex") == 0;
    while (hex && block.size() >= 3 && block[block.size() - 3] == '\\' && i + 1 < lines.size()) {
      block += lines[++i] + "\r\n";
    }
    if (!inSection) continue;
    ++r.Entries;
    std::wstring wname = FromAnsi(name);
    std::string now;
    if (line.compare(eq + 1, 1, "-") == 0 || !section.Root ||
        !CurrentValueLine(section.Root, section.Path, wname, &now) || now != block) {
      r.Missing.push_back(section.Display + L"\\" + (wname.empty() ? std::wstring(L"@") : wname));
    }
  }
  return r;
}

bool ReadRegFile(const std::wstring& file, std::string* text) {
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = ::GetFileSizeEx(h, &size) && size.QuadPart < (1LL << 30);
  if (ok) {
    text->resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ok = text->empty() || (::ReadFile(h, &(*text)[0], static_cast<DWORD>(text->size()), &got, nullptr) &&
                           got == text->size());
  }
  ::CloseHandle(h);
  return ok;
}

bool RegTextDeletes(const std::string& text) {
  for (const std::string& line : SplitLines(text)) {
    std::string name;
    size_t eq = 0;
    if (line.compare(0, 2, "[-") == 0) return true;
    if (ParseValueName(line, &name, &eq) && line.compare(eq + 1, 1, "-") == 0) return true;
  }
  return false;
}

TRestoreCheck CheckRegFileRestored(const std::wstring& file) {
  std::string text;
  if (!ReadRegFile(file, &text)) return {};
  return CheckRegTextRestored(text);
}

}  // namespace registry
