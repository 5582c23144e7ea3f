// The pure rules of a clean: sizes in KB, file masks, which routine a caption
// runs, registry key paths.
#include <gtest/gtest.h>

#include "cleaner/ItemRoutines.h"
#include "cleaner/Masks.h"
#include "cleaner/ProgressThread.h"
#include "cleaner/RegistryPaths.h"

using namespace cleaner;

TEST(FormatKB, RoundsUpAndGroupsDigits) {
  EXPECT_EQ(TClearTaskThread::FormatKB(0), L"0");
  EXPECT_EQ(TClearTaskThread::FormatKB(1), L"1");
  EXPECT_EQ(TClearTaskThread::FormatKB(1024), L"1");
  EXPECT_EQ(TClearTaskThread::FormatKB(1025), L"2");
  EXPECT_EQ(TClearTaskThread::FormatKB(999 * 1024), L"999");
  EXPECT_EQ(TClearTaskThread::FormatKB(1000 * 1024), L"1,000");
  EXPECT_EQ(TClearTaskThread::FormatKB(1234567LL * 1024), L"1,234,567");
  // Past the 32-bit KB range the figure stays right.
  EXPECT_EQ(TClearTaskThread::FormatKB(3000000000LL * 1024), L"3,000,000,000");
}

TEST(FileMask, PrefixAndSuffixIgnoreCaseAndMayNotOverlap) {
  FileMask dmp(L"*.dmp");
  EXPECT_TRUE(dmp.Matches(L"Mini0101.DMP"));
  EXPECT_FALSE(dmp.Matches(L"dump.dmp.txt"));
  FileMask chk(L"File*.chk");
  EXPECT_TRUE(chk.Matches(L"FILE0000.CHK"));
  EXPECT_TRUE(chk.Matches(L"file.chk"));
  EXPECT_FALSE(chk.Matches(L"afile.chk"));
  FileMask overlap(L"ab*b");
  EXPECT_FALSE(overlap.Matches(L"ab"));
  EXPECT_TRUE(overlap.Matches(L"abb"));
  EXPECT_TRUE(dmp.IsWildcard());
  EXPECT_FALSE(dmp.MatchesEverything());
}

TEST(FileMask, ExactNamesEverythingAndNothing) {
  FileMask exact(L"memory.dmp");
  EXPECT_TRUE(exact.Matches(L"MEMORY.DMP"));
  EXPECT_FALSE(exact.Matches(L"memory.dmp.bak"));
  EXPECT_FALSE(exact.IsWildcard());
  FileMask all(L"*.*");
  EXPECT_TRUE(all.Matches(L"no-dot"));
  EXPECT_TRUE(all.MatchesEverything());
  EXPECT_FALSE(FileMask(L"").Matches(L"x"));
  EXPECT_TRUE(FileMask(L"").IsEmpty());
  // A second "*" is an ordinary character, which no file name holds.
  EXPECT_FALSE(FileMask(L"a*b*c").Matches(L"abxc"));
}

TEST(ResolveCaption, CustomListsThenRoutinesThenKavoSections) {
  ItemRoutineTable table;
  int ran = 0;
  table.Register(L"Windows - Clipboard", [&](TClearTaskThread&) { ++ran; });
  table.Register(L"Custom Lists - <New List>", [&](TClearTaskThread&) { ++ran; });

  ResolvedItem custom = ResolveCaption(table, L"Custom Lists - <New List>");
  EXPECT_EQ(custom.routine, nullptr) << "a custom list always runs Custom.dat";
  EXPECT_EQ(custom.file, DataFile::Custom);
  EXPECT_EQ(custom.section, L"<New List>");

  EXPECT_NE(ResolveCaption(table, L"Windows - Clipboard").routine, nullptr);

  ResolvedItem wrongCase = ResolveCaption(table, L"Windows - clipboard");
  EXPECT_EQ(wrongCase.routine, nullptr);
  EXPECT_EQ(wrongCase.file, DataFile::Kavo);
  EXPECT_EQ(wrongCase.section, L"clipboard");

  ResolvedItem app = ResolveCaption(table, L"Applications - Foo-Bar Player");
  EXPECT_EQ(app.file, DataFile::Kavo);
  EXPECT_EQ(app.section, L"Foo-Bar Player");
  EXPECT_EQ(ResolveCaption(table, L"NoDashAtAll").section, L"");
}

TEST(RegistryPaths, RootsKeyPathsAndProtectedLevels) {
  EXPECT_EQ(RootKeyFromName(L"hkey_current_user"), HKEY_CURRENT_USER);
  EXPECT_EQ(RootKeyFromName(L"HKCU"), nullptr);
  EXPECT_EQ(RootKeyName(HKEY_LOCAL_MACHINE), L"HKEY_LOCAL_MACHINE");
  EXPECT_EQ(RootKeyName(HKEY_PERFORMANCE_DATA), L"");

  EXPECT_EQ(NormalKeyPath(L"\\Software\\X\\"), L"Software\\X");
  EXPECT_EQ(NormalKeyPath(L"Software\\\\X"), L"");
  const HKEY CU = HKEY_CURRENT_USER, LM = HKEY_LOCAL_MACHINE, CR = HKEY_CLASSES_ROOT, U = HKEY_USERS;
  EXPECT_FALSE(IsDeletableKeyPath(CU, NormalKeyPath(L"\\Software\\")));
  EXPECT_FALSE(IsDeletableKeyPath(CU, NormalKeyPath(L"")));
  EXPECT_TRUE(IsDeletableKeyPath(CU, NormalKeyPath(L"Software\\Vendor")));
  // Keys that are a root under another name: a user's hive, the classes
  // roots and the 32-bit view. Their first-level keys are first-level keys.
  struct Case {
    HKEY root;
    const wchar_t* key;
    bool deletable;
  };
  for (const Case& c : {Case{U, L".DEFAULT", false}, Case{U, L".DEFAULT\\Software", false},
                        Case{U, L"S-1-5-21-1-2-3-1000_Classes\\CLSID", false},
                        Case{U, L".DEFAULT\\Software\\Vendor", true}, Case{CU, L"Software\\Classes", false},
                        Case{CU, L"software\\classes\\.txt", false}, Case{CU, L"Software\\Classes\\.txt\\OpenWithList", true},
                        Case{U, L"S-1-5-18\\Software\\Classes\\CLSID", false}, Case{LM, L"SOFTWARE\\Wow6432Node", false},
                        Case{LM, L"SOFTWARE\\Wow6432Node\\Vendor", true}, Case{LM, L"SOFTWARE\\Wow6432Node\\Classes\\CLSID", false},
                        Case{CR, L"Wow6432Node\\CLSID", false}, Case{CR, L"CLSID\\{0}", true}}) {
    EXPECT_EQ(IsDeletableKeyPath(c.root, c.key), c.deletable) << std::string(c.key, c.key + wcslen(c.key));
  }
}
