// Every file the program reads or writes for the user, planted as a second
// name of a file elsewhere or as a link to one: each caller, through its own
// road, reads nothing through it, writes nothing through it and says so its
// own way, and the file elsewhere stays byte for byte.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "cleaner/custom/CustomList.h"
#include "registry/defrag/ScanDefragTaskThread.h"
#include "registry_defrag/DefragTestSupport.h"
#include "support/Folders.h"
#include "support/TestSupport.h"
#include "sys/IniFile.h"
#include "sys/RegistryKey.h"

using namespace testing_support;
using app_test::ExpectLogSays;
using app_test::LogBesideOptions;

namespace {

const wchar_t kRoot[] = L"C:\\vantorel-linked-files";

DWORD RunToItsEnd(const std::wstring& args, const std::wstring& folder = kRoot) {
  return app_test::RunToItsEnd(args, folder);
}

const wchar_t kRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kDeadEntry[] = L"VantorelLinkedFiles";

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

std::wstring ProgramFolder() {
  const std::wstring exe = ProgramPath();
  return exe.substr(0, exe.rfind(L'\\') + 1);
}

// Options that run the one clean item `caption` (none when empty) and, with
// `fix`, the startup-programs section of the registry scan, as ini text.
std::string OptionsSelecting(const std::wstring& caption, bool fix = false) {
  std::string text = "[NodeSelected]\r\nSelectedCount=" + std::string(caption.empty() ? "0" : "1") + "\r\n";
  if (!caption.empty()) text += "1=" + Narrow(caption) + "\r\n";
  text += "[TreeViewNodeCheck]\r\n";
  for (int i = 1; i <= 25; ++i) text += std::to_string(i) + (fix && i == 14 ? "=1\r\n" : "=0\r\n");
  return text;
}

bool DeadEntryThere() {
  sys::RegistryKey run;
  return run.Open(HKEY_LOCAL_MACHINE, kRun) && run.ValueExists(kDeadEntry);
}

// How the caller's file is planted: a second name or a link of a file
// elsewhere, or a folder under the file's name (with that file inside).
enum class Plant { SecondName, Link, Folder };

// One caller of a file the program owns.
struct Caller {
  const char* what;
  // Makes what the caller needs around the file and gives the file's name.
  std::function<std::wstring()> prepare;
  std::string outside;  // what the file elsewhere holds
  // Runs the caller through its own road and checks how it answered.
  std::function<void(const std::wstring& name)> run;
  bool folderToo = false;  // also planted as a folder
};

bool MakePlant(Plant plant, const std::wstring& name, const std::wstring& outside) {
  switch (plant) {
    case Plant::SecondName:
      return ::CreateHardLinkW(name.c_str(), outside.c_str(), nullptr) != FALSE;
    case Plant::Link:
      return MakeSymlink(outside, name);
    case Plant::Folder:
      return true;  // the folder is made around the file elsewhere
  }
  return false;
}

void RemovePlant(const std::wstring& name) {
  RunUnix(L"/bin/rm -rf \"" + ToUnixPath(name) + L"\"");
  for (int i = 0; i < 100 && Exists(name); ++i) ::Sleep(50);
}

class LinkedFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveFolder(kRoot);
    MakeFolders(kRoot);
    savedOptions_ = ReadBytes(app_test::OptionsFile());
    sys::RegistryKey run;
    ASSERT_TRUE(run.Create(HKEY_LOCAL_MACHINE, kRun));
    run.WriteString(kDeadEntry, std::wstring(kRoot) + L"\\gone\\tool.exe /start");
  }
  void TearDown() override {
    sys::RegistryKey run;
    if (run.Open(HKEY_LOCAL_MACHINE, kRun, KEY_SET_VALUE)) run.DeleteValue(kDeadEntry);
    RemovePlant(app_test::OptionsFile());
    if (!savedOptions_.empty()) WriteBytes(app_test::OptionsFile(), savedOptions_);
    RemoveFolder(kRoot);
  }
  std::string savedOptions_;
};

}  // namespace

