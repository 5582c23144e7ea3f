// "/Clear" with nobody at the screen, end to end: it never waits on a
// question, it backs up before every registry deletion or deletes nothing,
// and its exit code and log say how it went.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "core/SQLiteWrapper.h"
#include "support/Folders.h"
#include "support/TestSupport.h"
#include "sys/RegistryKey.h"
#include "support/Registry.h"

using namespace testing_support;

namespace {

const wchar_t kRoot[] = L"C:\\vantorel-unattended";
const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const int kValues = 12;

std::wstring ValueName(int i) { return L"VantorelUnattended" + std::to_wstring(i); }

// Our Run values as "name=text", in order; absent ones are left out.
std::vector<std::wstring> OurValues() {
  std::vector<std::wstring> found;
  sys::RegistryKey run;
  if (!run.Open(HKEY_LOCAL_MACHINE, kRun)) return found;
  for (int i = 0; i < kValues; ++i) {
    std::wstring text;
    if (run.ValueExists(ValueName(i)) && run.ReadString(ValueName(i), &text)) found.push_back(ValueName(i) + L"=" + text);
  }
  return found;
}

std::vector<std::wstring> RegFilesIn(const std::wstring& folder) {
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((folder + L"\\*.reg").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return files;
  do files.push_back(folder + L"\\" + fd.cFileName);
  while (::FindNextFileW(h, &fd));
  ::FindClose(h);
  return files;
}

bool Regedit(const std::wstring& file) { return testing_support::ImportWithRegedit(file, 60000); }

class UnattendedRun : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveFolder(kRoot);
    ::SHCreateDirectoryExW(nullptr, Temp().c_str(), nullptr);
    RemoveFolder(DefaultBackup());
    sys::RegistryKey run;
    ASSERT_TRUE(run.Create(HKEY_LOCAL_MACHINE, kRun));
    for (int i = 0; i < kValues; ++i)
      run.WriteString(ValueName(i), std::wstring(kRoot) + L"\\gone\\tool" + std::to_wstring(i) + L".exe /start");
    seeded_ = OurValues();
    ASSERT_EQ(seeded_.size(), static_cast<size_t>(kValues));
    // Only the startup-programs section is scanned; no clean item but the
    // temporary files, whose folder is ours.
    std::wstring ini = app_test::OptionsFile();
    ::DeleteFileW(ini.c_str());
    ::SHCreateDirectoryExW(nullptr, ini.substr(0, ini.rfind(L'\\')).c_str(), nullptr);
    Put(L"NodeSelected", L"SelectedCount", L"1");
    Put(L"NodeSelected", L"1", L"Windows - Temporary Files");
    for (int i = 1; i <= 25; ++i) Put(L"TreeViewNodeCheck", std::to_wstring(i).c_str(), i == 14 ? L"1" : L"0");
    savedTemp_ = Env(L"TEMP");
    savedTmp_ = Env(L"TMP");
    ::SetEnvironmentVariableW(L"TEMP", Temp().c_str());
    ::SetEnvironmentVariableW(L"TMP", Temp().c_str());
  }
  void TearDown() override {
    ::SetEnvironmentVariableW(L"TEMP", savedTemp_.c_str());
    ::SetEnvironmentVariableW(L"TMP", savedTmp_.c_str());
    sys::RegistryKey run;
    if (run.Open(HKEY_LOCAL_MACHINE, kRun, KEY_SET_VALUE))
      for (int i = 0; i < kValues; ++i) run.DeleteValue(ValueName(i));
    RemoveFolder(DefaultBackup());
    RemoveFolder(kRoot);
  }
  static void Put(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    std::wstring ini = app_test::OptionsFile();
    ::WritePrivateProfileStringW(section, key, value, ini.c_str());
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
  }
  static std::wstring Temp() { return std::wstring(kRoot) + L"\\temp"; }
  static std::wstring DefaultBackup() {
    std::wstring exe = ProgramPath();
    return exe.substr(0, exe.rfind(L'\\')) + L"\\Backup";
  }
  static std::wstring Log() {
    std::wstring ini = app_test::OptionsFile();
    return ini.substr(0, ini.rfind(L'\\')) + L"\\Clear.log";
  }
  // Runs "/Clear" to its end (it must end by itself) and gives its exit code.
  static DWORD ClearRun() {
    StartedProcess p;
    EXPECT_TRUE(p.Start(ProgramPath(), L"/Clear"));
    DWORD code = 99;
    EXPECT_TRUE(p.WaitForExit(90000, &code)) << "\"/Clear\" did not end by itself";
    return code;
  }
  std::vector<std::wstring> seeded_;
  std::wstring savedTemp_, savedTmp_;
};

}  // namespace

