// The lines of a REGEDIT4 backup file: ANSI text, every line ended by CR LF.
// Each routine either gives lines that the registry editor imports back into
// exactly the same name, type and bytes, or refuses with the reason.
#pragma once
#include <windows.h>

#include <string>

namespace registry {

// Text with every "\" doubled.
std::wstring EscapeRegBackslashes(const std::wstring& Text);
// Text with every double quote preceded by a backslash.
std::wstring EscapeRegQuotes(const std::wstring& Text);

constexpr char kRegFileHeader[] = "REGEDIT4\r\n";

// An empty line and "[" root name "\" path "]".
bool FormatRegKeyHeader(const std::wstring& rootName, const std::wstring& path, std::string* lines,
                        std::wstring* why);

// One value: "@" or its quoted name, "=", its data by type, the line end.
// Plain text is written quoted; a DWORD as dword:; binary as hex:; text
// holding control characters, expandable and multi-strings as hex(1), hex(2)
// and hex(7) of their ANSI bytes; every other type as hex(N) of its bytes.
bool FormatRegValueLine(const std::wstring& name, DWORD type, const BYTE* data, size_t size, std::string* line,
                        std::wstring* why);

// Plain text (REG_SZ data of characters ended by its one NUL, none of them a
// control character) as quoted data, escaped; false for any other data.
bool FormatRegQuotedText(const BYTE* data, size_t size, std::wstring* quoted);

// "hex:" or "hex(N):" and the bytes as upper-case pairs separated by commas;
// after the comma that follows byte i (i > 0, a multiple of 25) the list goes
// on in the next line after a "\".
std::string FormatRegHexData(DWORD type, const BYTE* data, size_t size);

}  // namespace registry
