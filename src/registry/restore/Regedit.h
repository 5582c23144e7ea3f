// Command lines of the registry editor. It is always started by its full
// path in the Windows folder, never looked up on the search path. An import
// uses the editor of this program's own registry view (on 64-bit Windows the
// 32-bit one), so that a backup goes back into the view it was made from; a
// full export uses the system's own editor, which sees every view.
#pragma once
#include <string>

namespace registry {

// The full path of the editor that sees the registry as this program does.
std::wstring RegeditPathForProgramView();
// The full path of the system's own editor.
std::wstring RegeditPathNative();

// "<editor>" /s "<file>"
std::wstring RegeditImportCommand(const std::wstring& file);
// "<editor>" /e "<file>"
std::wstring RegeditExportCommand(const std::wstring& file);

// A full-backup name with ".reg" appended unless it ends in ".reg" (any case).
std::wstring FullBackupFileName(const std::wstring& chosen);

}  // namespace registry
