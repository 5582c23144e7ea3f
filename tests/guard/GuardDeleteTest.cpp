// The deletes of the guarded-delete module against the test prefix: a
// registry link is never followed for a key tree, all values or one value,
// and a file is deleted only when its handle is the file its name names.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <userenv.h>

#include <algorithm>
#include <vector>

#include "Scratch.h"
#include "support/Registry.h"
#include "support/TestSupport.h"
#include "core/guard/FileCreate.h"
#include "core/guard/FileDelete.h"
#include "core/guard/LockedPlaces.h"
#include "core/guard/NtFiles.h"
#include "core/guard/PinnedMove.h"
#include "core/guard/PinnedOpen.h"
#include "core/guard/Redirection.h"
#include "core/guard/RegistryEntry.h"
#include "core/guard/RegistryGuard.h"
#include "core/guard/SettingsFile.h"

using namespace core::guard;
using core_test::ScratchFolder;
using testing_support::MakeRegLink;
using testing_support::MakeSymlink;
using testing_support::NativeUserKey;

namespace {

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

const std::wstring kBase = L"Software\\VantorelTests\\Guard";
const std::wstring kTarget = L"Software\\VantorelTests\\GuardTarget";
// A link under a part named like the 32-bit view; the key holding that part
// shows it alone in the 32-bit view, so it holds nothing else.
const std::wstring kWowLink = kBase + L"\\wow\\Wow6432Node\\link";

bool MakeKey(const std::wstring& key, const wchar_t* value) {
  HKEY h = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) != 0) {
    return false;
  }
  if (value != nullptr) ::RegSetValueExW(h, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
  ::RegCloseKey(h);
  return true;
}

bool HasValue(const std::wstring& key, const wchar_t* value) {
  HKEY h = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &h) != 0) return false;
  bool has = ::RegQueryValueExW(h, value, nullptr, nullptr, nullptr, nullptr) == 0;
  ::RegCloseKey(h);
  return has;
}

// An entry below HKEY_CURRENT_USER held for a delete.
KeyEntry Held(const std::wstring& path, EntryScope scope) {
  return KeyEntry(HKEY_CURRENT_USER, path, scope, kEntryDelete);
}

class GuardRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    TearDown();
    ASSERT_TRUE(MakeKey(kTarget + L"\\child", L"keep"));
    ASSERT_TRUE(MakeKey(kTarget, L"top"));
    ASSERT_TRUE(MakeKey(kBase + L"\\tree\\sub", L"v"));
    ASSERT_TRUE(MakeKey(kBase + L"\\wow", nullptr));
    linked_ = MakeRegLink(kBase + L"\\link", NativeUserKey(kTarget)) &&
              MakeRegLink(kBase + L"\\tree\\sub\\link", NativeUserKey(kTarget)) &&
              MakeRegLink(kWowLink, NativeUserKey(kTarget));
    if (linked_) linked_ = HasValue(kBase + L"\\link", L"top");
  }
  void TearDown() override {
    testing_support::RemoveRegLink(kWowLink);
    for (const wchar_t* key : {L"\\wow\\Wow6432Node", L"\\wow"})
      ::RegDeleteKeyExW(HKEY_CURRENT_USER, (kBase + key).c_str(), KEY_WOW64_64KEY, 0);
    DeleteKeyTree(HKEY_CURRENT_USER, kBase, LinkBelow::RemoveLink);
    DeleteKeyTree(HKEY_CURRENT_USER, kTarget, LinkBelow::RemoveLink);
  }
  static bool TargetIntact() { return HasValue(kTarget, L"top") && HasValue(kTarget + L"\\child", L"keep"); }
  bool linked_ = false;
};

}  // namespace

TEST_F(GuardRegistry, ALinkIsNeverFollowed) {
  if (!linked_) GTEST_SKIP() << "this registry makes no links";
  EXPECT_TRUE(IsRegLink(HKEY_CURRENT_USER, kBase + L"\\link"));
  EXPECT_FALSE(IsRegLink(HKEY_CURRENT_USER, kBase + L"\\tree"));
  EXPECT_TRUE(IsRegLink(HKEY_CURRENT_USER, kBase + L"\\link\\child")) << "a link on the way counts as one";
  EXPECT_TRUE(IsRegLink(HKEY_CURRENT_USER, kWowLink + L"\\child")) << "a link under Wow6432Node";
  // The system's own links are passed: the 32-bit view's classes are one.
  HKEY classes = nullptr;
  bool isLink = true;
  EXPECT_EQ(OpenKeyAsItself(HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID", KEY_READ, &classes, &isLink),
            ERROR_SUCCESS);
  EXPECT_FALSE(isLink);
  if (classes != nullptr) ::RegCloseKey(classes);
  // A held key's values reach through a system link at the key itself;
  // the key itself is the link.
  EXPECT_TRUE(KeyEntry(HKEY_LOCAL_MACHINE, L"Software\\Classes", EntryScope::Values, kEntryRead).IsOpen());
  // Under a root handle too: the 32-bit view's type libraries are shared.
  EXPECT_EQ(OpenKeyAsItself(HKEY_CLASSES_ROOT, L"TypeLib\\VantorelNoSuchKey", KEY_READ, &classes, &isLink),
            ERROR_FILE_NOT_FOUND);
  struct Row {
    const char* what;
    LONG (*run)();
    LONG expected;
  };
  const Row rows[] = {
      {"one value", [] { return DeleteOneValue(HKEY_CURRENT_USER, kBase + L"\\link", L"top"); }, kLinkMet},
      {"all values", [] { return DeleteAllValues(HKEY_CURRENT_USER, kBase + L"\\link"); }, kLinkMet},
      {"key tree, stop", [] { return DeleteKeyTree(HKEY_CURRENT_USER, kBase + L"\\link", LinkBelow::Stop); },
       kLinkMet},
      {"tree with a link below, stop",
       [] { return DeleteKeyTree(HKEY_CURRENT_USER, kBase + L"\\tree", LinkBelow::Stop); }, kLinkMet},
      {"one value, through a link under Wow6432Node",
       [] { return DeleteOneValue(HKEY_CURRENT_USER, kWowLink + L"\\child", L"keep"); }, kLinkMet},
      {"key tree through a link under Wow6432Node",
       [] { return DeleteKeyTree(HKEY_CURRENT_USER, kWowLink + L"\\child", LinkBelow::Stop); }, kLinkMet},
      {"held value through a link under Wow6432Node",
       [] { return Held(kWowLink + L"\\child", EntryScope::Values).DeleteValue(L"keep"); }, kLinkMet},
      {"held value of the link itself", [] { return Held(kBase + L"\\link", EntryScope::Values).DeleteValue(L"top"); },
       kLinkMet},
      {"held tree with a link below", [] { return Held(kBase + L"\\tree", EntryScope::Tree).DeleteTree(); }, kLinkMet},
      {"held tree of the link itself", [] { return Held(kBase + L"\\link", EntryScope::Tree).DeleteTree(); }, kLinkMet},
      {"tree with a link below, link removed",
       [] { return DeleteKeyTree(HKEY_CURRENT_USER, kBase + L"\\tree", LinkBelow::RemoveLink); },
       static_cast<LONG>(ERROR_SUCCESS)},
      {"one value, through a link", [] { return DeleteOneValue(HKEY_CURRENT_USER, kBase + L"\\link\\child", L"keep"); },
       kLinkMet},
      {"all values, through a link", [] { return DeleteAllValues(HKEY_CURRENT_USER, kBase + L"\\link\\child"); },
       kLinkMet},
      {"key tree through a link, stop",
       [] { return DeleteKeyTree(HKEY_CURRENT_USER, kBase + L"\\link\\child", LinkBelow::Stop); }, kLinkMet},
      {"key tree through a link, link removed",
       [] { return DeleteKeyTree(HKEY_CURRENT_USER, kBase + L"\\link\\child", LinkBelow::RemoveLink); }, kLinkMet},
      {"the link itself", [] { return DeleteKeyTree(HKEY_CURRENT_USER, kBase + L"\\link", LinkBelow::RemoveLink); },
       static_cast<LONG>(ERROR_SUCCESS)},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.run(), r.expected) << r.what;
    EXPECT_TRUE(TargetIntact()) << r.what;
  }
  HKEY h = nullptr;
  EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, (kBase + L"\\tree").c_str(), 0, KEY_READ, &h), ERROR_SUCCESS);
}

