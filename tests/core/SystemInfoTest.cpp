#include <gtest/gtest.h>

#include "core/Privileges.h"
#include "core/SystemInfo.h"

using namespace core;

namespace {
constexpr DWORD kNt = VER_PLATFORM_WIN32_NT;
constexpr DWORD k9x = VER_PLATFORM_WIN32_WINDOWS;
}  // namespace

TEST(WindowsVersionCode, MapsEachFamily) {
  struct Row {
    DWORD platform, major, minor;
    int code;
  };
  const Row rows[] = {
      {k9x, 4, 0, 1},  {k9x, 4, 10, 3},  {k9x, 4, 90, 8},  {k9x, 4, 3, 10},  {k9x, 5, 0, 10},
      {VER_PLATFORM_WIN32s, 4, 0, 1},  // anything not NT
      {kNt, 3, 0, 5},  {kNt, 3, 51, 5},  {kNt, 4, 0, 6},  {kNt, 4, 90, 6},  {kNt, 5, 0, 7},
      {kNt, 5, 1, 9},  {kNt, 5, 2, 10},  {kNt, 5, 3, 7},  {kNt, 5, 9, 7},   {kNt, 6, 0, 11},
      {kNt, 6, 1, 12}, {kNt, 6, 2, 13},  {kNt, 6, 3, 13}, {kNt, 6, 4, 13},  {kNt, 6, 99, 13},
      {kNt, 7, 0, 10}, {kNt, 10, 0, 10}, {kNt, 2, 0, 10}, {kNt, 0, 0, 10},
  };
  for (const auto& r : rows)
    EXPECT_EQ(WindowsVersionCode(r.platform, r.major, r.minor), r.code) << r.platform << " "
                                                                        << r.major << "." << r.minor;
}

TEST(WindowsVersionCode, FamiliesByName) {
  const struct {
    BYTE code;
    bool nineX, nt, vistaOrLater, xpTo7;
  } cases[] = {
      {wvWindows95, true, false, false, false}, {2, true, false, false, false},
      {wvWindows98, true, false, false, false}, {4, true, false, false, false},
      {wvNT3, false, true, false, false},       {wvNT4, false, true, false, false},
      {wvWindows2000, false, true, false, false}, {wvWindowsMe, true, false, false, false},
      {wvWindowsXP, false, true, false, true},  {wvServer2003, false, true, false, true},
      {wvVista, false, true, true, true},       {wvWindows7, false, true, true, true},
      {wvWindows8, false, true, true, false},   {0, false, false, false, false},
      {14, false, false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsWindows9x(c.code), c.nineX) << int(c.code);
    EXPECT_EQ(IsWindowsNT(c.code), c.nt) << int(c.code);
    EXPECT_EQ(IsVistaOrLater(c.code), c.vistaOrLater) << int(c.code);
    EXPECT_EQ(IsXPTo7(c.code), c.xpTo7) << int(c.code);
  }
}

TEST(SystemInfo, RealVersionAndWow64UnderWine) {
  // The program names no supported versions, so modern systems report 6.2.
  BYTE code = GetWindowsVersion();
  EXPECT_GE(code, 5);
  EXPECT_LE(code, 13);
  // The test prefix is a 64-bit one: this 32-bit program runs under WOW64.
  BOOL wow = FALSE;
  ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &wow));
  EXPECT_EQ(IsWow64(), wow != FALSE);
}

TEST(Privileges, BackupAndRestoreCanBeEnabledInTheTestPrefix) {
  EXPECT_TRUE(EnableBackupPrivilege());
  EXPECT_TRUE(EnableRestorePrivilege());
}

TEST(ProcessNameMatches, ComparesFilePartOrWholeTextIgnoringCase) {
  EXPECT_TRUE(ProcessNameMatches(L"FIREFOX.EXE", L"firefox.exe"));
  EXPECT_TRUE(ProcessNameMatches(L"C:\\Program Files\\Mozilla\\firefox.exe", L"FireFox.exe"));
  EXPECT_TRUE(ProcessNameMatches(L"C:\\Apps\\x.exe", L"c:\\apps\\X.EXE"));
  EXPECT_FALSE(ProcessNameMatches(L"C:\\Apps\\firefox.exe.bak", L"firefox.exe"));
  EXPECT_FALSE(ProcessNameMatches(L"notfirefox.exe", L"firefox.exe"));
}
