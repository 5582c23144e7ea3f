// The entries of the item data files kavo.dat and Custom.dat: which line is
// a registry entry and which a file entry, and what each one names.
#pragma once
#include <string>

namespace cleaner {

enum class EntryKind { None, Registry, File };

struct DataLine {
  EntryKind kind = EntryKind::None;
  std::wstring value;  // the text after the first "="
};

// Classified by the key alone: "DelRegValue" or "DelFile" followed by digits
// only, in any letter case. A value never decides, so a registry value whose
// name holds "DelFile" stays a registry entry.
DataLine ClassifyDataLine(const std::wstring& line);

struct RegistryEntry {
  std::wstring root;        // as written; the primitives accept the five full names
  std::wstring key;
  bool valuesOnly = false;  // a "," follows the key: keep the key itself
  std::wstring valueName;   // with valuesOnly: empty = every value and sub-key
};
// False when the value holds no "\" (no key is named).
bool ParseRegistryEntry(const std::wstring& value, RegistryEntry* entry);

// The folders the tokens of a file entry stand for, read once per item.
struct FolderTokens {
  std::wstring programFiles;    // %ProgramFiles%
  std::wstring windows;         // %windir%
  std::wstring localAppData;    // {Local AppData}
  std::wstring currentAppData;  // {Current AppData}
  std::wstring commonAppData;   // {Common AppData}
};
FolderTokens ReadFolderTokens();

enum class FileEntryForm {
  Folder,          // the folder with everything below it
  FolderContents,  // everything below the folder ("*.*"), the folder kept
  Mask,            // the folder's top-level files that match the mask
};

struct FileEntry {
  FileEntryForm form = FileEntryForm::Folder;
  std::wstring folder;
  std::wstring mask;
};
// False when the entry must be skipped: its token stands for no folder, or
// the result is not a full "X:\..." or "\\server\share\..." path.
bool ResolveFileEntry(const std::wstring& value, const FolderTokens& tokens, FileEntry* entry);

}  // namespace cleaner
