// The three data files in the program's folder: the item database kavo.dat
// (shipped, read only), the user's custom list Custom.dat and the
// cookies-to-keep list Cookies.dat. All are ANSI ini files.
#pragma once
#include <string>
#include <vector>

#include "cleaner/items/DataFileEntries.h"
#include "cleaner/items/ItemServices.h"
#include "sys/IniFile.h"

namespace cleaner {

class TClearTaskThread;

extern const wchar_t kKavoFileName[];     // "kavo.dat"
extern const wchar_t kCustomFileName[];   // "Custom.dat"
extern const wchar_t kCookiesFileName[];  // "Cookies.dat"

// Runs one section of kavo.dat or Custom.dat (in the services' data folder)
// as the current clean item. A missing file or section counts 0.
void ClearDataFileItem(TClearTaskThread& t, const ItemServices& s, const std::wstring& fileName,
                       const std::wstring& section);

// A data file that is there but was not read (a link, a file with more than
// one name, unreadable): the log names it and what the item left for want of
// it, and in a clean it counts as one entry that could not be removed, so
// that an unattended run does not end as if all was done. False when it was
// read or is missing.
bool NoteUnreadDataFile(TClearTaskThread& t, const std::wstring& path, sys::IniStore::Result read,
                        const std::wstring& left);

// One file line of a data file (a folder, "folder,*.*" or "folder,mask"),
// judged and run as part of the current item; the bytes removed.
int64_t RunFileEntry(TClearTaskThread& t, const std::wstring& value, const FolderTokens& tokens);

// The message shown once per item when an HKEY_LOCAL_MACHINE value entry is
// skipped for want of rights (never in an automatic clean).
extern const wchar_t kAdministratorMessage[];

// Section names of kavo.dat in file order; none for a missing file.
std::vector<std::wstring> ReadKavoSections(const std::wstring& path);

// The rows of the custom list "<New List>", every key's value in file order.
std::vector<std::wstring> ReadCustomList(const std::wstring& path);
// Replaces the custom list by `rows`: a row beginning with "HKEY_" (any case)
// under DelRegValue1, 2, ..., every other row under DelFile1, 2, ... When a
// row cannot be stored (a character the ANSI code page lacks, a line break)
// nothing is written, the rows are listed in `refused` and the result is
// false. Raises sys::IniWriteError when the file cannot be written.
bool WriteCustomList(const std::wstring& path, const std::vector<std::wstring>& rows,
                     std::vector<std::wstring>* refused);

// The cookies to keep: the non-empty entries "0" to Count - 1 in order.
std::vector<std::wstring> ReadCookiesToKeep(const std::wstring& path);
// Writes Count and the entries "0", "1", ...; keys from Count upward are left
// as they were (no reader looks at them). Refuses as WriteCustomList does.
bool WriteCookiesToKeep(const std::wstring& path, const std::vector<std::wstring>& entries,
                        std::vector<std::wstring>* refused);

}  // namespace cleaner
