// The three deletions and their guards: backup first, nothing deleted when
// the backup cannot be made, and never a root (under any of its names), a
// first-level key, a path with empty parts, anything through a registry
// link, or a file that is not a regular shortcut.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>

#include "FixTestSupport.h"
#include "registry/fix/FixDelete.h"
#include "sys/Text.h"
#include "support/TestSupport.h"

using namespace registry;
using namespace fix_test;

namespace {

const std::wstring kBase = std::wstring(kTestKey) + L"\\Delete";

class FixDelete : public TFixTest {
 protected:
  TTempFolder folder_{L"delete"};
  std::wstring file_ = folder_.Sub(L"backup.reg");
};

}  // namespace

TEST_F(FixDelete, GuardsRefuseRootsFirstLevelKeysAndBrokenPaths) {
  SetString(HKEY_CURRENT_USER, kBase + L"\\K", L"v", L"x");
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", L"", file_).Status, dsRefused);
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", L"\\", file_).Status, dsRefused);
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", L"Software", file_).Status, dsRefused);
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", L"Software\\", file_).Status, dsRefused);
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", L"\\" + kBase, file_).Status, dsRefused);
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", kTestKey + std::wstring(L"\\\\Delete"), file_).Status, dsRefused);
  EXPECT_EQ(DeleteKeyWithBackup(L"HKCU", kBase + L"\\K", file_).Status, dsBadRoot);
  EXPECT_EQ(DeleteValueWithBackup(L"HKEY_DYN_DATA", kBase + L"\\K", true, L"v", file_).Status, dsBadRoot);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kBase + L"\\K", L"v"));
  EXPECT_FALSE(FileExists(file_));
}

TEST_F(FixDelete, NothingDeletedWithoutACompleteBackup) {
  SetString(HKEY_CURRENT_USER, kBase + L"\\Doomed", L"ok", L"x");
  SetString(HKEY_CURRENT_USER, kBase + L"\\Doomed\\Inner", L"\u4e2d", L"x");
  SetString(HKEY_CURRENT_USER, kBase + L"\\Odd", L"\u6587", L"x");
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_CURRENT_USER", kBase + L"\\Doomed", file_).Status, dsBackupFailed);
  EXPECT_EQ(DeleteValueWithBackup(L"HKEY_CURRENT_USER", kBase + L"\\Odd", true, L"\u6587", file_).Status,
            dsBackupFailed);
  const std::wstring noFolder = folder_.Sub(L"missing\\backup.reg");
  EXPECT_EQ(DeleteValueWithBackup(L"HKEY_CURRENT_USER", kBase + L"\\Doomed", true, L"ok", noFolder).Status,
            dsBackupIoError);
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kBase + L"\\Doomed\\Inner", L"\u4e2d"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kBase + L"\\Doomed", L"ok"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kBase + L"\\Odd", L"\u6587"));
  EXPECT_FALSE(FileExists(file_));
}

// The startup-programs manager deletes without a backup.
TEST_F(FixDelete, ValueWithoutBackupWritesNothing) {
  SetString(HKEY_CURRENT_USER, kBase, L"Run", L"x");
  SetString(HKEY_CURRENT_USER, kBase, L"Twin", L"x");
  EXPECT_EQ(DeleteValueWithBackup(L"HKEY_CURRENT_USER", kBase, false, L"Run", file_).Status, dsDeleted);
  EXPECT_FALSE(FileExists(file_));
  EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kBase, L"Run"));
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, kBase, L"Twin"));
}

TEST_F(FixDelete, OnlyExistingRegularShortcutFiles) {
  const std::wstring link = folder_.WriteFile(L"Dead.LNK", "L");
  const std::wstring text = folder_.WriteFile(L"notes.txt", "keep");
  const std::wstring dir = folder_.Sub(L"folder.lnk");
  ::CreateDirectoryW(dir.c_str(), nullptr);
  folder_.WriteFile(L"folder.lnk\\inside.txt", "keep");
  EXPECT_EQ(DeleteShortcutFile(text).Status, dsRefused);
  EXPECT_EQ(DeleteShortcutFile(dir).Status, dsRefused);
  EXPECT_EQ(DeleteShortcutFile(L"Dead.LNK").Status, dsRefused);  // not a full path
  EXPECT_EQ(DeleteShortcutFile(folder_.Sub(L"*.lnk")).Status, dsRefused);
  EXPECT_EQ(DeleteShortcutFile(folder_.Sub(L"gone.lnk")).Status, dsMissing);
  EXPECT_EQ(DeleteShortcutFile(link).Status, dsDeleted);
  EXPECT_FALSE(FileExists(link));
  EXPECT_TRUE(FileExists(text));
  EXPECT_TRUE(FileExists(folder_.Sub(L"folder.lnk\\inside.txt")));
}