TEST_F(UnattendedRun, FirstRunWithDefaultOptionsMakesTheBackupFolderFixesAndEndsWithZero) {
  ::DeleteFileW(Log().c_str());
  EXPECT_EQ(ClearRun(), 0u);
  EXPECT_TRUE(OurValues().empty()) << "the dead startup entries were not fixed";
  std::vector<std::wstring> files = RegFilesIn(DefaultBackup());
  ASSERT_EQ(files.size(), 1u) << "the default backup folder was not made, or holds more than the run's file";
  std::string log = ReadBytes(Log());
  EXPECT_NE(log.find("Backup file: "), std::string::npos) << log;
  EXPECT_NE(log.find("Exit code: 0"), std::string::npos) << log;
  ASSERT_TRUE(Regedit(files[0]));
  EXPECT_EQ(OurValues(), seeded_);
}

TEST_F(UnattendedRun, ABackupFolderThatIsMissingOrCannotBeWrittenStopsTheFixWithTwo) {
  const std::wstring folders[] = {L"Q:\\VantorelBackup", FromUnixPath(L"/proc")};
  for (const std::wstring& folder : folders) {
    SCOPED_TRACE(std::string(folder.begin(), folder.end()));
    Put(L"Options", L"OutputDirectory", folder.c_str());
    EXPECT_EQ(ClearRun(), 2u);
    EXPECT_EQ(OurValues(), seeded_) << "a registry entry was deleted without its backup";
    std::string log = ReadBytes(Log());
    EXPECT_NE(log.find("Registry fix stopped: "), std::string::npos) << log;
  }
  EXPECT_FALSE(Exists(L"Q:\\VantorelBackup"));
}

TEST_F(UnattendedRun, TwoInstancesAtOnceBothEndAndTheirBackupsImportExactly) {
  StartedProcess a, b;
  ASSERT_TRUE(a.Start(ProgramPath(), L"/Clear"));
  ASSERT_TRUE(b.Start(ProgramPath(), L"/Clear"));
  DWORD codeA = 99, codeB = 99;
  ASSERT_TRUE(a.WaitForExit(90000, &codeA));
  ASSERT_TRUE(b.WaitForExit(90000, &codeB));
  EXPECT_EQ(codeA, 0u) << ReadBytes(Log());
  EXPECT_EQ(codeB, 0u) << ReadBytes(Log());
  EXPECT_TRUE(OurValues().empty());
  std::vector<std::wstring> files = RegFilesIn(DefaultBackup());
  ASSERT_FALSE(files.empty());
  for (const std::wstring& file : files) {
    std::string text = ReadBytes(file);
    EXPECT_EQ(text.rfind("REGEDIT4\r\n", 0), 0u);
    EXPECT_EQ(text.find("REGEDIT4", 1), std::string::npos) << "two runs wrote into one file";
    EXPECT_EQ(text.find("[~"), std::string::npos) << "an entry was left unfinished";
    ASSERT_TRUE(Regedit(file));
  }
  EXPECT_EQ(OurValues(), seeded_) << "the backups together do not give back exactly what was deleted";
}

