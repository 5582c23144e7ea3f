#include "core/guard/FileNames.h"

#include <algorithm>

namespace core {
namespace guard {
namespace {

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// Some part ends in a dot or a space, and none is "." or "..", which only
// the plain form resolves.
bool NeedsLiteralForm(const std::wstring& path) {
  bool trimmed = false;
  for (size_t at = 0; at <= path.size();) {
    size_t end = path.find_first_of(L"\\/", at);
    if (end == std::wstring::npos) end = path.size();
    size_t n = end - at;
    if ((n == 1 || n == 2) && path.compare(at, n, L"..", n) == 0) return false;
    trimmed = trimmed || (n > 0 && (path[end - 1] == L'.' || path[end - 1] == L' '));
    at = end + 1;
  }
  return trimmed;
}

}  // namespace

bool HasStreamName(const std::wstring& path) { return path.find(L':', 2) != std::wstring::npos; }

bool HasAcceptedForm(const std::wstring& typed) {
  std::wstring path = typed;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  if (HasStreamName(path)) return false;
  if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == L':' && path[2] == L'\\') return true;
  if (path.compare(0, 2, L"\\\\") != 0) return false;
  size_t serverEnd = path.find(L'\\', 2);
  if (serverEnd == std::wstring::npos || serverEnd == 2) return false;
  std::wstring server = path.substr(2, serverEnd - 2);
  if (server == L"." || server == L"?") return false;  // device and extended paths
  size_t shareEnd = path.find(L'\\', serverEnd + 1);
  size_t shareLen = (shareEnd == std::wstring::npos ? path.size() : shareEnd) - serverEnd - 1;
  return shareLen > 0;
}

bool EndsInDotOrSpace(const std::wstring& name) {
  return !name.empty() && (name.back() == L'.' || name.back() == L' ');
}

bool HasTrimmedPart(const std::wstring& path) {
  for (size_t at = 0; at <= path.size();) {
    size_t end = path.find_first_of(L"\\/", at);
    if (end == std::wstring::npos) end = path.size();
    if (end > at && EndsInDotOrSpace(path.substr(at, end - at))) return true;
    at = end + 1;
  }
  return false;
}

std::wstring TrimmedName(const std::wstring& name) {
  size_t end = name.find_last_not_of(L". ");
  return end == std::wstring::npos ? std::wstring() : name.substr(0, end + 1);
}

std::wstring LiteralPath(const std::wstring& path) {
  if (!NeedsLiteralForm(path)) return path;
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path;
  if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return L"\\\\?\\" + path;
}

std::wstring StripExtendedPrefix(const std::wstring& path) {
  if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + path.substr(8);
  if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
  return path;
}

}  // namespace guard
}  // namespace core
