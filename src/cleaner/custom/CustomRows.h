// The rows of the custom clean list and the two builders of a row: a file or
// folder row and a registry row. Rows are stored as typed; what a row may
// name is checked here, before it reaches the list.
#pragma once
#include <string>
#include <vector>

namespace cleaner {
namespace custom {

// A row whose upper-cased text begins with "HKEY_".
bool IsRegistryRow(const std::wstring& row);

// "C:", "C:\", "\\server\share" and "\\server\share\": emptying one of these
// would wipe a whole drive, so no row may name one as its folder.
bool IsDriveRoot(const std::wstring& folder);
bool FolderExists(const std::wstring& folder);
// The names of the files directly in `folder` (all attributes, no
// sub-folders) in directory order; none when it is not a folder.
std::vector<std::wstring> FilesInFolder(const std::wstring& folder);

// A key path "ROOT\key" with one of the five full root names and a key.
bool IsFullRegistryKey(const std::wstring& key);

// The file and folder row builder.
class TAddFolderModel {
 public:
  enum Option { SingleFile = 0, MultipleFiles = 1 };
  std::wstring Folder;
  int Option = SingleFile;
  std::wstring SelectedFile;  // file mode: the chosen name, empty for none
  bool DeleteFolder = true;   // folder mode: rbDeleteFolder, else rbDeleteFiles
  std::wstring FileMatch = L"*.";

  // aOKUpdate; `folderExists` is FolderExists(Folder).
  bool OKEnabled(bool folderExists) const;
  std::wstring ResultText() const;
};

// The registry row builder.
class TAddRegistryModel {
 public:
  enum Mode { WashKey, WashAllValues, WashValue };
  std::wstring Key;
  std::wstring Value;
  Mode Wash = WashKey;

  bool ValueEnabled() const { return Wash == WashValue; }
  bool OKEnabled() const;
  std::wstring ResultText() const;
  // Splits an existing registry row at its first ",".
  static TAddRegistryModel FromRow(const std::wstring& row);
};

}  // namespace custom
}  // namespace cleaner