TEST_F(UnattendedRun, ACleanWhereAFileCannotBeDeletedEndsWithOneAndTheLogNamesIt) {
  // The registry part has nothing to do here.
  for (int i = 1; i <= 25; ++i) Put(L"TreeViewNodeCheck", std::to_wstring(i).c_str(), L"0");
  const std::wstring held = Temp() + L"\\held.tmp";
  const std::wstring loose = Temp() + L"\\loose.tmp";
  std::ofstream(loose.c_str()) << "x";
  HANDLE h = ::CreateFileW(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD code = ClearRun();
  ::CloseHandle(h);
  EXPECT_EQ(code, 1u);
  EXPECT_FALSE(Exists(loose));
  EXPECT_TRUE(Exists(held));
  std::string log = ReadBytes(Log());
  EXPECT_NE(log.find("could not delete"), std::string::npos) << log;
  EXPECT_NE(log.find("held.tmp"), std::string::npos) << log;
  EXPECT_NE(log.find("Exit code: 1"), std::string::npos) << log;
}

TEST_F(UnattendedRun, ABrowserDatabaseHeldLockedIsNamedLeftAsItIsAndEndsWithOne) {
  for (int i = 1; i <= 25; ++i) Put(L"TreeViewNodeCheck", std::to_wstring(i).c_str(), L"0");
  Put(L"NodeSelected", L"1", L"Google Chrome - Saved Form Information");
  wchar_t local[MAX_PATH] = {};
  ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local), S_OK);
  const std::wstring google = std::wstring(local) + L"\\Google";
  ASSERT_FALSE(Exists(google)) << "left over from an earlier run";
  const std::wstring profile = google + L"\\Chrome\\User Data\\Default";
  ::SHCreateDirectoryExW(nullptr, profile.c_str(), nullptr);
  const std::wstring webData = profile + L"\\Web Data";
  DWORD code = 99;
  std::string before;
  {
    core::TSQLiteDatabase db(webData);
    db.ExecSQL(L"CREATE TABLE autofill (name VARCHAR, value VARCHAR, value_lower VARCHAR, pair_id INTEGER PRIMARY KEY)");
    db.ExecSQL(L"INSERT INTO autofill VALUES ('q', 'Secret', 'secret', 1)");
    before = ReadBytes(webData);
    // The browser holds its write lock.
    db.ExecSQL(L"BEGIN IMMEDIATE");
    db.ExecSQL(L"UPDATE autofill SET value = 'Held'");
    code = ClearRun();
    db.ExecSQL(L"ROLLBACK");
  }
  EXPECT_EQ(code, 1u);
  EXPECT_TRUE(ReadBytes(webData) == before) << "the locked database was written to";
  std::string log = ReadBytes(Log());
  EXPECT_NE(log.find("could not clean database"), std::string::npos) << log;
  EXPECT_NE(log.find("Web Data"), std::string::npos) << log;
  EXPECT_NE(log.find("Exit code: 1"), std::string::npos) << log;
  RemoveFolder(google);
}

// On the NT family an index.dat is emptied in place; one the browser holds
// without write sharing is left whole, named, and the run ends with 1.
TEST_F(UnattendedRun, AnIndexFileTheBrowserHoldsIsNamedLeftWholeAndEndsWithOne) {
  for (int i = 1; i <= 25; ++i) Put(L"TreeViewNodeCheck", std::to_wstring(i).c_str(), L"0");
  Put(L"NodeSelected", L"1", L"Internet Explorer - Index.dat Files");
  wchar_t cookies[MAX_PATH] = {};
  ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_COOKIES | CSIDL_FLAG_CREATE, nullptr, 0, cookies), S_OK);
  const std::wstring index = std::wstring(cookies) + L"\\index.dat";
  const std::string saved = Exists(index) ? ReadBytes(index) : std::string();
  const std::string held = "Client UrlCache MMF Ver 5.2" + std::string(100, 'x');
  ASSERT_TRUE(WriteBytes(index, held));
  HANDLE h = ::CreateFileW(index.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD code = ClearRun();
  ::CloseHandle(h);
  const std::string after = ReadBytes(index);
  if (saved.empty()) ::DeleteFileW(index.c_str());
  else WriteBytes(index, saved);
  EXPECT_EQ(code, 1u);
  EXPECT_TRUE(after == held) << "the held index file was written to";
  std::string log = ReadBytes(Log()), named(index.begin(), index.end());
  EXPECT_NE(log.find("Clean: not emptied " + named + " (in use)"), std::string::npos) << log;
  EXPECT_NE(log.find("Exit code: 1"), std::string::npos) << log;
}

