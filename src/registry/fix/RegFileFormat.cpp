#include "registry/fix/RegFileFormat.h"

#include <cstdio>
#include <cstring>

#include "sys/Text.h"

namespace registry {
namespace {

bool HasControlChar(const std::wstring& text) {
  for (wchar_t c : text)
    if (c < 0x20) return true;
  return false;
}

// A name or path as the file's ANSI text; false when a character would not
// survive the round trip or would break the line.
bool AnsiLineText(const std::wstring& text, std::string* out, std::wstring* why) {
  if (HasControlChar(text)) {
    *why = L"The name holds a line break or another control character.";
    return false;
  }
  bool lossless = false;
  *out = sys::ToAnsi(text, &lossless);
  if (!lossless) *why = L"The name cannot be written in the backup file's character set.";
  return lossless;
}

// The UTF-16 data of a value as text: the characters before the one NUL that
// ends it. False when the data is not exactly that.
bool PlainText(const BYTE* data, size_t size, std::wstring* text) {
  if (size < sizeof(wchar_t) || size % sizeof(wchar_t) != 0) return false;
  const auto* p = reinterpret_cast<const wchar_t*>(data);
  size_t chars = size / sizeof(wchar_t) - 1;
  if (p[chars] != L'\0') return false;
  text->assign(p, chars);
  return text->find(L'\0') == std::wstring::npos && !HasControlChar(*text);
}

// Text-typed data for hex(1), hex(2) and hex(7): on import the registry
// editor turns the ANSI bytes back into UTF-16 and adds a NUL when the last
// byte is not one, so only data that ends in a NUL comes back unchanged.
bool AnsiTextBytes(const BYTE* data, size_t size, std::string* bytes, std::wstring* why) {
  bytes->clear();
  if (size == 0) return true;
  const auto* p = reinterpret_cast<const wchar_t*>(data);
  size_t chars = size / sizeof(wchar_t);
  if (size % sizeof(wchar_t) != 0 || p[chars - 1] != L'\0') {
    *why = L"The text value is not ended by a NUL and cannot be restored unchanged from a backup file.";
    return false;
  }
  bool lossless = false;
  *bytes = sys::ToAnsi(std::wstring(p, chars), &lossless);
  if (!lossless) *why = L"The text cannot be written in the backup file's character set.";
  return lossless;
}

std::string HexPrefix(DWORD type) {
  if (type == REG_BINARY) return "hex:";
  char buf[24];
  std::snprintf(buf, sizeof(buf), "hex(%lx):", static_cast<unsigned long>(type));
  return buf;
}

bool FormatData(DWORD type, const BYTE* data, size_t size, std::string* out, std::wstring* why) {
  std::wstring quoted;
  if (type == REG_SZ && FormatRegQuotedText(data, size, &quoted)) {
    bool lossless = false;
    std::string ansi = sys::ToAnsi(quoted, &lossless);
    if (lossless) {
      *out = ansi;
      return true;
    }
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
    std::string bytes;
    if (!AnsiTextBytes(data, size, &bytes, why)) return false;
    *out = FormatRegHexData(type, reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
    return true;
  }
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD value = 0;
    std::memcpy(&value, data, sizeof(value));
    char buf[16];
    std::snprintf(buf, sizeof(buf), "dword:%08lX", static_cast<unsigned long>(value));
    *out = buf;
    return true;
  }
  *out = FormatRegHexData(type, data, size);
  return true;
}

}  // namespace

std::wstring EscapeRegBackslashes(const std::wstring& Text) {
  std::wstring out;
  out.reserve(Text.size());
  for (wchar_t c : Text) {
    if (c == L'\\') out += L'\\';
    out += c;
  }
  return out;
}

std::wstring EscapeRegQuotes(const std::wstring& Text) {
  std::wstring out;
  out.reserve(Text.size());
  for (wchar_t c : Text) {
    if (c == L'"') out += L'\\';
    out += c;
  }
  return out;
}

bool FormatRegQuotedText(const BYTE* data, size_t size, std::wstring* quoted) {
  std::wstring text;
  if (!PlainText(data, size, &text)) return false;
  *quoted = L"\"" + EscapeRegQuotes(EscapeRegBackslashes(text)) + L"\"";
  return true;
}

bool FormatRegKeyHeader(const std::wstring& rootName, const std::wstring& path, std::string* lines,
                        std::wstring* why) {
  std::string text;
  // A value directly under a root has no path below it.
  if (!AnsiLineText(path.empty() ? rootName : rootName + L"\\" + path, &text, why)) return false;
  *lines = "\r\n[" + text + "]\r\n";
  return true;
}

bool FormatRegValueLine(const std::wstring& name, DWORD type, const BYTE* data, size_t size, std::string* line,
                        std::wstring* why) {
  std::string nameText = "@";
  if (!name.empty()) {
    std::string escaped;
    if (!AnsiLineText(EscapeRegQuotes(EscapeRegBackslashes(name)), &escaped, why)) return false;
    nameText = "\"" + escaped + "\"";
  }
  std::string dataText;
  if (!FormatData(type, data, size, &dataText, why)) return false;
  *line = nameText + "=" + dataText + "\r\n";
  return true;
}

std::string FormatRegHexData(DWORD type, const BYTE* data, size_t size) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out = HexPrefix(type);
  out.reserve(out.size() + size * 3 + size / 25 * 3);
  for (size_t i = 0; i < size; ++i) {
    out += kDigits[data[i] >> 4];
    out += kDigits[data[i] & 15];
    if (i + 1 == size) break;
    out += ',';
    if (i > 0 && i % 25 == 0) out += "\\\r\n";
  }
  return out;
}

}  // namespace registry