// A root reached under another name is a root: a user's hive under
// HKEY_USERS, the classes roots below Software, the 32-bit views. Below a
// classes root only a class with no subkeys (an empty file extension) may go;
// tables such as CLSID never do. The backup here cannot be written, so a
// guard that let one through deletes nothing either.
TEST_F(FixDelete, RootsUnderAnotherNameAreRoots) {
  const std::wstring unwritable = folder_.Sub(L"missing\\backup.reg");
  const std::wstring classes = L"Software\\Classes\\";
  CreateKey(HKEY_LOCAL_MACHINE, classes + L".vantorelfixtable\\shell");
  struct Case {
    const wchar_t* root;
    std::wstring key;
  };
  for (const Case& c : {Case{L"HKEY_USERS", L".DEFAULT\\Software"}, Case{L"HKEY_USERS", L".default\\software\\"},
                        Case{L"HKEY_USERS", L".DEFAULT\\Software\\Classes"},
                        Case{L"HKEY_USERS", L"S-1-5-21-0-0-0-1000_Classes\\Wow6432Node"},
                        Case{L"HKEY_LOCAL_MACHINE", L"Software\\Classes"}, Case{L"HKEY_CURRENT_USER", L"SOFTWARE\\CLASSES"},
                        Case{L"HKEY_LOCAL_MACHINE", L"Software\\Wow6432Node"},
                        Case{L"HKEY_LOCAL_MACHINE", L"Software\\Wow6432Node\\Classes"},
                        Case{L"HKEY_LOCAL_MACHINE", L"Software\\Classes\\Wow6432Node"},
                        Case{L"HKEY_CLASSES_ROOT", L"Wow6432Node\\CLSID"},
                        Case{L"HKEY_LOCAL_MACHINE", L"Software\\Classes\\CLSID"},
                        Case{L"HKEY_LOCAL_MACHINE", classes + L".vantorelfixtable"}}) {
    TDeleteResult r = DeleteKeyWithBackup(c.root, c.key, unwritable);
    EXPECT_EQ(r.Status, dsRefused) << sys::ToUtf8(c.root + (L"\\" + c.key)) << ": " << sys::ToUtf8(r.Reason);
  }
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, classes + L".vantorelfixtable\\shell"));

  // What the empty-extension section names is still fixed, with its backup.
  CreateKey(HKEY_LOCAL_MACHINE, classes + L".vantorelfixempty");
  EXPECT_EQ(DeleteKeyWithBackup(L"HKEY_LOCAL_MACHINE", classes + L".vantorelfixempty", file_).Status, dsDeleted);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, classes + L".vantorelfixempty"));
  EXPECT_NE(ReadFileBytes(file_).find("\\Classes\\.vantorelfixempty]"), std::string::npos);
  DeleteTree(HKEY_LOCAL_MACHINE, classes + L".vantorelfixtable");
}

namespace {

// A link target of the machine's native view, outside every key a test deletes.
const std::wstring kLinkTarget = L"Software\\VantorelFixLinkTarget";

void MakeLinkTarget() {
  HKEY k = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kLinkTarget + L"\\child").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(k, L"keep", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"data"), 10);
  ::RegCloseKey(k);
}

bool LinkTargetIntact() {
  HKEY k = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kLinkTarget + L"\\child").c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &k) !=
      ERROR_SUCCESS)
    return false;
  bool found = ::RegQueryValueExW(k, L"keep", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  ::RegCloseKey(k);
  return found;
}

void RemoveLinkTarget() {
  ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (kLinkTarget + L"\\child").c_str(), KEY_WOW64_64KEY, 0);
  ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kLinkTarget.c_str(), KEY_WOW64_64KEY, 0);
}

}  // namespace

