// The files the program keeps its settings and lists in (options.ini, the
// data lists, a "/Regscan" result), and small files it shows: read whole and
// written whole, never through a link. A read opens the file relative to its folder's pin and
// judges that handle; a save writes a new file of a random name beside the
// old one and renames it over the old name through the pin, which replaces
// a name, never what a link leads to. An old name that is a link, or a file
// with more than one name, is refused and left as it is: replacing it would
// quietly part a file the user linked from its other name.
#pragma once
#include <windows.h>

#include <string>

#include "sys/IniFile.h"

namespace core {
namespace guard {

using FileOutcome = sys::IniStore::Result;

// No settings file comes near this; a larger one is not read into memory.
constexpr size_t kMaxWholeFileBytes = 64u << 20;

FileOutcome ReadWholeFile(const std::wstring& path, std::string* bytes);
// Done, Refused (the old name; nothing written) or Failed (`error` says why:
// ERROR_FILE_READ_ONLY for a read-only file; the old file is as it was, and
// no scratch file stays beside it).
FileOutcome ReplaceWholeFile(const std::wstring& path, const std::string& bytes, DWORD* error);

// The store every ini file of the program goes through.
sys::IniStore& SettingsStore();
inline sys::IniFile SettingsIni(const std::wstring& path) { return sys::IniFile(path, SettingsStore()); }

}  // namespace guard
}  // namespace core
