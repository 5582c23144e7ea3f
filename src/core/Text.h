// Small text conversions: sizes, two-digit numbers, the schedule interval,
// ROT13, cookie hosts and the hot key's display text.
#pragma once
#include <cstdint>
#include <string>

#include "core/Shortcut.h"
#include "core/guard/FolderPin.h"

namespace core {

// Whole kilobytes, any remainder counting as one, grouped by ",": "1,025 KB".
std::wstring FormatSizeKB(std::int64_t Size);

// 7 -> "07", 10 -> "10".
std::wstring TwoDigitStr(int N);

// The CleanInterval option's index to its timer interval; 15 minutes for an
// unknown index.
unsigned int ScheduleIntervalToMs(int Index);

// Letters moved 13 places in their alphabet; the encoding of UserAssist value
// names, its own inverse.
std::wstring Rot13(const std::wstring& Text);

// The third line of an Internet Explorer cookie file (its host and path),
// less one final "/"; empty when the file has fewer lines. Raises InOutError
// when the file cannot be opened or read. The file is opened relative to its
// folder's pin and judged by the guard: a link's target is never read.
std::wstring GetCookieHost(const guard::ListedEntry& entry);
// The same for a file named by a full path: its folder pinned, the name found
// in the pin's listing.
std::wstring GetCookieHost(const std::wstring& FileName);
// The same from the file's bytes (ANSI, LF or CRLF line ends).
std::wstring CookieHostFromText(const std::string& text);

// "Ctrl+Shift+Alt+F5", or with two blanks in place of each "+" when Spaced.
std::wstring ShortcutToText(const TShortcut& Shortcut, bool Spaced);

}  // namespace core