// A registry link is the registry's junction: a backup file cannot bring it
// back, and deleting through it would empty and delete the key it stands for.
// A key that is one, or holds one, is left whole and its target untouched.
TEST_F(FixDelete, ARegistryLinkIsNeverFollowed) {
  MakeLinkTarget();
  const std::wstring native = L"\\Registry\\Machine\\" + kLinkTarget;
  const std::wstring holder = kBase + L"\\Holder", inner = holder + L"\\Sub\\link", top = kBase + L"\\TopLink";
  // Under a part named like the 32-bit view, in the user's own keys. The key
  // that holds it shows that part alone in the 32-bit view, so it has no
  // other subkeys here.
  const std::wstring wow = kBase + L"\\Wow\\Wow6432Node\\WowLink";
  SetString(HKEY_CURRENT_USER, holder + L"\\Sub", L"mine", L"x");
  CreateKey(HKEY_CURRENT_USER, kBase + L"\\Wow");
  if (!MakeRegLink(inner, native) || !MakeRegLink(top, native) || !MakeRegLink(wow, native)) {
    RemoveRegLink(inner);
    RemoveRegLink(top);
    RemoveLinkTarget();
    GTEST_SKIP() << "this registry makes no links";
  }
  // The link itself, or a link on the way to the key or value: refused, the target kept.
  const std::pair<const char*, std::function<TDeleteResult()>> refused[] = {
      {"the link", [&] { return DeleteKeyWithBackup(L"HKEY_CURRENT_USER", top, file_); }},
      {"a key below it", [&] { return DeleteKeyWithBackup(L"HKEY_CURRENT_USER", top + L"\\child", file_); }},
      {"a value below it",
       [&] { return DeleteValueWithBackup(L"HKEY_CURRENT_USER", top + L"\\child", true, L"keep", file_); }},
      {"without a backup",
       [&] { return DeleteValueWithBackup(L"HKEY_CURRENT_USER", top + L"\\child", false, L"keep", file_); }},
      {"the link under Wow6432Node", [&] { return DeleteKeyWithBackup(L"HKEY_CURRENT_USER", wow, file_); }},
      {"a key below the link under Wow6432Node",
       [&] { return DeleteKeyWithBackup(L"HKEY_CURRENT_USER", wow + L"\\child", file_); }},
      {"a value below the link under Wow6432Node",
       [&] { return DeleteValueWithBackup(L"HKEY_CURRENT_USER", wow + L"\\child", true, L"keep", file_); }},
  };
  for (const auto& row : refused) {
    TDeleteResult r = row.second();
    EXPECT_EQ(r.Status, dsRefused) << row.first << ": " << sys::ToUtf8(r.Reason);
    EXPECT_NE(r.Reason.find(L"registry link"), std::wstring::npos) << row.first;
    EXPECT_TRUE(LinkTargetIntact()) << row.first;
  }
  TDeleteResult r = DeleteKeyWithBackup(L"HKEY_CURRENT_USER", holder, file_);
  EXPECT_EQ(r.Status, dsBackupFailed) << sys::ToUtf8(r.Reason);
  EXPECT_TRUE(LinkTargetIntact());
  EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, holder + L"\\Sub", L"mine"));
  EXPECT_FALSE(FileExists(file_));
  RemoveRegLink(inner);
  RemoveRegLink(top);
  RemoveRegLink(wow);
  RemoveLinkTarget();
}

namespace {

// Swaps a key on the way to an entry, over and over, between the user's own
// key and a link to the machine's key, as a program of the user could.
class TPathSwapper {
 public:
  TPathSwapper(std::wstring key, std::wstring target)
      : key_(std::move(key)), target_(std::move(target)), thread_([this] { Run(); }) {}
  ~TPathSwapper() {
    stop_ = true;
    thread_.join();
    RemoveRegLink(key_);
    DeleteTree(HKEY_CURRENT_USER, key_);
  }
  int Swaps() const { return swaps_; }
  // Until the first swap is done, so that every call meets a swapping key.
  void WaitRunning() const {
    for (int ms = 0; swaps_ == 0 && ms < 5000; ++ms) ::Sleep(1);
  }

 private:
  void Run() {
    while (!stop_) {
      SetString(HKEY_CURRENT_USER, key_ + L"\\child", L"keep", L"mine");
      ::Sleep(swaps_ % 8 == 7 ? 20 : swaps_ % 2);  // now and then long enough for a whole fix
      DeleteTree(HKEY_CURRENT_USER, key_);  // never while it is the link: that would empty the target
      if (MakeRegLink(key_, target_)) {
        ::Sleep(swaps_ % 3 == 0);
        RemoveRegLink(key_);
      }
      ++swaps_;
    }
  }

  const std::wstring key_, target_;
  std::atomic<bool> stop_{false};
  std::atomic<int> swaps_{0};
  std::thread thread_;
};

int RaceCalls() {
  const std::wstring n = testing_support::Env(L"VANTOREL_FIX_RACE_CALLS");
  return n.empty() ? 50 : std::stoi(n);
}

}  // namespace