// The question before My Documents is emptied.
TEST_F(UnattendedRun, AQuestionNobodyAnswersIsAnsweredNoAndLogged) {
  for (int i = 1; i <= 25; ++i) Put(L"TreeViewNodeCheck", std::to_wstring(i).c_str(), L"0");
  // My Documents of the prefix is a link to HOME, which no clean enters:
  // here it is a plain folder, which the temporary files item reaches.
  const std::wstring docs = std::wstring(kRoot) + L"\\docs", letter = docs + L"\\letter.txt";
  ::SHCreateDirectoryExW(nullptr, docs.c_str(), nullptr);
  std::ofstream(letter.c_str()) << "dear";
  sys::RegistryKey folders;
  ASSERT_TRUE(folders.Create(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"));
  std::wstring saved;
  const bool had = folders.ReadString(L"Personal", &saved);
  folders.WriteString(L"Personal", docs);
  ::SetEnvironmentVariableW(L"TEMP", docs.c_str());
  ::SetEnvironmentVariableW(L"TMP", docs.c_str());
  ClearRun();
  if (had) folders.WriteString(L"Personal", saved, REG_EXPAND_SZ);
  else folders.DeleteValue(L"Personal");
  EXPECT_TRUE(Exists(letter));
  const std::string log = ReadBytes(Log()), under(docs.begin(), docs.end());
  EXPECT_NE(log.find("Not asked (unattended clean): \"Do you want to delete all files and folders under " + under +
                     "\\?\" Answer taken: No"), std::string::npos) << log;
}

namespace {

std::wstring ShellFolder(int csidl) {
  wchar_t buf[MAX_PATH] = {};
  return ::SHGetFolderPathW(nullptr, csidl, nullptr, 0, buf) == S_OK ? buf : L"";
}

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

// A folder made a link to `target` for one run: the folder, where there is
// one, is parked beside it and comes back when the object goes.
class LinkedFolder {
 public:
  LinkedFolder(const std::wstring& folder, const std::wstring& target) : folder_(folder), parked_(folder + L".parked") {
    MakeFolders(folder.substr(0, folder.rfind(L'\\')));
    if (Exists(folder)) ::MoveFileW(folder.c_str(), parked_.c_str());
    linked_ = !Exists(folder) && MakeSymlink(target, folder);
  }
  ~LinkedFolder() {
    RunUnix(L"/bin/rm -f \"" + ToUnixPath(folder_) + L"\"");
    for (int i = 0; i < 100 && Exists(folder_); ++i) ::Sleep(50);
    if (Exists(parked_)) ::MoveFileW(parked_.c_str(), folder_.c_str());
  }
  bool Linked() const { return linked_; }

 private:
  std::wstring folder_, parked_;
  bool linked_ = false;
};

}  // namespace

// The folders of five items, each made a link by the user. Into the Windows
// folder, Program Files, ProgramData or another user's profile nothing is
// deleted, by whatever drive letter the link names the place, a letter onto
// a folder inside one of them too: the log names the folder and the place,
// and the run ends with 1.
// Into another folder of the user's or another drive, by a letter or not,
// the clean goes on as before; with nothing refused the run ends with 0.
TEST_F(UnattendedRun, AnItemFolderMadeALinkIsFollowedOnlyOutOfThePlacesTheUserCannotChange) {
  for (int i = 1; i <= 25; ++i) Put(L"TreeViewNodeCheck", std::to_wstring(i).c_str(), L"0");
  const std::wstring mozilla = ShellFolder(CSIDL_APPDATA) + L"\\Mozilla";
  const std::wstring google = ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\Google";
  ASSERT_FALSE(Exists(mozilla) || Exists(google)) << "left over from an earlier run";
  struct Item {
    const wchar_t* caption;
    std::wstring folder;
    const wchar_t* planted;  // a file the item deletes, relative to the folder
  };
  const Item items[] = {
      {L"Windows - Temporary Files", Temp(), L"t.tmp"},
      {L"Mozilla Firefox - Cookies", mozilla + L"\\Firefox\\Profiles", L"x.default\\cookies.txt"},
      {L"Google Chrome - Temporary Internet Files", google + L"\\Chrome\\User Data\\Default\\Cache", L"f1"},
      {L"Windows - Recent Documents", ShellFolder(CSIDL_RECENT), L"r.lnk"},
      {L"Internet Explorer - Temporary Internet Files", ShellFolder(CSIDL_INTERNET_CACHE), L"c.htm"},
  };
  wchar_t buf[MAX_PATH] = {};
  const std::wstring windows(buf, ::GetWindowsDirectoryW(buf, MAX_PATH));
  const std::wstring system(buf, ::GetSystemDirectoryW(buf, MAX_PATH));
  const std::wstring programs = Env(L"ProgramW6432"), programsX86 = ShellFolder(CSIDL_PROGRAM_FILESX86);
  const std::wstring programData = ShellFolder(CSIDL_COMMON_APPDATA);
  const std::wstring profile = ShellFolder(CSIDL_PROFILE);
  const std::wstring otherUser = profile.substr(0, profile.rfind(L'\\')) + L"\\VantorelOtherUser";
  const std::wstring own = profile + L"\\VantorelLinked", otherDrive = BuildDir() + L"\\vantorel-linked";
  ASSERT_FALSE(programs.empty() || programsX86.empty() || programData.empty() || profile.empty());
  const std::wstring users = profile.substr(0, profile.rfind(L'\\')), defaultProfile = users + L"\\Default";
  const bool madeDefault = !Exists(defaultProfile);
  const wchar_t kOtherProfile[] = L"another user's profile";
  enum Run { kIntoPlaces, kElsewhere, kByLetters, kInsideByLetters, kOwnByLetters };
  struct Row {
    size_t item;
    std::wstring target;
    std::wstring place;  // the log's place; empty: the link is followed
    Run run;
  };
  const Row rows[] = {
      {0, system + L"\\VantorelLinked", windows, kIntoPlaces},
      {1, programs + L"\\VantorelLinked", programs, kIntoPlaces},
      {2, programData + L"\\VantorelLinked", programData, kIntoPlaces},
      {3, otherUser + L"\\AppData\\Local\\Temp", kOtherProfile, kIntoPlaces},
      {4, programsX86 + L"\\VantorelLinked", programsX86, kIntoPlaces},
      {0, own + L"\\temp", L"", kElsewhere},
      {1, otherDrive + L"\\profiles", L"", kElsewhere},
      {2, std::wstring(kRoot) + L"\\own-cache", L"", kElsewhere},
      {3, otherDrive + L"\\recent", L"", kElsewhere},
      {4, own + L"\\cache", L"", kElsewhere},
      // Letters of the user's for the Windows folder, Program Files,
      // ProgramData and the drive's root: the place is the same by any name.
      {0, L"X:\\vtprobe7", windows, kByLetters},
      {1, windows + L"\\vtprobe8", windows, kByLetters},  // the plain path, while X: exists
      {2, L"P:\\vtprobe7", programs, kByLetters},
      {3, L"Q:\\vtprobe7", programData, kByLetters},
      {4, L"A:\\" + windows.substr(3) + L"\\vtprobe9", windows, kByLetters},
      // Letters onto a folder inside those places or the Users folder, and
      // onto a profile the system does not list: the place holds the folder
      // whichever letter names it.
      {0, L"U:\\vtprobe7", kOtherProfile, kInsideByLetters},
      {1, L"V:\\vtprobe7", kOtherProfile, kInsideByLetters},
      {2, L"W:\\vtprobe7", windows, kInsideByLetters},
      {3, L"S:\\vtprobe7", windows, kInsideByLetters},
      {4, L"R:\\vtprobe7", programs, kInsideByLetters},
      {0, L"O:\\vtprobe7", kOtherProfile, kOwnByLetters},
      // Letters onto a folder of the user's profile and onto another drive's.
      {1, L"M:\\profiles", L"", kOwnByLetters},
      {2, L"N:\\cache", L"", kOwnByLetters},
  };
  struct Letter {
    Run run;
    wchar_t letter;
    std::wstring target;
  };
  const Letter letters[] = {
      {kByLetters, L'X', windows}, {kByLetters, L'P', programs}, {kByLetters, L'Q', programData},
      {kByLetters, L'A', windows.substr(0, 3)},
      {kInsideByLetters, L'U', users + L"\\Public"}, {kInsideByLetters, L'V', defaultProfile},
      {kInsideByLetters, L'W', windows + L"\\temp"}, {kInsideByLetters, L'S', system},
      {kInsideByLetters, L'R', programs + L"\\Common Files"},
      {kOwnByLetters, L'O', otherUser}, {kOwnByLetters, L'M', own}, {kOwnByLetters, L'N', otherDrive},
  };
  // Every link into the system's places in one run, then every other one,
  // then the links by drive letters, made before the program starts.
  for (Run run : {kIntoPlaces, kElsewhere, kByLetters, kInsideByLetters, kOwnByLetters}) {
    const char* const names[] = {"into the system's places", "elsewhere of the user's", "by drive letters",
                                 "by letters onto folders inside the places", "by letters onto profiles"};
    SCOPED_TRACE(names[run]);
    std::vector<std::unique_ptr<MappedDrive>> mapped;
    for (const Letter& letter : letters) {
      if (letter.run != run) continue;
      MakeFolders(letter.target);
      mapped.push_back(std::make_unique<MappedDrive>(letter.letter, letter.target));
      ASSERT_TRUE(mapped.back()->Mapped()) << letter.letter;
    }
    std::vector<std::unique_ptr<LinkedFolder>> links;
    int selected = 0;
    for (const Row& r : rows) {
      if (r.run != run) continue;
      ASSERT_TRUE(WriteBytes(r.target + L"\\" + items[r.item].planted, "planted"));
      links.push_back(std::make_unique<LinkedFolder>(items[r.item].folder, r.target));
      if (!links.back()->Linked()) GTEST_SKIP() << "links can only be made under Wine";
      Put(L"NodeSelected", std::to_wstring(++selected).c_str(), items[r.item].caption);
    }
    Put(L"NodeSelected", L"SelectedCount", std::to_wstring(selected).c_str());
    ::DeleteFileW(Log().c_str());
    const DWORD code = ClearRun();
    links.clear();
    const std::string log = ReadBytes(Log());
    bool anyRefused = false;
    for (const Row& r : rows) {
      if (r.run != run) continue;
      const Item& item = items[r.item];
      SCOPED_TRACE(Narrow(item.caption));
      const bool refused = !r.place.empty();
      anyRefused = anyRefused || refused;
      EXPECT_EQ(Exists(r.target + L"\\" + item.planted), refused);
      if (refused) {
        EXPECT_NE(log.find(Narrow(L"skipping " + item.folder + L"\\ (a link of yours into " + r.place +
                                  L"; its target is kept)")), std::string::npos) << log;
      }
      RemoveFolder(r.target);
    }
    EXPECT_EQ(code, anyRefused ? 1u : 0u) << log;
  }
  for (const std::wstring& folder : {mozilla, google, otherUser, own, otherDrive}) RemoveFolder(folder);
  if (madeDefault) RemoveFolder(defaultProfile);
}
