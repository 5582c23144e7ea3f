#include "core/Text.h"

#include <windows.h>

#include "core/Errors.h"
#include "core/guard/FileDelete.h"
#include "core/guard/PinnedOpen.h"
#include "sys/Text.h"

namespace core {
namespace {

constexpr unsigned int kIntervalMs[] = {
    900000,    // 15 minutes
    1800000,   // 30 minutes
    3600000,   // 1 hour
    14400000,  // 4 hours
    28800000,  // 8 hours
};

wchar_t Rot13Char(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(L'A' + (c - L'A' + 13) % 26);
  if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(L'a' + (c - L'a' + 13) % 26);
  return c;
}

// Reads until `lines` line feeds have been seen or the file ends.
std::string ReadLeadingLines(HANDLE file, int lines) {
  std::string text;
  char buf[4096];
  int seen = 0;
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file, buf, sizeof(buf), &got, nullptr)) throw InOutError(::GetLastError());
    if (got == 0) return text;
    text.append(buf, got);
    for (DWORD i = 0; i < got; ++i)
      if (buf[i] == '\n' && ++seen == lines) return text;
  }
}

}  // namespace

std::wstring FormatSizeKB(std::int64_t Size) {
  std::int64_t kb = Size / 1024 + (Size % 1024 != 0 ? 1 : 0);
  std::wstring digits = std::to_wstring(kb < 0 ? -kb : kb);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, L',');
  return (kb < 0 ? L"-" : L"") + digits + L" KB";
}

std::wstring TwoDigitStr(int N) {
  std::wstring text = std::to_wstring(N);
  return N >= 0 && N < 10 ? L"0" + text : text;
}

unsigned int ScheduleIntervalToMs(int Index) {
  if (Index < 0 || Index >= static_cast<int>(sizeof(kIntervalMs) / sizeof(kIntervalMs[0]))) return kIntervalMs[0];
  return kIntervalMs[Index];
}

std::wstring Rot13(const std::wstring& Text) {
  std::wstring out = Text;
  for (auto& c : out) c = Rot13Char(c);
  return out;
}

std::wstring CookieHostFromText(const std::string& text) {
  size_t start = 0;
  for (int line = 0; line < 2; ++line) {
    size_t lf = text.find('\n', start);
    if (lf == std::string::npos) return {};
    start = lf + 1;
  }
  size_t end = text.find('\n', start);
  std::string host = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
  if (!host.empty() && host.back() == '\r') host.pop_back();
  if (!host.empty() && host.back() == '/') host.pop_back();
  return sys::FromAnsi(host);
}

std::wstring GetCookieHost(const std::wstring& FileName) {
  std::wstring host;
  guard::Lookup found = guard::FindNamedFile(FileName, [&](const guard::ListedEntry& entry) {
    host = GetCookieHost(entry);
  });
  if (found != guard::Lookup::Found) throw InOutError(ERROR_FILE_NOT_FOUND);
  return host;
}

std::wstring GetCookieHost(const guard::ListedEntry& entry) {
  guard::PinnedOpen opened = guard::OpenListedFile(entry, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
  if (opened.result != guard::PinnedOpenResult::Opened) throw InOutError(opened.error);
  HANDLE file = opened.handle;
  std::string text;
  try {
    text = ReadLeadingLines(file, 3);
  } catch (...) {
    ::CloseHandle(file);
    throw;
  }
  ::CloseHandle(file);
  return CookieHostFromText(text);
}

std::wstring ShortcutToText(const TShortcut& Shortcut, bool Spaced) {
  const std::wstring sep = Spaced ? L"  " : L"+";
  std::wstring text;
  if (Shortcut.IsCtrl) text += L"Ctrl" + sep;
  if (Shortcut.IsShift) text += L"Shift" + sep;
  if (Shortcut.IsAlt) text += L"Alt" + sep;
  return text + Shortcut.CharString;
}

}  // namespace core