TEST_F(LinkedFiles, NoCallerReadsOrWritesThroughASecondNameOrALink) {
  const std::wstring options = app_test::OptionsFile(), program = ProgramFolder();
  const std::string clearNothing = OptionsSelecting(L"");
  std::unique_ptr<defrag_test::SeededHives> hives;
  std::wstring cookie;
  int seeds = 0;
  const Caller callers[] = {
      // Nothing is cleaned or fixed on options that were not read.
      {"options.ini of \"/Clear\"",
       [&] { return options; }, OptionsSelecting(L"", true),
       [&](const std::wstring&) {
         EXPECT_EQ(RunToItsEnd(L"/Clear"), 2u);
         EXPECT_TRUE(DeadEntryThere()) << "fixed on options that were not read";
         ExpectLogSays(L"Clear.log", {"was not read", "Unable to write to ", "Exit code: 2"});
       }},
      // The user's own file is read and saved; its copy beside the program is not.
      {"the copy of options.ini beside the program, saved by \"/Clear\"",
       [&] {
         WriteBytes(options, clearNothing);
         return program + L"options.ini";
       },
       "[Options]\r\nWipeNumber=9\r\n[Foreign]\r\nKept=yes\r\n",
       [&](const std::wstring& name) {
         EXPECT_EQ(RunToItsEnd(L"/Clear"), 1u);
         ExpectLogSays(L"Clear.log", {"Unable to write to " + Narrow(name) + ": it is a link", "Exit code: 1"});
         EXPECT_NE(ReadBytes(options).find("WipeNumber="), std::string::npos) << "the user's own file is saved";
       }},
      {"Custom.dat of the custom-list dialog",
       [&] { return std::wstring(kRoot) + L"\\Custom.dat"; }, "[<New List>]\r\nDelFile1=C:\\Precious\r\n",
       [&](const std::wstring& name) {
         cleaner::custom::TCustomListModel list;
         list.Load(name);
         EXPECT_EQ(list.Count(), 0) << "read through the link";
         list.Add(L"C:\\Temp\\junk");
         std::vector<std::wstring> refused;
         EXPECT_THROW(list.Save(name, &refused), sys::IniWriteError);
       }},
      // Nothing runs on the strength of a list that was not read, and the run
      // does not end as if all was done.
      {"Custom.dat of \"/Clear\"",
       [&] {
         WriteBytes(options, OptionsSelecting(L"Custom Lists - <New List>"));
         WriteBytes(std::wstring(kRoot) + L"\\own\\a.tmp", "junk");
         return program + L"Custom.dat";
       },
       "[<New List>]\r\nDelFile1=" + Narrow(kRoot) + "\\own,a.tmp\r\n",
       [&](const std::wstring& name) {
         EXPECT_EQ(RunToItsEnd(L"/Clear"), 1u);
         EXPECT_TRUE(Exists(std::wstring(kRoot) + L"\\own\\a.tmp"));
         ExpectLogSays(L"Clear.log", {"Not read: " + Narrow(name), "1 items could not be removed.", "Exit code: 1"});
       }},
      // Any cookie may be one to keep: none goes.
      {"Cookies.dat of \"/Clear\"",
       [&] {
         WriteBytes(options, OptionsSelecting(L"Internet Explorer - Cookies"));
         wchar_t folder[MAX_PATH] = {};
         ::SHGetFolderPathW(nullptr, CSIDL_COOKIES | CSIDL_FLAG_CREATE, nullptr, 0, folder);
         cookie = std::wstring(folder) + L"\\vantorel@kept[1].txt";
         WriteBytes(cookie, "k\nv\nkept.test/\n");
         return program + L"Cookies.dat";
       },
       "[Cookies to Keep]\r\nCount=1\r\n0=kept.test\r\n",
       [&](const std::wstring& name) {
         EXPECT_EQ(RunToItsEnd(L"/Clear"), 1u);
         EXPECT_TRUE(Exists(cookie));
         ExpectLogSays(L"Clear.log",
                       {"Not read: " + Narrow(name), "no cookie was removed", "1 items could not be removed.",
                        "Exit code: 1"});
         ::DeleteFileW(cookie.c_str());
       },
       true},
      {"the result file of \"/Regscan\"",
       [&] {
         app_test::ForgetOptions();
         hives = std::make_unique<defrag_test::SeededHives>(L"VantorelLinkedFiles" + std::to_wstring(++seeds));
         hives->Add(L"A", 64 * 1024);
         return hives->Folder() + L"\\result.ini";
       },
       "[Scan Result]\r\nCurrent Size=precious\r\n[Other]\r\nx=1\r\n",
       [&](const std::wstring& name) {
         EXPECT_EQ(RunToItsEnd(L"/Regscan result.ini", hives->Folder()), 2u);
         ExpectLogSays(L"Regscan.log", {"Unable to write to " + Narrow(name) + ": it is a link", "Exit code: 2"});
         EXPECT_FALSE(Exists(registry::HiveCopyFile(hives->Folder() + L"\\A")));
         RemovePlant(name);
         hives.reset();
       }},
  };
  for (const Caller& c : callers) {
    for (Plant plant : {Plant::SecondName, Plant::Link, Plant::Folder}) {
      if (plant == Plant::Folder && !c.folderToo) continue;
      SCOPED_TRACE(std::string(c.what) + (plant == Plant::SecondName ? ", second name"
                                          : plant == Plant::Link     ? ", link"
                                                                     : ", folder"));
      const std::wstring name = c.prepare();
      const std::wstring saved = name + L".saved";
      const bool hadFile = Exists(name);
      if (hadFile) {
        ASSERT_TRUE(::MoveFileW(name.c_str(), saved.c_str()));
      }
      MakeFolders(name.substr(0, name.rfind(L'\\')));
      const std::wstring outside = plant == Plant::Folder ? name + L"\\inside" : std::wstring(kRoot) + L"\\outside";
      ASSERT_TRUE(WriteBytes(outside, c.outside));
      const bool made = MakePlant(plant, name, outside);
      if (made) {
        c.run(name);
        EXPECT_EQ(ReadBytes(outside), c.outside);
      }
      RemovePlant(name);
      if (hadFile) ::MoveFileW(saved.c_str(), name.c_str());
      if (!made) {
        GTEST_SKIP() << "links can only be made under Wine";
      }
    }
  }
}
