// Conversions between the program's wide strings and the narrow encodings of
// stored files and library messages.
#pragma once
#include <string>

namespace sys {

std::wstring FromUtf8(const std::string& s);
std::string ToUtf8(const std::wstring& s);
// ANSI code page; `lossless` (if given) tells whether every character survived.
std::string ToAnsi(const std::wstring& s, bool* lossless = nullptr);
std::wstring FromAnsi(const std::string& s);

}  // namespace sys