TEST_F(GuardRegistry, PlainKeysAndValuesGo) {
  EXPECT_EQ(DeleteOneValue(HKEY_CURRENT_USER, kTarget, L"top"), ERROR_SUCCESS);
  EXPECT_FALSE(HasValue(kTarget, L"top"));
  EXPECT_EQ(DeleteOneValue(HKEY_CURRENT_USER, kTarget, L"top"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(DeleteAllValues(HKEY_CURRENT_USER, kTarget + L"\\child"), ERROR_SUCCESS);
  EXPECT_FALSE(HasValue(kTarget + L"\\child", L"keep"));
  EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, kTarget, LinkBelow::Stop), ERROR_SUCCESS);
  EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, L"", LinkBelow::Stop), ERROR_ACCESS_DENIED);
}

namespace {

bool MakeFile(const std::wstring& path, const std::string& content, DWORD attributes = 0) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  ::CloseHandle(h);
  return attributes == 0 || ::SetFileAttributesW(path.c_str(), attributes);
}

}  // namespace

// Wine shows a Unix link to a file as a plain file: its name only tells. A
// link may differ from its target only in letter case, or only by a
// trailing dot that a plain path loses. Each file is first opened for its
// content, as a database or a wipe opens it, then deleted by its path: the
// open also refuses a second name and a file swapped in after the listing,
// which the delete, removing a name only, takes.
TEST(GuardFiles, AFileIsDeletedOnlyAsItself) {
  ScratchFolder box;
  const std::wstring dir = box.Path() + L"\\";
  ASSERT_TRUE(MakeFile(dir + L"plain.tmp", "go"));
  ASSERT_TRUE(MakeFile(dir + L"other-case.tmp", "go"));
  ASSERT_TRUE(MakeFile(dir + L"swapped.tmp", "go"));
  ASSERT_TRUE(MakeFile(dir + L"stranger.tmp", "stranger"));
  ASSERT_TRUE(MakeFile(dir + L"first.txt", "keep"));
  ASSERT_TRUE(::CreateHardLinkW((dir + L"second.tmp").c_str(), (dir + L"first.txt").c_str(), nullptr));
  ASSERT_TRUE(MakeFile(dir + L"readonly.tmp", "go", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(MakeFile(dir + L"caselink.tmp", "keep"));
  ASSERT_TRUE(MakeFile(dir + L"keep.dat", "keep"));
  ASSERT_TRUE(MakeFile(dir + L"secret.txt", "keep"));
  ASSERT_TRUE(MakeFile(L"\\\\?\\" + dir + L"own.dat.", "go"));
  ASSERT_TRUE(MakeFile(dir + L"own.dat", "keep"));
  bool links = MakeSymlink(dir + L"caselink.tmp", dir + L"CaseLink.tmp") &&
               MakeSymlink(dir + L"keep.dat", dir + L"keep.dat.") && MakeSymlink(dir + L"secret.txt", dir + L"to.txt");
  struct Row {
    const wchar_t* name;
    bool needsLinks;
    FileDeleteResult expected;
    PinnedOpenResult opened;
    bool swapAtOpen = false;  // swapped for stranger.tmp between the listing and the open
  };
  const Row rows[] = {
      {L"plain.tmp", false, FileDeleteResult::Deleted, PinnedOpenResult::Opened},
      {L"OTHER-CASE.TMP", false, FileDeleteResult::Deleted, PinnedOpenResult::Opened},
      {L"readonly.tmp", false, FileDeleteResult::Deleted, PinnedOpenResult::Opened},
      {L"own.dat.", false, FileDeleteResult::Deleted, PinnedOpenResult::Opened},
      {L"missing.tmp", false, FileDeleteResult::Missing, PinnedOpenResult::Missing},
      {L"second.tmp", false, FileDeleteResult::Deleted, PinnedOpenResult::OtherName},
      {L"swapped.tmp", false, FileDeleteResult::Deleted, PinnedOpenResult::Refused, true},
      {L"to.txt", true, FileDeleteResult::Refused, PinnedOpenResult::Refused},
      {L"CaseLink.tmp", true, FileDeleteResult::Refused, PinnedOpenResult::Refused},
      {L"keep.dat.", true, FileDeleteResult::Refused, PinnedOpenResult::Refused},
  };
  FolderPin pin(dir);
  for (const Row& r : rows) {
    if (r.needsLinks && !links) continue;
    SCOPED_TRACE(std::string(r.name, r.name + wcslen(r.name)));
    bool swapped = false;
    if (r.swapAtOpen) {
      SetBeforeContentOpen([&](const std::wstring& path) {
        swapped = ::MoveFileW(path.c_str(), (dir + L"moved.tmp").c_str()) &&
                  ::MoveFileW((dir + L"stranger.tmp").c_str(), path.c_str());
      });
    }
    PinnedOpen opened = OpenPinnedFile(pin, r.name, GENERIC_READ | GENERIC_WRITE, nt::kShareAll, PinnedCreate::No);
    SetBeforeContentOpen(nullptr);
    EXPECT_EQ(opened.result, r.opened);
    EXPECT_EQ(swapped, r.swapAtOpen);
    if (opened.handle != INVALID_HANDLE_VALUE) ::CloseHandle(opened.handle);
    if (swapped) {
      EXPECT_EQ(core_test::ReadFileBytes(dir + r.name), "stranger");
    }
    EXPECT_EQ(DeleteNamedFile(dir + r.name), r.expected);
    if (r.expected == FileDeleteResult::Deleted) {
      EXPECT_EQ(::GetFileAttributesW((L"\\\\?\\" + dir + r.name).c_str()), INVALID_FILE_ATTRIBUTES);
    }
  }
  // Two names that differ only in letter case (made on the Unix side, where
  // they can be): each is found as written, with its own file id.
  if (links) {
    const std::wstring unixDir = testing_support::ToUnixPath(box.Path());
    testing_support::RunUnix(L"/bin/sh -c \"printf Dup > '" + unixDir + L"/Dup.tmp' && printf dup > '" + unixDir +
                             L"/dup.tmp'\"");
    for (int i = 0; i < 100 && !(core_test::Exists(dir + L"Dup.tmp") && core_test::Exists(dir + L"dup.tmp")); ++i)
      ::Sleep(50);
    for (const wchar_t* name : {L"Dup.tmp", L"dup.tmp"}) {
      PinnedOpen dup = OpenPinnedFile(pin, name, GENERIC_READ, nt::kShareAll, PinnedCreate::No);
      ASSERT_EQ(dup.result, PinnedOpenResult::Opened) << Narrow(name);
      char read[8] = {};
      DWORD got = 0;
      ::ReadFile(dup.handle, read, sizeof(read), &got, nullptr);
      ::CloseHandle(dup.handle);
      EXPECT_EQ(std::string(read, got), Narrow(name).substr(0, 3));
    }
  }
  for (const wchar_t* kept : {L"caselink.tmp", L"keep.dat", L"secret.txt", L"own.dat", L"first.txt"}) {
    EXPECT_EQ(core_test::ReadFileBytes(dir + kept), "keep") << std::string(kept, kept + wcslen(kept));
  }
  EXPECT_EQ(DeleteNamedFile(dir + L"*.tmp"), FileDeleteResult::Refused);
  EXPECT_EQ(DeleteNamedFile(dir + L"plain.tmp::$DATA"), FileDeleteResult::Refused);
  EXPECT_EQ(DeleteListedFile(box.Path() + L"\\..\\", box.Path().substr(box.Path().find_last_of(L'\\') + 1),
                             FILE_ATTRIBUTE_DIRECTORY),
            FileDeleteResult::Refused);
  for (const wchar_t* link : {L"CaseLink.tmp", L"keep.dat.", L"to.txt"}) {
    testing_support::RunUnix(L"/bin/rm -f " + testing_support::ToUnixPath(dir) + L"/" + link);
  }
  if (!links) GTEST_SKIP() << "the rows that need file links were not tried: links can only be made under Wine";
}

// A pinned folder is known by its handle, not its path: once the path leads
// elsewhere, nothing reached through it passes for the pinned folder's own.
TEST(GuardFiles, APinKeepsTheListedFolderWhenItsPathIsSwapped) {
  ScratchFolder box;
  for (const std::string top : {"kept", "outside"}) {
    std::wstring folder = box / std::wstring(top.begin(), top.end());
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((folder + L"\\sub").c_str(), nullptr));
    ASSERT_TRUE(MakeFile(folder + L"\\f.txt", top));
  }
  FolderPin pin(box / L"kept");
  ASSERT_TRUE(pin.IsFolder());
  EXPECT_FALSE(pin.IsLink());
  EXPECT_TRUE(pin.StillInPlace());
  EXPECT_TRUE(FolderPin(pin, L"sub").IsFolder());
  if (!testing_support::SwapForLink(box / L"kept", box / L"moved", box / L"outside")) {
    GTEST_SKIP() << "links can only be made under Wine";
  }
  EXPECT_FALSE(pin.StillInPlace());
  // Listed through its handle: the pinned folder's own file, not the link's.
  int64_t listedSize = -1;
  ListPinned(pin, [&](const ListedEntry& e) {
    if (std::wstring(e.Name()) == L"f.txt") listedSize = e.Size();
    return true;
  });
  EXPECT_EQ(listedSize, 4);
  EXPECT_EQ(DeleteListedFile(pin, L"f.txt", FILE_ATTRIBUTE_ARCHIVE), FileDeleteResult::Refused);
  FolderPin child(pin, L"sub");
  EXPECT_TRUE(child.IsReplaced());
  EXPECT_FALSE(child.IsFolder());
  EXPECT_TRUE(FolderPin(box / L"kept").IsLink());
  EXPECT_EQ(core_test::ReadFileBytes(box / L"outside\\f.txt"), "outside");
  EXPECT_EQ(core_test::ReadFileBytes(box / L"moved\\f.txt"), "kept");
  // An emptied pin is removed through its handle: an empty folder the path
  // leads to by now is not the one removed.
  for (const wchar_t* f : {L"empty", L"emptyout"}) ASSERT_TRUE(::CreateDirectoryW((box / f).c_str(), nullptr));
  FolderPin empty(box / L"empty");
  ASSERT_TRUE(testing_support::SwapForLink(box / L"empty", box / L"emptymoved", box / L"emptyout"));
  RemovePinnedFolder(empty);
  EXPECT_NE(::GetFileAttributesW((box / L"emptyout").c_str()), INVALID_FILE_ATTRIBUTES);
  FolderPin plain(box / L"emptymoved");
  EXPECT_TRUE(plain.MayRemove());
  EXPECT_TRUE(RemovePinnedFolder(plain));
  EXPECT_EQ(::GetFileAttributesW((box / L"emptymoved").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A file renamed through its folder's pin takes a name that something bears
// only when asked to replace it, and then replaces the name, a link itself,
// never the link's target.
TEST(GuardFiles, ARenameThroughAPinReplacesANameOnlyWhenAskedTo) {
  ScratchFolder box;
  ASSERT_TRUE(::CreateDirectoryW((box / L"outside").c_str(), nullptr));
  ASSERT_TRUE(MakeFile(box / L"outside\\victim.txt", "victim"));
  enum Bearer { kNothing, kFile, kLink };
  struct Row {
    Bearer bearer;
    RenameOver over;
    DWORD result;
  };
  const Row rows[] = {
      {kNothing, RenameOver::Nothing, ERROR_SUCCESS}, {kFile, RenameOver::Nothing, ERROR_ALREADY_EXISTS},
      {kLink, RenameOver::Nothing, ERROR_ALREADY_EXISTS}, {kNothing, RenameOver::Name, ERROR_SUCCESS},
      {kFile, RenameOver::Name, ERROR_SUCCESS},          {kLink, RenameOver::Name, ERROR_SUCCESS},
  };
  bool links = true;
  FolderPin pin(box.Path());
  for (const Row& r : rows) {
    const char* const bearers[] = {"nothing", "a file", "a link"};
    SCOPED_TRACE(std::string("the name bears ") + bearers[r.bearer] + (r.over == RenameOver::Name ? ", replaced" : ""));
    ASSERT_TRUE(MakeFile(box / L"moved.txt", "moved"));
    if (r.bearer == kFile) {
      ASSERT_TRUE(MakeFile(box / L"name.txt", "taken"));
    }
    if (r.bearer == kLink && !(links = MakeSymlink(box / L"outside\\victim.txt", box / L"name.txt"))) continue;
    PinnedOpen moved = OpenPinnedFile(pin, L"moved.txt", DELETE | SYNCHRONIZE, nt::kShareAll, PinnedCreate::No);
    ASSERT_EQ(moved.result, PinnedOpenResult::Opened);
    EXPECT_EQ(RenameInPin(moved.handle, pin, L"name.txt", r.over), r.result);
    ::CloseHandle(moved.handle);
    const bool renamed = r.result == ERROR_SUCCESS;
    EXPECT_EQ(core_test::ReadFileBytes(box / L"name.txt"),
              renamed ? "moved" : r.bearer == kFile ? "taken" : "victim");
    EXPECT_EQ(core_test::Exists(box / L"moved.txt"), !renamed);
    EXPECT_EQ(core_test::ReadFileBytes(box / L"outside\\victim.txt"), "victim");
    testing_support::RunUnix(L"/bin/rm -f " + testing_support::ToUnixPath(box / L"name.txt"));
    for (int i = 0; i < 100 && core_test::Exists(box / L"name.txt"); ++i) ::Sleep(50);
    ::DeleteFileW((box / L"moved.txt").c_str());
  }
  if (!links) GTEST_SKIP() << "links can only be made under Wine: the link rows were not run";
}

// A redirection scope sets the calling thread's redirection of the system
// folder's name for its life, and puts back what the thread had, whichever
// way the thread had it.
TEST(GuardFiles, ARedirectionScopePutsTheThreadsOwnBack) {
  wchar_t buf[MAX_PATH + 1] = {};
  const std::wstring system(buf, ::GetSystemDirectoryW(buf, MAX_PATH));
  const std::wstring wow64(buf, ::GetSystemWow64DirectoryW(buf, MAX_PATH));
  BOOL wow = FALSE;
  if (wow64.empty() || !::IsWow64Process(::GetCurrentProcess(), &wow) || !wow) {
    GTEST_SKIP() << "no redirection for this program";
  }
  // "system32" opens the 32-bit view while the thread has the redirection on.
  auto indexOf = [](const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, nt::kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ULONGLONG index = 0;
    if (h != INVALID_HANDLE_VALUE && !nt::FileIndex(h, &index)) index = 0;
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    return index;
  };
  const ULONGLONG view32 = indexOf(wow64);
  ASSERT_NE(view32, 0u);
  auto redirected = [&] { return indexOf(system) == view32; };
  struct Row {
    bool offBefore;
    ThreadRedirection::Mode mode;
    bool apply;
    bool offInside;
  };
  const Row rows[] = {
      {false, ThreadRedirection::Off, true, true},      {true, ThreadRedirection::Off, true, true},
      {false, ThreadRedirection::Default, true, false}, {true, ThreadRedirection::Default, true, false},
      {false, ThreadRedirection::Off, false, false},    {true, ThreadRedirection::Default, false, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.offBefore ? "off" : "on") + (r.mode == ThreadRedirection::Off ? ", Off" : ", Default") +
                 (r.apply ? "" : ", not applied"));
    PVOID own = nullptr;
    ASSERT_TRUE(!r.offBefore || ::Wow64DisableWow64FsRedirection(&own));
    {
      const ThreadRedirection scope(r.mode, r.apply);
      EXPECT_EQ(scope.Changed(), r.apply);
      EXPECT_EQ(!redirected(), r.offInside);
    }
    EXPECT_EQ(!redirected(), r.offBefore);
    if (r.offBefore) ::Wow64RevertWow64FsRedirection(own);
  }
}

// A shared folder is known by identity: a link below it refuses the pin at
// any depth, however the shared folder itself was reached; above it, and
// with no link below it, the pin goes through. A link of the user's is
// followed only out of the places they could not change, known by identity
// too: a second link, or the place's own name, changes nothing. Every pin
// that follows links keeps to that: a named file's delete, a new file.
TEST(GuardFiles, ALinkBelowASharedFolderStopsThePinHoweverItIsReached) {
  ScratchFolder box;
  for (const wchar_t* f : {L"shared", L"shared\\x", L"shared\\x\\plain", L"shared\\y", L"outside", L"own"}) {
    ASSERT_TRUE(::CreateDirectoryW((box / f).c_str(), nullptr));
  }
  if (!MakeSymlink(box / L"outside", box / L"shared\\x\\L")) GTEST_SKIP() << "links can only be made under Wine";
  ASSERT_TRUE(MakeSymlink(box / L"outside", box / L"shared\\y\\L"));
  ASSERT_TRUE(MakeSymlink(box / L"shared", box / L"toshared"));
  ASSERT_TRUE(MakeSymlink(box / L"outside", box / L"own\\L"));
  wchar_t buf[MAX_PATH + 1] = {};
  const std::wstring windows(buf, ::GetWindowsDirectoryW(buf, MAX_PATH));
  const std::wstring system(buf, ::GetSystemDirectoryW(buf, MAX_PATH));
  const std::wstring programs(buf, ::GetEnvironmentVariableW(L"ProgramW6432", buf, MAX_PATH));
  const std::wstring programData = ::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, buf) == S_OK ? buf : L"";
  DWORD size = MAX_PATH;
  const std::wstring users = ::GetProfilesDirectoryW(buf, &size) ? buf : L"";
  ASSERT_FALSE(programs.empty() || programData.empty() || users.empty());
  const std::wstring otherUser = users + L"\\VantorelOtherUser";
  const std::wstring otherDrive = testing_support::BuildDir() + L"\\vantorel-pin-outside";
  const std::wstring ownName = ::SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, buf) == S_OK ? buf : L"";
  const std::wstring own = L"tousers" + ownName.substr(ownName.find_last_of(L'\\')) + L"\\VantorelPinOwn";
  // The system's own name for the real system folder is that folder, not a
  // link of the user's, and not the 32-bit view "system32" opens.
  testing_support::MakeFolders(system + L"\\VantorelPin\\sub");
  testing_support::MakeFolders(windows + L"\\sysnative\\VantorelPin");
  FolderPin native(windows + L"\\sysnative\\VantorelPin", FollowLink::Yes);
  EXPECT_TRUE(native.IsFolder());
  EXPECT_EQ(native.LinkIntoPlace(), L"");
  EXPECT_EQ(native.FirstLink(), L"");
  EXPECT_NE(native.Identity().index, FolderPin(system + L"\\VantorelPin").Identity().index);
  // A thread that turned the redirection off names the real one "system32".
  PVOID redirection = nullptr;
  if (::Wow64DisableWow64FsRedirection(&redirection)) {
    FolderPin real(windows + L"\\system32\\VantorelPin", FollowLink::Yes);
    ::Wow64RevertWow64FsRedirection(redirection);
    EXPECT_TRUE(real.IsFolder());
    EXPECT_EQ(real.Identity().index, native.Identity().index);
  }
  // Letters of the user's for the Windows folder, Program Files and
  // ProgramData: a place is the same by any letter. Letters onto a folder
  // inside a place, the Users folder or a shared folder: it lies there
  // whichever letter names it. Letters onto folders of the user's own.
  using testing_support::MappedDrive;
  const std::wstring defaultProfile = users + L"\\Default", ownLetter = ownName + L"\\VantorelPinLetter";
  const bool madeDefault = !core_test::Exists(defaultProfile);
  for (const std::wstring& folder : {defaultProfile, otherUser, ownLetter, otherDrive + L"\\letter"}) {
    testing_support::MakeFolders(folder);
  }
  const MappedDrive letters[] = {{L'X', windows},
                                 {L'P', programs},
                                 {L'Q', programData},
                                 {L'U', users + L"\\Public"},
                                 {L'V', defaultProfile},
                                 {L'W', windows + L"\\temp"},
                                 {L'S', system},
                                 {L'R', programs + L"\\Common Files"},
                                 {L'O', otherUser},
                                 {L'M', ownLetter},
                                 {L'N', otherDrive + L"\\letter"},
                                 {L'K', box / L"shared\\y"}};
  for (const MappedDrive& letter : letters) ASSERT_TRUE(letter.Mapped());
  struct Link {
    const wchar_t* name;
    std::wstring target;
  };
  const Link links[] = {
      {L"tosystem", system + L"\\VantorelPin"}, {L"toprograms", programs + L"\\VantorelPin"},
      {L"toprogramdata", programData + L"\\VantorelPin"}, {L"toother", otherUser + L"\\AppData\\Local\\Temp"},
      {L"tousers", users}, {L"toroot", windows.substr(0, 3)}, {L"toz", otherDrive},
      {L"tolink", box / L"tosystem"},  // a second link, to the first
      {L"tonative", windows + L"\\sysnative\\VantorelPin"},  // the real system folder, by the system's name
      {L"toletterx", L"X:\\VantorelPin"}, {L"towindowsx", windows + L"\\VantorelPinX"},
      {L"toletterp", L"P:\\VantorelPin"}, {L"toletterq", L"Q:\\VantorelPin"},
      {L"toletteru", L"U:\\VantorelPin"}, {L"toletterv", L"V:\\VantorelPin"}, {L"toletterw", L"W:\\VantorelPin"},
      {L"toletters", L"S:\\VantorelPin"}, {L"toletterr", L"R:\\VantorelPin"}, {L"tolettero", L"O:\\VantorelPin"},
      {L"toletterm", L"M:\\VantorelPin"}, {L"tolettern", L"N:\\VantorelPin"},
      {L"toletterk", L"K:\\"}, {L"toinshared", box / L"shared\\y"},  // a folder below the shared one
  };
  testing_support::MakeFolders(ownName + L"\\VantorelPinOwn");
  for (const Link& l : links) {
    testing_support::MakeFolders(l.target);
    ASSERT_TRUE(MakeSymlink(l.target, box / l.name)) << l.name;
  }
  SharedFolders shared;
  shared.Add(box / L"shared");
  // Known by volume and index: the same index on another volume is another folder.
  FolderIdentity sharedId = FolderPin(box / L"shared").Identity();
  EXPECT_TRUE(shared.Contains(sharedId));
  EXPECT_FALSE(shared.Contains(FolderIdentity{sharedId.volume + 1, sharedId.index}));
  struct DenyAll : IUserRights {
    UserRight MayDelete(HANDLE) override { return UserRight::Denied; }
  } denyAll;
  struct ScopedRights {
    explicit ScopedRights(IUserRights* fake) : saved(fake != nullptr ? SetUserRights(fake) : nullptr) {}
    ~ScopedRights() {
      if (saved != nullptr) SetUserRights(saved);
    }
    IUserRights* saved;
  };
  struct Row {
    std::wstring folder;
    bool refused;
    const wchar_t* firstLink;  // relative; empty: none
    std::wstring into;         // the place a link of the user's would lead into; empty: followed
    bool userMayNotDelete = false;
  };
  const Row rows[] = {
      {L"shared\\x\\L", true, L"shared\\x\\L"},
      {L"toshared\\x\\L", true, L"toshared"},  // the user's own link, then one below the shared folder
      {L"toshared\\x\\plain", false, L"toshared"},
      {L"shared\\x\\plain", false, L""},
      {L"own\\L", false, L"own\\L"},            // not below a shared folder: the user's own layout
      {L"tosystem", false, L"tosystem", windows},
      {L"toprograms", false, L"toprograms", programs},
      {L"toprogramdata", false, L"toprogramdata", programData},
      {L"toother", false, L"toother", L"another user's profile"},
      {L"tousers", false, L"tousers", users},
      {L"toroot", false, L"toroot", windows.substr(0, 3)},
      {L"tolink", false, L"tolink", windows},
      {L"toz", false, L"toz"},  // another drive of the user's
      {L"own\\L", false, L"own\\L", box / L"outside", true},  // where the user's own token could not delete
      // A link into the Users folder is judged where the whole path ends.
      {own, false, L"tousers"},
      {L"tousers\\VantorelOtherUser\\AppData", false, L"tousers", L"another user's profile"},
      {L"tonative", false, L"tonative", windows},
      {L"toletterx", false, L"toletterx", windows},
      {L"towindowsx", false, L"towindowsx", windows},
      {L"toletterp", false, L"toletterp", programs},
      {L"toletterq", false, L"toletterq", programData},
      {L"toletteru", false, L"toletteru", L"another user's profile"},
      {L"toletterv", false, L"toletterv", L"another user's profile"},
      {L"toletterw", false, L"toletterw", windows},
      {L"toletters", false, L"toletters", windows},
      {L"toletterr", false, L"toletterr", programs},
      {L"tolettero", false, L"tolettero", L"another user's profile"},
      {L"toletterm", false, L"toletterm"},
      {L"tolettern", false, L"tolettern"},
      {L"toletterk\\L", true, L"toletterk"},  // by a letter onto it, and by its path
      {L"toinshared\\L", true, L"toinshared"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.folder.begin(), r.folder.end()) + (r.userMayNotDelete ? " (denied)" : ""));
    ScopedRights rights(r.userMayNotDelete ? &denyAll : nullptr);
    FolderPin pin(box / r.folder, FollowLink::Yes, &shared);
    EXPECT_EQ(pin.LinkBelowShared(), r.refused);
    EXPECT_EQ(pin.LinkIntoPlace(), r.into);
    EXPECT_EQ(pin.IsFolder(), !r.refused && r.into.empty());
    EXPECT_EQ(pin.FirstLink(), *r.firstLink ? box / r.firstLink : L"");
    // A named file there, and a new one.
    if (r.refused) continue;
    const std::wstring folder = box / r.folder + L"\\";
    ASSERT_TRUE(core_test::WriteFileBytes(folder + L"f.txt", "planted"));
    EXPECT_EQ(DeleteListedFile(folder, L"f.txt", FILE_ATTRIBUTE_ARCHIVE) == FileDeleteResult::Deleted, r.into.empty());
    EXPECT_EQ(core_test::Exists(folder + L"f.txt"), !r.into.empty());
    CreatedFile made = CreateNewFile(folder + L"new.txt", GENERIC_WRITE, 0);
    EXPECT_EQ(made.Ok(), r.into.empty());
    EXPECT_EQ(core_test::Exists(folder + L"new.txt"), r.into.empty());
    if (made.Ok()) ::CloseHandle(made.Handle);
    ::DeleteFileW((folder + L"new.txt").c_str());
    ::DeleteFileW((folder + L"f.txt").c_str());
  }
  // A link on the way to a folder whose own last link would be kept as it is.
  EXPECT_EQ(FolderPin(box / L"tolink\\sub").LinkIntoPlace(), windows);
  {
    // A letter for the drive's root names every folder of the drive by itself.
    MappedDrive root(L'A', windows.substr(0, 3));
    ASSERT_TRUE(root.Mapped());
    ASSERT_TRUE(MakeSymlink(L"A:\\" + windows.substr(3) + L"\\VantorelPin", box / L"toletteraw"));
    ASSERT_TRUE(MakeSymlink(L"A:\\", box / L"toroota"));
    EXPECT_EQ(FolderPin(box / L"toletteraw", FollowLink::Yes).LinkIntoPlace(), windows);
    EXPECT_EQ(FolderPin(box / L"toroota", FollowLink::Yes).LinkIntoPlace(), L"A:\\");
  }
  for (const wchar_t* link : {L"shared\\x\\L", L"shared\\y\\L", L"toshared", L"own\\L", L"toletteraw", L"toroota"}) {
    testing_support::RunUnix(L"/bin/rm -f " + testing_support::ToUnixPath(box / link));
  }
  for (const Link& l : links) {
    testing_support::RunUnix(L"/bin/rm -f " + testing_support::ToUnixPath(box / l.name));
  }
  for (const std::wstring& made : {system + L"\\VantorelPin\\sub", system + L"\\VantorelPin", programs + L"\\VantorelPin",
                                   programData + L"\\VantorelPin", otherDrive, windows + L"\\sysnative\\VantorelPin",
                                   windows + L"\\VantorelPin", windows + L"\\VantorelPinX",
                                   ownName + L"\\VantorelPinOwn"}) {
    ::RemoveDirectoryW(made.c_str());
  }
  for (const std::wstring& made : {users + L"\\Public\\VantorelPin", windows + L"\\temp\\VantorelPin",
                                   programs + L"\\Common Files\\VantorelPin", defaultProfile + L"\\VantorelPin"}) {
    ::RemoveDirectoryW(made.c_str());
  }
  for (const std::wstring& made : {otherUser, ownLetter, otherDrive}) testing_support::RemoveFolder(made);
  if (madeDefault) testing_support::RemoveFolder(defaultProfile);
}

