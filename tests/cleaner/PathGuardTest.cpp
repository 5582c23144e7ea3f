// The guard in front of every folder walk: accepted path forms, the folders
// it refuses or asks about, and the tricks ("..", 8.3 names, links) that
// must not get past it.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <userenv.h>

#include "CleanFakes.h"
#include "cleaner/PathGuard.h"
#include "cleaner/SystemPaths.h"
#include "cleaner/items/DataFiles.h"

using namespace cleaner;
using namespace cleaner_test;

namespace {

std::wstring ShortPath(const std::wstring& path) {
  wchar_t buf[MAX_PATH + 1] = {};
  DWORD n = ::GetShortPathNameW(path.c_str(), buf, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

PathVerdict Judge(const PathGuard& guard, const std::wstring& path, DeleteReach reach = DeleteReach::Tree) {
  return guard.CheckFolder(path, reach).verdict;
}

}  // namespace

// The accepted forms themselves are the module's file-name table.
TEST(PathGuard, CanonicalFormsOnlyOfAcceptedPaths) {
  for (const wchar_t* bad : {L"", L"x", L"C:x", L"\\\\?\\C:\\x", L"C:\\x::$INDEX_ALLOCATION"}) {
    EXPECT_EQ(PathGuard::CanonicalPath(bad), L"") << bad;
  }
  EXPECT_EQ(PathGuard::CanonicalPath(L"C:\\a\\b\\..\\c"), L"C:\\a\\c\\");
}

TEST(PathGuard, RefusesRootsAndSystemFoldersForEveryBroadDelete) {
  PathGuard guard(SystemGuardFolders());
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  std::wstring profile = SpecialFolderPath(CSIDL_PROFILE);
  ASSERT_FALSE(profile.empty());

  for (const std::wstring& p : {std::wstring(L"C:\\"), std::wstring(L"Z:\\"), std::wstring(windows),
                                std::wstring(system), profile, GetProgramFilesDir(), std::wstring(L"\\\\server\\share\\")}) {
    EXPECT_EQ(Judge(guard, p), PathVerdict::Refused) << std::string(p.begin(), p.end());
    EXPECT_EQ(Judge(guard, p, DeleteReach::AllFiles), PathVerdict::Refused);
  }
  // One named file, or a narrow mask in the Windows folder, is still fine;
  // a drive root takes no wildcard at all.
  EXPECT_EQ(Judge(guard, L"C:\\", DeleteReach::OneName), PathVerdict::Allowed);
  EXPECT_EQ(Judge(guard, windows, DeleteReach::SomeFiles), PathVerdict::Allowed);
  EXPECT_EQ(Judge(guard, L"C:\\", DeleteReach::SomeFiles), PathVerdict::Refused);
  // Below a refused folder all is ordinary.
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(Judge(guard, temp), PathVerdict::Allowed);
}

TEST(PathGuard, AsksForDocumentsAndRefusesItsAncestorsHoweverWritten) {
  PathGuard guard(SystemGuardFolders());
  std::wstring docs = GetMyDocumentsPath();
  ASSERT_FALSE(docs.empty());
  // Wine makes My Documents a link to the Unix home: the user's own layout, asked about all the same.
  EXPECT_EQ(Judge(guard, docs), PathVerdict::Ask);
  std::wstring lower = docs;
  for (auto& c : lower) c = static_cast<wchar_t>(towlower(c));
  EXPECT_EQ(Judge(guard, lower), PathVerdict::Ask);
  EXPECT_EQ(Judge(guard, docs, DeleteReach::OneName), PathVerdict::Ask);
  EXPECT_EQ(Judge(guard, docs + L".."), PathVerdict::Refused);
  EXPECT_EQ(Judge(guard, docs + L"..\\..\\"), PathVerdict::Refused);
  std::wstring profileShort = ShortPath(SpecialFolderPath(CSIDL_PROFILE));
  if (!profileShort.empty()) {
    EXPECT_EQ(Judge(guard, profileShort), PathVerdict::Refused);
  }
  std::wstring systemShort = ShortPath(GetProgramFilesDir());
  if (!systemShort.empty()) {
    EXPECT_EQ(Judge(guard, systemShort), PathVerdict::Refused);
  }
}

TEST(PathGuard, OtherSpellingsOfAProtectedFolderAreRefused) {
  PathGuard guard(SystemGuardFolders());
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  std::wstring w = windows;
  std::wstring slashes = w;
  for (auto& c : slashes) c = c == L'\\' ? L'/' : c;
  for (const std::wstring& p : {w + L".", w + L" ", w + L". .", w + L"\\.", w + L"\\\\", slashes + L"/",
                                w + L"\\System32\\..", w.substr(0, 3) + L".\\" + w.substr(3), w + L"::$INDEX_ALLOCATION",
                                std::wstring(L"C:\\.\\"), std::wstring(L"C:\\..\\.."), std::wstring(L"\\\\server\\share\\.\\"),
                                std::wstring(L"\\\\server\\share\\x\\..\\..")}) {
    PathVerdict v = Judge(guard, p);
    EXPECT_TRUE(v == PathVerdict::Refused || v == PathVerdict::Invalid) << std::string(p.begin(), p.end());
  }
}

TEST(PathGuard, ProtectsTheFoldersItIsGivenAndTheirAncestors) {
  Sandbox box(L"guard");
  box.Folder(L"a");
  box.Folder(L"a\\keep");
  box.Folder(L"a\\keep\\below");
  box.Folder(L"a\\docs");
  box.Folder(L"other");
  PathGuard guard({{box.Path(L"a\\keep")}, {box.Path(L"a\\docs")}});

  EXPECT_EQ(Judge(guard, box.Path(L"a\\keep")), PathVerdict::Refused);
  EXPECT_EQ(Judge(guard, box.Path(L"a\\KEEP\\")), PathVerdict::Refused);
  EXPECT_EQ(Judge(guard, box.Path(L"a")), PathVerdict::Refused);
  EXPECT_EQ(Judge(guard, box.Path(L"other\\..\\a")), PathVerdict::Refused);
  EXPECT_EQ(Judge(guard, box.Path(L"a\\docs")), PathVerdict::Ask);
  EXPECT_EQ(Judge(guard, box.Path(L"a\\keep\\below")), PathVerdict::Allowed);
  EXPECT_EQ(Judge(guard, box.Path(L"other")), PathVerdict::Allowed);

  // Children found by a walk are judged from their parent's key.
  CheckedFolder other = guard.CheckFolder(box.Path(L"other"), DeleteReach::Tree);
  EXPECT_EQ(guard.CheckKey(other.key + L"X\\", DeleteReach::Tree), PathVerdict::Allowed);
  CheckedFolder below = guard.CheckFolder(box.Path(L"a\\keep\\below"), DeleteReach::Tree);
  EXPECT_EQ(guard.CheckKey(below.key + L"..\\", DeleteReach::Tree), PathVerdict::Allowed)
      << "keys come from the file system and never hold \"..\"";
}

TEST(PathGuard, RefusesALinkAndWhatItLeadsTo) {
  Sandbox box(L"guard-links");
  box.Folder(L"target");
  box.File(L"target\\sentinel.txt", "keep");
  std::wstring profile = SpecialFolderPath(CSIDL_PROFILE);
  if (!MakeSymlink(box.Path(L"target"), box.Path(L"link")) || !MakeSymlink(profile, box.Path(L"toprofile"))) {
    GTEST_SKIP() << "links can only be made under Wine";
  }
  PathGuard guard(SystemGuardFolders());
  // A link an item names, or one on its way, is the user's own layout.
  CheckedFolder link = guard.CheckFolder(box.Path(L"link"), DeleteReach::Tree);
  EXPECT_TRUE(link.isLink);
  EXPECT_EQ(link.verdict, PathVerdict::Allowed);
  EXPECT_EQ(link.linkOnPath, box.Path(L"link"));
  EXPECT_EQ(guard.CheckFolder(box.Path(L"link\\"), DeleteReach::Tree).linkOnPath, box.Path(L"link"));
  EXPECT_TRUE(guard.CheckFolder(box.Path(L"target"), DeleteReach::Tree).linkOnPath.empty());
  // Through a link to the profile, even a narrow mask meets the profile.
  CheckedFolder inProfile = guard.CheckFolder(box.Path(L"toprofile\\AppData"), DeleteReach::Tree);
  EXPECT_EQ(inProfile.verdict, PathVerdict::Refused);
}

// Below ProgramData (and the Windows Temp folder, and the Public profile)
// any user may put a link: one at any level refuses the folder, and the
// clean logs why and touches nothing through it.
// Below a folder every user may write, a link is judged as the pin opens
// it, at any depth, and the shared folder is known however it is reached.
TEST(PathGuard, ALinkBelowAFolderEveryUserMayWriteRefusesTheTarget) {
  Sandbox box(L"guard-shared");
  box.Folder(L"outside");
  box.Folder(L"outside\\Cache");
  box.File(L"outside\\Cache\\secret.txt", "keep");
  std::wstring programData = SpecialFolderPath(CSIDL_COMMON_APPDATA);
  ASSERT_FALSE(programData.empty());
  std::wstring app = programData + L"VantorelSwapApp";
  std::wstring deep = programData + L"VantorelSharedDeep";
  ::CreateDirectoryW(deep.c_str(), nullptr);
  ::CreateDirectoryW((deep + L"\\x").c_str(), nullptr);
  if (!MakeSymlink(box.Path(L"outside"), app)) GTEST_SKIP() << "links can only be made under Wine";
  ASSERT_TRUE(MakeSymlink(box.Path(L"outside"), deep + L"\\x\\L"));
  ASSERT_TRUE(MakeSymlink(programData, box.Path(L"pd")));  // the user's own way to ProgramData
  // The system's junction to the Users folder, where this system has none.
  const std::wstring legacy = L"C:\\Documents and Settings";
  wchar_t users[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH;
  ASSERT_TRUE(::GetProfilesDirectoryW(users, &size));
  const bool madeLegacy = !testing_support::Exists(legacy) && MakeSymlink(users, legacy);
  const std::wstring profile = SpecialFolderPath(CSIDL_PROFILE);
  const std::wstring ownLegacy = legacy + profile.substr(profile.find_last_of(L'\\', profile.size() - 2)) +
                                 L"VantorelLegacy";
  ASSERT_TRUE(testing_support::WriteBytes(profile + L"VantorelLegacy\\a.tmp", "go"));
  const std::wstring shared = L"protected folder ", below = L"a link below a folder every user may write";
  const std::wstring intoIt = L"a link of yours into " + programData.substr(0, programData.size() - 1) +
                              L"; its target is kept";
  struct Row {
    const char* what;
    std::wstring folder;
    std::wstring lead, reason;  // of the log line
  };
  const Row rows[] = {
      {"a link right below ProgramData", app + L"\\Cache", shared, below},
      {"a link two folders below", deep + L"\\x\\L\\Cache", shared, below},
      // ProgramData is no place of the user's: their own link there is refused before any below it.
      {"ProgramData reached through the user's own link", box.Path(L"pd\\VantorelSwapApp\\Cache"), L"", intoIt},
      {"a plain folder past the user's own link", box.Path(L"pd\\VantorelSharedDeep\\x"), L"", intoIt},
      // Through the Users folder into the user's own profile: where the whole path ends is theirs.
      {"the user's own profile through the system's junction", ownLegacy, L"", L""},
  };
  PathGuard guard(SystemGuardFolders());
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const bool refused = !r.reason.empty();
    CheckedFolder cache = guard.CheckFolder(*guard.Pin(r.folder), DeleteReach::Tree);
    EXPECT_EQ(cache.verdict, refused ? PathVerdict::Refused : PathVerdict::Allowed);
    EXPECT_EQ(cache.reason, r.reason);
    // The same line of a custom list, in a clean.
    CleanRun run(CleanMode::RealClean, {}, true);
    RunFileEntry(run.Thread(), r.folder, FolderTokens());
    EXPECT_EQ(run.Thread().FItemCount, refused ? 0 : 1);
    EXPECT_EQ(ReadAll(box.Path(L"outside\\Cache\\secret.txt")), "keep");
    EXPECT_EQ(run.log->Contains(L"Clean: skipping " + r.lead + r.folder + L"\\" + L" (" + r.reason + L")"), refused);
    EXPECT_EQ(run.Thread().FItemRefused, refused ? 1 : 0);
  }
  EXPECT_FALSE(testing_support::Exists(profile + L"VantorelLegacy\\a.tmp"));
  testing_support::RemoveFolder(profile + L"VantorelLegacy");
  if (madeLegacy) testing_support::RunUnix(L"/bin/rm -f \"" + testing_support::ToUnixPath(legacy) + L"\"");
  for (const std::wstring& link : {app, deep + L"\\x\\L"}) {
    testing_support::RunUnix(L"/bin/rm -f " + testing_support::ToUnixPath(link));
  }
  testing_support::RemoveFolder(deep);
}

TEST(SystemPaths, FoldersEndInASeparatorAndTheTokenIsRead) {
  std::wstring docs = GetMyDocumentsPath();
  ASSERT_FALSE(docs.empty());
  EXPECT_EQ(docs.back(), L'\\');
  std::wstring profile = GetUserProfilePath();
  ASSERT_FALSE(profile.empty());
  EXPECT_EQ(profile.back(), L'\\');
  EXPECT_FALSE(GetProgramFilesDir().empty());
  // The test prefix's user is an administrator, as Vantorel's manifest asks.
  EXPECT_TRUE(IsAdministrator());
}

// A data-file entry inside the system's own folders: junk kinds and junk
// folders only, judged on the canonical path (short names, "..").
TEST(PathGuard, DataFileEntriesTakeOnlyJunkFromSystemFolders) {
  PathGuard guard(SystemGuardFolders());
  wchar_t buf[MAX_PATH] = {};
  std::wstring windows(buf, ::GetWindowsDirectoryW(buf, MAX_PATH));
  std::wstring system(buf, ::GetSystemDirectoryW(buf, MAX_PATH));
  std::wstring temp(buf, ::GetTempPathW(MAX_PATH, buf));
  std::wstring profile = SpecialFolderPath(CSIDL_PROFILE);
  std::wstring appData = SpecialFolderPath(CSIDL_APPDATA);
  std::wstring programs = GetProgramFilesDir();
  ::CreateDirectoryW((windows + L"\\Temp").c_str(), nullptr);
  ASSERT_FALSE(profile.empty());
  ASSERT_FALSE(appData.empty());
  struct Row {
    std::wstring folder;
    const wchar_t* mask;
    bool allowed;
    bool keepFolder;
  };
  const Row rows[] = {
      {windows, L"*.log", true, false},
      {windows, L"setupact.log", true, false},
      {windows + L"\\inf", L"setupapi*.log", true, false},
      {windows, L"*.ini", false, false},
      {windows, L"win.ini", false, false},
      {system, L"*.dll", false, false},
      {system + L"\\drivers", L"*.sys", false, false},
      {windows + L"\\inf", L"", false, false},
      {windows + L"\\inf", L"*.*", false, false},
      {windows + L"\\Temp", L"", true, true},
      {windows + L"\\Temp", L"*.*", true, true},
      {windows + L"\\system32\\..\\Temp", L"", true, true},
      {windows + L"\\system32\\..\\inf", L"", false, false},
      {ShortPath(programs), L"*.exe", false, false},
      {programs + L"\\Vendor", L"", false, false},
      {programs + L"\\Vendor\\Logs", L"*.*", true, true},
      {profile, L"*.*", false, false},
      {profile, L"*.tmp", true, false},
      {appData, L"", false, false},
      {appData + L"\\Vendor\\Cache", L"*.*", true, false},  // below the profile's roots: ordinary
      {temp + L"own", L"*.*", true, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.folder.begin(), r.folder.end()) + "," + std::string(r.mask, r.mask + wcslen(r.mask)));
    DataFileJudgement judged = guard.JudgeDataFileEntry(r.folder, r.mask);
    EXPECT_EQ(judged.allowed, r.allowed);
    if (r.allowed) {
      EXPECT_EQ(judged.keepFolder, r.keepFolder);
    }
    EXPECT_EQ(judged.reason.empty(), r.allowed);
  }
}

// A folder named like a junk folder is judged by where it leads: "Temp" as a
// link into the Windows folder is the folder there, which is no junk folder.
TEST(PathGuard, AJunkNamedLinkIsJudgedByItsTarget) {
  Sandbox box(L"guard-junk-link");
  wchar_t buf[MAX_PATH] = {};
  std::wstring inWindows = std::wstring(buf, ::GetWindowsDirectoryW(buf, MAX_PATH)) + L"\\VantorelGuardKept";
  ::CreateDirectoryW(inWindows.c_str(), nullptr);
  for (const wchar_t* name : {L"a.txt", L"b.log"}) testing_support::WriteBytes(inWindows + L"\\" + name, "keep");
  if (!MakeSymlink(inWindows, box.Path(L"Temp"))) GTEST_SKIP() << "links can only be made under Wine";
  PathGuard guard(SystemGuardFolders());
  const std::wstring link = box.Path(L"Temp");
  EXPECT_FALSE(guard.JudgeDataFileEntry(link, L"*.*").allowed);
  EXPECT_FALSE(guard.JudgeDataFileEntry(*guard.Pin(link), L"*.*").allowed);
  EXPECT_FALSE(guard.JudgeDataFileEntry(*guard.Pin(link), L"").allowed);
  CleanRun run(CleanMode::RealClean, {}, true);
  RunFileEntry(run.Thread(), link + L",*.*", FolderTokens());
  RunFileEntry(run.Thread(), link, FolderTokens());
  EXPECT_EQ(run.Thread().FItemCount, 0);
  for (const wchar_t* name : {L"a.txt", L"b.log"}) EXPECT_EQ(ReadAll(inWindows + L"\\" + name), "keep");
  EXPECT_EQ(run.Thread().FItemRefused, 2);
  testing_support::RunUnix(L"/bin/rm -f " + testing_support::ToUnixPath(link));
  testing_support::RemoveFolder(inWindows);
}
