#include "sys/IniFile.h"

#include <cwchar>
#include <cwctype>

#include "sys/Text.h"

namespace sys {

std::wstring IniFile::ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& def) const {
  std::wstring buf(2048, L'\0');
  for (;;) {
    DWORD n = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), def.c_str(), buf.data(),
                                         static_cast<DWORD>(buf.size()), path_.c_str());
    if (n + 1 < buf.size()) {
      buf.resize(n);
      return buf;
    }
    buf.resize(buf.size() * 4);  // truncated: read again with room
  }
}

bool IniFile::ParseInteger(const std::wstring& raw, long* value) {
  std::wstring text = raw;
  while (!text.empty() && std::iswspace(text.front())) text.erase(text.begin());
  while (!text.empty() && std::iswspace(text.back())) text.pop_back();
  if (text.empty()) return false;
  int base = 10;
  size_t start = 0;
  bool negative = false;
  if (text[0] == L'-' || text[0] == L'+') {
    negative = text[0] == L'-';
    start = 1;
  }
  if (text.size() > start + 2 && text[start] == L'0' && (text[start + 1] == L'x' || text[start + 1] == L'X')) {
    base = 16;
    start += 2;
  }
  if (start >= text.size()) return false;
  long long v = 0;
  for (size_t i = start; i < text.size(); ++i) {
    wchar_t c = text[i];
    int d = -1;
    if (c >= L'0' && c <= L'9') d = c - L'0';
    else if (base == 16 && c >= L'a' && c <= L'f') d = c - L'a' + 10;
    else if (base == 16 && c >= L'A' && c <= L'F') d = c - L'A' + 10;
    if (d < 0) return false;
    v = v * base + d;
    if (v > 0xFFFFFFFFLL) return false;
  }
  if (base == 10 && v > 0x7FFFFFFFLL + (negative ? 1 : 0)) return false;
  // Hexadecimal texts keep their 32-bit pattern, so "0xFFFFFFFF" is -1.
  long result = static_cast<long>(static_cast<unsigned long>(v));
  *value = negative ? -result : result;
  return true;
}

long IniFile::ReadInteger(const std::wstring& section, const std::wstring& key, long def) const {
  long v = 0;
  return ParseInteger(ReadString(section, key, L""), &v) ? v : def;
}

bool IniFile::ReadBool(const std::wstring& section, const std::wstring& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  if (!::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path_.c_str()))
    throw IniWriteError("Unable to write to " + ToUtf8(path_));
}

void IniFile::WriteInteger(const std::wstring& section, const std::wstring& key, long value) {
  WriteString(section, key, std::to_wstring(value));
}

void IniFile::WriteBool(const std::wstring& section, const std::wstring& key, bool value) {
  WriteString(section, key, value ? L"1" : L"0");
}

bool IniFile::ValueExists(const std::wstring& section, const std::wstring& key) const {
  // A default no value can hold tells a missing key from an empty one.
  static const wchar_t kMissing[] = L"\x01missing\x01";
  return ReadString(section, key, kMissing) != kMissing;
}

std::vector<std::wstring> IniFile::ReadMultiString(const wchar_t* section) const {
  std::vector<wchar_t> buf(32768);
  for (;;) {
    DWORD n = section == nullptr
                  ? ::GetPrivateProfileSectionNamesW(buf.data(), static_cast<DWORD>(buf.size()), path_.c_str())
                  : ::GetPrivateProfileSectionW(section, buf.data(), static_cast<DWORD>(buf.size()), path_.c_str());
    if (n + 2 < buf.size()) {
      std::vector<std::wstring> out;
      for (const wchar_t* p = buf.data(); *p != L'\0' && p < buf.data() + n; p += std::wcslen(p) + 1) out.emplace_back(p);
      return out;
    }
    buf.resize(buf.size() * 4);
  }
}

std::vector<std::wstring> IniFile::SectionNames() const { return ReadMultiString(nullptr); }

std::vector<std::wstring> IniFile::SectionLines(const std::wstring& section) const {
  return ReadMultiString(section.c_str());
}

void IniFile::EraseSection(const std::wstring& section) {
  if (!::WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, path_.c_str()))
    throw IniWriteError("Unable to write to " + ToUtf8(path_));
}

void IniFile::WriteSection(const std::wstring& section, const std::vector<std::wstring>& lines) {
  std::wstring block;
  for (const std::wstring& line : lines) block.append(line).push_back(L'\0');
  block.push_back(L'\0');
  if (!::WritePrivateProfileSectionW(section.c_str(), block.c_str(), path_.c_str()))
    throw IniWriteError("Unable to write to " + ToUtf8(path_));
}

void IniFile::DeleteKey(const std::wstring& section, const std::wstring& key) {
  ::WritePrivateProfileStringW(section.c_str(), key.c_str(), nullptr, path_.c_str());
}

void IniFile::Flush() { ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str()); }

}  // namespace sys