namespace {

// The names of the files in `folder` that start with `prefix`.
std::vector<std::wstring> NamesStartingWith(const std::wstring& folder, const std::wstring& prefix) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((folder + L"\\" + prefix + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do names.push_back(fd.cFileName);
  while (::FindNextFileW(h, &fd));
  ::FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

// The file `h` holds is the entry `name` of the folder `pin` holds, by id.
bool LiesIn(const FolderPin& pin, const std::wstring& name, HANDLE h) {
  ULONGLONG listed = 0, opened = 0;
  return FindPinned(pin, name, [&](const ListedEntry& e) { listed = e.FileId(); }) == Lookup::Found &&
         nt::FileIndex(h, &opened) && listed == opened;
}

}  // namespace

// Swaps the names "flip" and "link" of the folder it is started in, in one
// step each time, as fast as it can while "flipping" is there; two renames
// where the file system cannot swap.
const char kFlipper[] =
    "import ctypes, os, sys\n"
    "os.chdir(sys.argv[1])\n"
    "libc = ctypes.CDLL(None)\n"
    "def swap():\n"
    "    if libc.renameat2(-100, b'flip', -100, b'link', 2) != 0:\n"
    "        os.rename('flip', 'spare'); os.rename('link', 'flip'); os.rename('spare', 'link')\n"
    "while os.path.exists('flipping'):\n"
    "    swap()\n"
    "if os.path.islink('flip'):\n"
    "    swap()\n"
    "open('flipped', 'w').close()\n";

// A new file is made relative to its folder's pin: a folder flipped between
// a folder of the user's and a link below system32 while files are made
// never receives one below system32, whichever moment the flip hits (Wine
// follows a link it was asked to open itself, and names the handle a moment
// later), nor a scratch file made there (the skin reader's, say) for its
// moment. Each is looked for while its handle is open (a scratch file goes
// at its close): it lies in the user's folder, held open from before the
// flips. The flip runs on the Unix side, where no handle of this process
// holds it up.
TEST(GuardFiles, ANewFileNeverLandsWhereItsFolderIsFlippedTo) {
  ScratchFolder box;
  wchar_t buf[MAX_PATH + 1] = {};
  const std::wstring outside = std::wstring(buf, ::GetSystemDirectoryW(buf, MAX_PATH)) + L"\\VantorelFlip";
  testing_support::MakeFolders(outside);
  ASSERT_TRUE(::CreateDirectoryW((box / L"flip").c_str(), nullptr));
  if (!MakeSymlink(outside, box / L"link")) GTEST_SKIP() << "links can only be made under Wine";
  const FolderPin own(box / L"flip");
  ASSERT_TRUE(own.IsFolder());
  ASSERT_TRUE(core_test::WriteFileBytes(box / L"flipper.py", kFlipper));
  ASSERT_TRUE(core_test::WriteFileBytes(box / L"flipping", ""));
  testing_support::RunUnix(L"/usr/bin/env python3 \"" + testing_support::ToUnixPath(box / L"flipper.py") + L"\" \"" +
                           testing_support::ToUnixPath(box.Path()) + L"\"");
  int made = 0;
  for (int run = 0; run < 100; ++run) {
    const std::wstring name = L"new" + std::to_wstring(run) + L".txt";
    CreatedFile f = CreateNewFile(box / L"flip\\" + name, GENERIC_WRITE, 0);
    std::wstring path;
    CreatedFile scratch = CreateScratchFile(box / L"flip", GENERIC_READ | GENERIC_WRITE, &path);
    if (scratch.Ok()) {
      EXPECT_EQ(path.compare(0, (box / L"flip\\~vantorel-").size(), box / L"flip\\~vantorel-"), 0);
    }
    const std::wstring scratchName = path.substr(path.find_last_of(L'\\') + 1);
    for (const auto& one : {std::make_pair(&f, name), std::make_pair(&scratch, scratchName)}) {
      if (!one.first->Ok()) continue;
      ++made;
      EXPECT_FALSE(core_test::Exists(outside + L"\\" + one.second)) << Narrow(one.second);
      EXPECT_TRUE(LiesIn(own, one.second, one.first->Handle)) << Narrow(one.second);
      ::CloseHandle(one.first->Handle);
    }
    ::Sleep(run % 3);
  }
  ::DeleteFileW((box / L"flipping").c_str());
  for (int i = 0; i < 200 && !core_test::Exists(box / L"flipped"); ++i) ::Sleep(50);
  EXPECT_TRUE(core_test::Exists(box / L"flipped")) << "the flips never ran";
  EXPECT_GT(made, 0) << "no file was made in the user's folder at all";
  for (const wchar_t* prefix : {L"new", L"~vantorel-"}) {
    EXPECT_EQ(NamesStartingWith(outside, prefix), std::vector<std::wstring>()) << Narrow(prefix);
  }
  testing_support::RunUnix(L"/bin/rm -f " + testing_support::ToUnixPath(box / L"link"));
  testing_support::RemoveFolder(outside);
}

// An open file is judged again after its work by opening its name afresh:
// only the folder's own file of that name passes, never another file, a
// missing name or a link to the very file. A rename is judged so too: under
// Wine it goes by the pinned folder's name, so with the folder moved away
// and another put at its name it renames that folder's file instead, and
// the answer says the rename went to another folder; the file stays.
TEST(GuardFiles, AFileIsJudgedAgainAfterItsWork) {
  ScratchFolder box;
  ASSERT_TRUE(::CreateDirectoryW((box / L"d").c_str(), nullptr));
  ASSERT_TRUE(core_test::WriteFileBytes(box / L"d\\other", "other"));
  const FolderPin pin(box / L"d", FollowLink::Yes);
  CreatedFile f = CreateNewFileIn(pin, L"f", GENERIC_WRITE | DELETE, 0);
  ASSERT_TRUE(f.Ok());
  const bool links = MakeSymlink(box / L"d\\f", box / L"d\\tof");
  const struct {
    const wchar_t* name;
    bool passes;
  } rows[] = {{L"f", true}, {L"other", false}, {L"missing", false}, {L"tof", false}};
  for (const auto& r : rows) {
    if (!links && std::wstring(r.name) == L"tof") continue;
    EXPECT_EQ(StillPinnedAs(f.Handle, pin, r.name), r.passes) << Narrow(r.name);
  }
  EXPECT_EQ(RenameInPin(f.Handle, pin, L"g"), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(core_test::Exists(box / L"d\\g"));
  if (links) {
    testing_support::RunUnix(L"/bin/sh -c \"cd '" + testing_support::ToUnixPath(box.Path()) +
                             L"' && rm d/tof && mv d moved && mkdir d && echo planted >d/g && touch moved/planted\"");
    for (int i = 0; i < 100 && !core_test::Exists(box / L"moved\\planted"); ++i) ::Sleep(50);
    EXPECT_EQ(RenameInPin(f.Handle, pin, L"h"), kRenamedElsewhere);
    EXPECT_TRUE(core_test::Exists(box / L"moved\\g")) << "the file stays where it was";
  }
  ::CloseHandle(f.Handle);
  if (!links) GTEST_SKIP() << "links and moves on the Unix side only under Wine: those rows were not run";
}

// A settings file is read and replaced whole, never through a link: a name
// that is a link or a second name of a file is refused and the file behind
// it stays byte for byte; a link that leads nowhere is replaced itself; files
// planted under the scratch names are never written into.
TEST(GuardFiles, ASettingsFileIsReadAndReplacedWholeNeverThroughALink) {
  ScratchFolder box;
  const std::wstring dir = box.Path();
  ASSERT_TRUE(::CreateDirectoryW((box / L"outside").c_str(), nullptr));
  ASSERT_TRUE(MakeFile(box / L"outside\\victim.ini", "[Victim]\r\nkeep=1\r\n"));
  ASSERT_TRUE(MakeFile(box / L"plain.ini", "[Old]\r\nx=1\r\n"));
  ASSERT_TRUE(::CreateDirectoryW((box / L"folder.ini").c_str(), nullptr));
  ASSERT_TRUE(::CreateHardLinkW((box / L"second.ini").c_str(), (box / L"outside\\victim.ini").c_str(), nullptr));
  ASSERT_TRUE(MakeFile(box / L"outside\\nothing.ini", "gone"));
  const bool links = MakeSymlink(box / L"outside\\victim.ini", box / L"link.ini") &&
                     MakeSymlink(box / L"outside\\nothing.ini", box / L"dangling.ini");
  ASSERT_TRUE(::DeleteFileW((box / L"outside\\nothing.ini").c_str()));
  // Planted where a guess of the scratch name would land.
  ASSERT_TRUE(MakeFile(box / L"~vantorel-000000000000000000000000.tmp", "planted"));
  if (links) {
    ASSERT_TRUE(MakeSymlink(box / L"outside\\victim.ini", box / L"~vantorel-ffffffffffffffffffffffff.tmp"));
  }
  const std::vector<std::wstring> planted = NamesStartingWith(dir, L"~vantorel-");
  struct Row {
    const wchar_t* name;
    bool needsLinks;
    FileOutcome read, replace;
    const char* after;  // what the name reads as afterwards; null: as before
  };
  const Row rows[] = {
      {L"plain.ini", false, FileOutcome::Done, FileOutcome::Done, "new"},
      {L"missing.ini", false, FileOutcome::Missing, FileOutcome::Done, "new"},
      {L"second.ini", false, FileOutcome::Refused, FileOutcome::Refused, nullptr},
      {L"folder.ini", false, FileOutcome::Refused, FileOutcome::Refused, nullptr},
      {L"link.ini", true, FileOutcome::Refused, FileOutcome::Refused, nullptr},
      {L"dangling.ini", true, FileOutcome::Missing, FileOutcome::Done, "new"},
  };
  for (const Row& r : rows) {
    if (r.needsLinks && !links) continue;
    SCOPED_TRACE(std::string(r.name, r.name + wcslen(r.name)));
    std::string bytes = "unchanged";
    EXPECT_EQ(ReadWholeFile(box / r.name, &bytes), r.read);
    if (r.read != FileOutcome::Done) {
      EXPECT_EQ(bytes, "") << "nothing read through a refused name";
    } else {
      EXPECT_EQ(bytes, "[Old]\r\nx=1\r\n");
    }
    DWORD error = 0;
    EXPECT_EQ(ReplaceWholeFile(box / r.name, "new", &error), r.replace);
    if (r.after != nullptr) {
      EXPECT_EQ(core_test::ReadFileBytes(box / r.name), r.after);
    }
    EXPECT_EQ(core_test::ReadFileBytes(box / L"outside\\victim.ini"), "[Victim]\r\nkeep=1\r\n");
    EXPECT_FALSE(core_test::Exists(box / L"outside\\nothing.ini")) << "a link's target is never made";
  }
  EXPECT_EQ(NamesStartingWith(dir, L"~vantorel-"), planted) << "a scratch file left behind, or a planted one gone";
  EXPECT_EQ(core_test::ReadFileBytes(box / L"~vantorel-000000000000000000000000.tmp"), "planted");
  EXPECT_EQ(core_test::ReadFileBytes(box / L"second.ini"), "[Victim]\r\nkeep=1\r\n");
  for (const wchar_t* link : {L"link.ini", L"dangling.ini", L"~vantorel-ffffffffffffffffffffffff.tmp"}) {
    testing_support::RunUnix(L"/bin/rm -f " + testing_support::ToUnixPath(box / link));
  }
  if (!links) GTEST_SKIP() << "links can only be made under Wine: the link rows were not run";
}
