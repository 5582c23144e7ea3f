// What a data file (kavo.dat, Custom.dat) or a custom list may remove in the
// system's own places: junk-kind files and known junk folders only, and no
// registry key that holds the system's own settings.
#pragma once
#include <windows.h>

#include <string>

namespace core {
namespace guard {

// The mask selects only files of a junk kind (logs, temporary files, dumps,
// chkdsk fragments, old backups): its extension is written out and is one of them.
bool IsJunkFileMask(const std::wstring& mask);
// The folder (its last part) is a known junk folder: Temp, Prefetch, Logs, Minidump and the like.
bool IsJunkFolderName(const std::wstring& folder);
// Why a data-file registry line aimed at `normalKey` below `root` is refused;
// empty when it may run.
std::wstring DataFileKeyRefusal(HKEY root, const std::wstring& normalKey);

}  // namespace guard
}  // namespace core
