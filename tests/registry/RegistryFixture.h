// Seeding the test prefix's registry and files, and watching a scan run.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "registry/ProblemRow.h"
#include "registry/ScanShared.h"
#include "registry/ScanTaskThread.h"
#include "support/Folders.h"
#include "support/Registry.h"

namespace registry_test {

using testing_support::CreateKey;
using testing_support::DeleteTree;
using testing_support::DeleteValue;
using testing_support::KeyExists;
using testing_support::MakeRegLink;
using testing_support::RemoveRegLink;
using testing_support::SetDword;
inline void SetText(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value,
                    DWORD type = REG_SZ) {
  testing_support::SetString(root, key, name, value, type);
}
// `text` with its NUL as the data of any type.
inline void SetRaw(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type, const std::wstring& text) {
  testing_support::SetValue(root, key, name, type, testing_support::TextBytes(text));
}
inline void SetBytes(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
                     const std::vector<BYTE>& data) {
  testing_support::SetValue(root, key, name, type, data);
}
// A registry link whose target does not exist: listed, but never opens.
bool CreateBrokenLink(HKEY root, const std::wstring& key);
// Removes such a link (which the usual deletes cannot open).
void DeleteLink(HKEY root, const std::wstring& key);

// A folder under the prefix's temporary folder, emptied and removed again.
class TTestFolder {
 public:
  explicit TTestFolder(const std::wstring& name) : folder_(L"vantorel-registry", name), path_(folder_.Dir()) {}
  const std::wstring& Path() const { return path_; }
  std::wstring File(const std::wstring& name) const {  // creates it
    testing_support::WriteBytes(Missing(name), "");
    return Missing(name);
  }
  std::wstring Folder(const std::wstring& name) const {  // creates it
    testing_support::MakeFolders(Missing(name));
    return Missing(name);
  }
  std::wstring Missing(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  testing_support::ScratchFolder folder_;
  std::wstring path_;
};

// Records the scan's messages; Wait returns once WM_SCANFINISHED came.
class TRecordingPoster : public registry::TScanPoster {
 public:
  TRecordingPoster();
  ~TRecordingPoster() override;
  void Post(UINT message) override;
  bool WaitFinished(DWORD ms) const { return ::WaitForSingleObject(finished_, ms) == WAIT_OBJECT_0; }
  std::vector<UINT> Messages() const;
  int Count(UINT message) const;

 private:
  mutable std::mutex mutex_;
  std::vector<UINT> messages_;
  HANDLE finished_;
};

using TRows = std::vector<registry::TProblemRow>;
// Multiset difference: the rows of `a` that `b` does not hold (as often).
TRows Without(TRows a, TRows b);
std::string Describe(const TRows& rows);

// Runs a whole scan of `sections` on its own thread and returns its rows.
TRows RunScan(const std::vector<std::wstring>& sections,
              const registry::TScanSettings& settings = registry::ScanSettingsFromSystem());
// The rows `after` holds beyond `before` are exactly `expected` (as
// multisets), and none of `before` went missing.
::testing::AssertionResult AddsExactly(const TRows& before, const TRows& after, const TRows& expected);

// The names below HKEY_USERS of the hives that show `key` of the current user.
std::vector<std::wstring> UserHivesShowing(const std::wstring& key);

}  // namespace registry_test
