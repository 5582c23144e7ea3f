// A scratch folder inside the test prefix's temp folder, removed afterwards,
// and the shared file helpers under the names the core tests use.
#pragma once
#include <windows.h>

#include <string>

#include "support/Folders.h"

namespace core_test {

class ScratchFolder {
 public:
  ScratchFolder();

  const std::wstring& Path() const { return path_; }  // no final backslash
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  testing_support::ScratchFolder folder_;
  std::wstring path_;
};

inline bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  return testing_support::WriteBytes(path, bytes);
}
inline std::string ReadFileBytes(const std::wstring& path) { return testing_support::ReadBytes(path); }
using testing_support::Exists;

}  // namespace core_test