// The backup reads the entry on the handles its delete then uses, opened
// once part by part: a swap at any moment never puts the machine key's
// values into the backup, and never deletes them.
TEST_F(FixDelete, AKeySwappedForALinkOnTheWayNeverReachesTheBackupOrTheDelete) {
  MakeLinkTarget();
  const std::wstring mid = kBase + L"\\Race\\Mid";
  CreateKey(HKEY_CURRENT_USER, kBase + L"\\Race");  // lasting: a link would make it volatile
  if (!MakeRegLink(mid, L"\\Registry\\Machine\\" + kLinkTarget)) {
    RemoveLinkTarget();
    GTEST_SKIP() << "this registry makes no links";
  }
  RemoveRegLink(mid);
  const std::pair<const char*, std::function<TDeleteResult()>> rows[] = {
      {"one value",
       [&] { return DeleteValueWithBackup(L"HKEY_CURRENT_USER", mid + L"\\child", true, L"keep", file_); }},
      {"the whole key", [&] { return DeleteKeyWithBackup(L"HKEY_CURRENT_USER", mid + L"\\child", file_); }},
  };
  const int calls = RaceCalls();
  for (const auto& row : rows) {
    ::DeleteFileW(file_.c_str());
    int deleted = 0, refused = 0, missing = 0, failed = 0, swaps = 0;
    {
      TPathSwapper swapper(mid, L"\\Registry\\Machine\\" + kLinkTarget);
      swapper.WaitRunning();
      // As many calls again while the swapper lags, on a busy machine.
      for (int i = 0; i < calls || (swapper.Swaps() < calls / 5 && i < 2 * calls); ++i) {
        TDeleteResult r = row.second();
        deleted += r.Deleted();
        refused += r.Status == dsRefused;
        missing += r.Status == dsMissing;
        failed += r.Status != dsDeleted && r.Status != dsRefused && r.Status != dsMissing;
      }
      swaps = swapper.Swaps();
    }
    std::printf("%s: %d calls, %d deleted, %d refused, %d missing, %d swaps\n", row.first,
                deleted + refused + missing + failed, deleted, refused, missing, swaps);
    EXPECT_GT(swaps, 0) << row.first;
    EXPECT_TRUE(LinkTargetIntact()) << row.first;
    EXPECT_EQ(ReadFileBytes(file_).find("\"data\""), std::string::npos)
        << row.first << ": the target's value was backed up";
  }
  RemoveLinkTarget();
}

// The system trims a trailing dot or space from the parts of a plain path, so
// such a path names another file than the one the scan saw: it is refused,
// and the file it would have reached stays.
TEST_F(FixDelete, APathThatWouldNameAnotherFileIsRefused) {
  const std::wstring kept = folder_.WriteFile(L"keep.lnk", "L");
  for (const wchar_t* folder : {L"dir", L"dir.", L"dir "})
    ::CreateDirectoryW((L"\\\\?\\" + folder_.Sub(folder)).c_str(), nullptr);
  for (const wchar_t* file : {L"dir\\x.lnk", L"dir.\\x.lnk", L"dir \\x.lnk"}) {
    HANDLE h = ::CreateFileW((L"\\\\?\\" + folder_.Sub(file)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                             nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
  }
  for (const wchar_t* name : {L"keep.lnk.", L"keep.lnk ", L"keep.lnk. ", L"dir.\\x.lnk", L"dir \\x.lnk"}) {
    TDeleteResult r = DeleteShortcutFile(folder_.Sub(name));
    EXPECT_EQ(r.Status, dsRefused) << sys::ToUtf8(name);
  }
  EXPECT_TRUE(FileExists(kept));
  EXPECT_TRUE(FileExists(folder_.Sub(L"dir\\x.lnk")));
  for (const wchar_t* file : {L"dir.\\x.lnk", L"dir \\x.lnk"})
    EXPECT_TRUE(FileExists(L"\\\\?\\" + folder_.Sub(file))) << sys::ToUtf8(file);
  // Only their literal names reach these again.
  for (const wchar_t* folder : {L"dir.", L"dir "}) {
    ::DeleteFileW((L"\\\\?\\" + folder_.Sub(folder) + L"\\x.lnk").c_str());
    ::RemoveDirectoryW((L"\\\\?\\" + folder_.Sub(folder)).c_str());
  }
}

// Under Wine a link to a file looks like a plain file and deleting it deletes
// the file it points at: such a shortcut is refused.
TEST_F(FixDelete, AShortcutThatIsALinkIsRefused) {
  const std::wstring target = folder_.WriteFile(L"real.lnk", "L");
  const std::wstring link = folder_.Sub(L"linked-shortcut.lnk");
  if (!testing_support::MakeSymlink(target, link)) GTEST_SKIP() << "links can only be made under Wine";
  EXPECT_EQ(DeleteShortcutFile(link).Status, dsRefused);
  EXPECT_TRUE(FileExists(target));
  // Only a Unix tool removes the link itself; named by its folder, so nothing resolves it.
  testing_support::RunUnix(L"/bin/rm -f \"" + testing_support::ToUnixPath(folder_.Sub(L"")) + L"/linked-shortcut.lnk\"");
}
