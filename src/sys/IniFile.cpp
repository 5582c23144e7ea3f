#include "sys/IniFile.h"

#include <cwctype>
#include <utility>

#include "sys/Text.h"

namespace sys {

const IniText& IniFile::Text() const {
  if (!loaded_) {
    std::string bytes;
    read_ = store_->Load(path_, &bytes);
    text_ = read_ == IniStore::Result::Done ? IniText::Parse(std::move(bytes)) : IniText();
    loaded_ = true;
  }
  return text_;
}

IniText& IniFile::Changed() {
  Text();
  changed_ = true;
  return text_;
}

IniStore::Result IniFile::ReadResult() const {
  Text();
  return read_;
}

std::wstring IniFile::ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& def) const {
  std::wstring value;
  if (!Text().Find(section, key, &value)) return def;
  // One pair of enclosing quotes goes, as the profile functions drop it.
  const bool quoted = value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front();
  return quoted ? value.substr(1, value.size() - 2) : value;
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
  Changed().Set(section, key, value);
}

void IniFile::WriteInteger(const std::wstring& section, const std::wstring& key, long value) {
  WriteString(section, key, std::to_wstring(value));
}

void IniFile::WriteBool(const std::wstring& section, const std::wstring& key, bool value) {
  WriteString(section, key, value ? L"1" : L"0");
}

bool IniFile::ValueExists(const std::wstring& section, const std::wstring& key) const {
  std::wstring value;
  return Text().Find(section, key, &value);
}

std::vector<std::wstring> IniFile::SectionNames() const { return Text().SectionNames(); }

std::vector<std::wstring> IniFile::SectionLines(const std::wstring& section) const {
  return Text().SectionLines(section);
}

void IniFile::VisitSection(const std::wstring& section, const IniText::LineVisitor& visit) const {
  Text().VisitSection(section, visit);
}

size_t IniFile::SectionSize(const std::wstring& section) const { return Text().SectionSize(section); }

void IniFile::EraseSection(const std::wstring& section) {
  Text();
  if (text_.EraseSection(section)) changed_ = true;
}

void IniFile::WriteSection(const std::wstring& section, const std::vector<std::wstring>& lines) {
  Changed().ReplaceSection(section, lines);
}

void IniFile::WriteSection(const std::wstring& section, const IniText::LineWriter& write) {
  Changed().ReplaceSection(section, write);
}

void IniFile::DeleteKey(const std::wstring& section, const std::wstring& key) { Changed().EraseKey(section, key); }

namespace {

std::wstring SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring out = n > 0 ? std::wstring(text, n) : L"error " + std::to_wstring(error);
  if (text != nullptr) ::LocalFree(text);
  while (!out.empty() && (std::iswspace(out.back()) || out.back() == L'.')) out.pop_back();
  return out;
}

}  // namespace

void IniFile::Flush() {
  // A file that was not read whole is never replaced by what little was
  // read, and says so even when nothing changed.
  IniStore::Result result = ReadResult();
  DWORD error = ERROR_SUCCESS;
  if (result == IniStore::Result::Done || result == IniStore::Result::Missing) {
    if (!changed_) return;
    result = store_->Save(path_, text_.Bytes(), &error);
  }
  if (result == IniStore::Result::Done) {
    changed_ = false;
    return;
  }
  throw IniWriteError(path_, result, error);
}

IniWriteError::IniWriteError(const std::wstring& path, IniStore::Result result, DWORD error)
    : std::runtime_error("Unable to write to " + ToUtf8(path) + ": " +
                         ToUtf8(result == IniStore::Result::Refused ? L"it is a link, a folder, or a file with more than one name"
                                : error == ERROR_FILE_READ_ONLY     ? L"it is read-only"
                                // the store's answer for a rename that went to another folder
                                : error == ERROR_FILE_INVALID       ? L"the rename that puts it in place went to another folder"
                                : error != ERROR_SUCCESS            ? SystemErrorText(error)
                                                                    : L"it could not be read")) {}

}  // namespace sys
