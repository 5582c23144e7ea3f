// Folders and files of the tests themselves: a scratch folder that is fresh
// at the start and gone at the end, and a removal that never follows a link.
#pragma once
#include <windows.h>

#include <string>

namespace testing_support {

bool Exists(const std::wstring& path);
void MakeFolders(const std::wstring& path);
// Writes `content` to `path`, making the folders above it; false when the
// file could not be written whole.
bool WriteBytes(const std::wstring& path, const std::string& content);
// The whole file; empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);

// Removes a folder and everything below it. A link (a reparse point) is
// removed itself, never entered. Under Wine a folder whose path holds
// `sandboxName` goes through the Unix tool, which removes Unix links as links.
void RemoveFolder(const std::wstring& path, const std::wstring& sandboxName = L"");

// A fresh folder %TEMP%\<area>\<name>\ (or <base><area>\<name>\), removed
// when the object goes.
class ScratchFolder {
 public:
  ScratchFolder(const std::wstring& area, const std::wstring& name, const std::wstring& base = L"");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::wstring& Root() const { return root_; }  // ends in "\"
  std::wstring Dir() const { return root_.substr(0, root_.size() - 1); }  // without the final "\"
  std::wstring Path(const std::wstring& relative) const { return root_ + relative; }

 private:
  std::wstring area_, root_;
};

}  // namespace testing_support
