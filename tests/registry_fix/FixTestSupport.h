// Test helpers of the fix: scratch folders and registry keys inside the test
// prefix, a canonical registry dump, a recording message-box answerer, a
// clicker for the restore-point windows and the stand-in System Restore.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "registry/fix/FixRun.h"
#include "support/Folders.h"
#include "support/Registry.h"
#include "ui/MessageBox.h"

namespace fix_test {

constexpr wchar_t kTestKey[] = L"Software\\VantorelFixTest";  // below HKEY_CURRENT_USER

// A fresh folder under the prefix's temporary folder, removed with its contents.
class TTempFolder {
 public:
  explicit TTempFolder(const std::wstring& name) : folder_(L"vantorel-fix", name), path_(folder_.Dir()) {}
  const std::wstring& Path() const { return path_; }
  std::wstring Sub(const std::wstring& name) const { return path_ + L"\\" + name; }
  std::wstring WriteFile(const std::wstring& name, const std::string& bytes) const;

 private:
  testing_support::ScratchFolder folder_;
  std::wstring path_;
};

using testing_support::RemoveFolder;
inline bool FileExists(const std::wstring& path) { return testing_support::Exists(path); }
inline std::string ReadFileBytes(const std::wstring& path) { return testing_support::ReadBytes(path); }

// Registry seeding and checks below a root, shared with the other tests.
using testing_support::CreateKey;
using testing_support::DeleteTree;
using testing_support::KeyExists;
using testing_support::SetDword;
using testing_support::SetString;
using testing_support::SetValue;
using testing_support::ValueExists;
using testing_support::MakeRegLink;
using testing_support::RemoveRegLink;
using testing_support::Bytes;
using testing_support::TextBytes;

// One line per key and per value ("path" and "path|name|type|hex"), keys and
// values sorted, so that two dumps compare whole.
std::vector<std::string> DumpTree(HKEY root, const std::wstring& key);

// Answers every message box with `answer` and keeps what was asked.
class TMessageRecorder : public ui::IMessageBoxAnswerer {
 public:
  explicit TMessageRecorder(int answer);
  ~TMessageRecorder() override;
  int Answer(HWND owner, const std::wstring& text, UINT flags) override;
  struct Message {
    std::wstring Text;
    UINT Flags;
  };
  std::vector<Message> Messages;

 private:
  int answer_;
  ui::IMessageBoxAnswerer* previous_ = nullptr;
};

// Watches for a window of this process of class `className` and, once it is
// there, clicks its button captioned `button` (or closes it when `button` is
// empty). Seen() tells whether the window ever showed.
class TWindowClicker {
 public:
  TWindowClicker(const wchar_t* className, std::wstring button, DWORD delayMs = 0);
  ~TWindowClicker();
  bool Seen() const { return seen_; }
  DWORD SeenAfterMs() const { return seenAfter_; }

 private:
  void Run();
  std::wstring className_, button_;
  DWORD delay_;
  std::atomic<bool> stop_{false}, seen_{false};
  std::atomic<DWORD> seenAfter_{0};
  std::thread thread_;
};

// The stand-in library answers `answer` ("ok", "fail", "delay:N") and records
// into a file of `folder`; the real library's path comes back afterwards.
class TFakeSystemRestore {
 public:
  TFakeSystemRestore(const TTempFolder& folder, const std::string& answer);
  explicit TFakeSystemRestore(const std::wstring& libraryPath);  // another library, nothing recorded
  ~TFakeSystemRestore();
  // Every request received, 80 bytes each.
  std::string Requests() const { return record_.empty() ? std::string() : ReadFileBytes(record_); }
  static std::wstring LibraryPath();

 private:
  std::wstring record_;
};

// A test whose keys lie below kTestKey, removed before and after it.
class TFixTest : public ::testing::Test {
 protected:
  void SetUp() override { DeleteTree(HKEY_CURRENT_USER, kTestKey); }
  void TearDown() override { DeleteTree(HKEY_CURRENT_USER, kTestKey); }
  // A run into `folder` that started at 2026-12-06 08:05:09.
  static registry::TFixSettings Settings(const std::wstring& folder, int version = 13) {
    registry::TFixSettings s;
    s.OutputDirectory = folder;
    s.WindowsVersion = version;
    s.Now = SYSTEMTIME{2026, 12, 0, 6, 8, 5, 9, 0};
    return s;
  }
};

// Imports a .reg file with Wine's own registry editor ("regedit /s"); true
// when it ran and ended with 0.
using testing_support::ImportWithRegedit;

}  // namespace fix_test
