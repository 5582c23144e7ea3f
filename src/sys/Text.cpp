#include "sys/Text.h"

#include <windows.h>

namespace sys {
namespace {

std::wstring Widen(UINT cp, const std::string& s) {
  if (s.empty()) return {};
  int n = ::MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

}  // namespace

std::wstring FromUtf8(const std::string& s) { return Widen(CP_UTF8, s); }
std::wstring FromAnsi(const std::string& s) { return Widen(CP_ACP, s); }

std::string ToUtf8(const std::wstring& s) {
  if (s.empty()) return {};
  int n = ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string ToAnsi(const std::wstring& s, bool* lossless) {
  if (lossless != nullptr) *lossless = true;
  if (s.empty()) return {};
  BOOL usedDefault = FALSE;
  int n = ::WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, &usedDefault);
  // A best-fit mapping can also change a character without using the default one.
  if (lossless != nullptr) *lossless = !usedDefault && Widen(CP_ACP, out) == s;
  return out;
}

}  // namespace sys
