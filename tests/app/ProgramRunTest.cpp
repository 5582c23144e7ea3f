// The real program, started as a user or another program would start it.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "support/TestSupport.h"

using namespace testing_support;

namespace {

using app_test::OptionsFile;

std::vector<std::string> ReadLines(const std::wstring& path) {
  std::ifstream in(path.c_str());
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// Starts the program, waits for its window, runs `check`, closes it and
// expects a clean exit.
void RunAndClose(const std::wstring& args, const std::function<void(HWND)>& check) {
  StartedProcess p;
  ASSERT_TRUE(p.Start(ProgramPath(), args));
  HWND wnd = p.WaitForWindow(L"TVantorelMainWindow", 20000);
  ASSERT_NE(wnd, nullptr);
  ASSERT_TRUE(p.WaitForIdle(10000)) << "the activation steps and posted commands run";
  check(wnd);
  ASSERT_TRUE(::PostMessageW(wnd, WM_CLOSE, 0, 0));
  DWORD code = 99;
  ASSERT_TRUE(p.WaitForExit(30000, &code));
  EXPECT_EQ(code, 0u);
}

TEST(ProgramRun, FirstCloseWritesEveryOptionWithItsDefault) {
  ::DeleteFileW(OptionsFile().c_str());
  ::DeleteFileW((FromUnixPath(Env(L"VANTOREL_BIN_DIR")) + L"\\options.ini").c_str());
  RunAndClose(L"", [](HWND) {});
  std::vector<std::string> lines = ReadLines(OptionsFile());
  ASSERT_FALSE(lines.empty()) << "no options.ini in the per-user folder";

  std::vector<std::string> sections;
  for (const std::string& l : lines)
    if (l.front() == '[') sections.push_back(l);
  EXPECT_EQ(sections, (std::vector<std::string>{"[Options]", "[Hotkey]", "[SChedule]", "[NodeSelected]",
                                                "[FirstNodeExpand]", "[Settings]", "[TreeViewNodeCheck]",
                                                "[IgnoreValue]", "[IgnoreKey]", "[Window]"}));
  std::string all;
  for (const std::string& l : lines) all += l + "\n";
  for (const char* expected :
       {"[Options]\nIsAskBeforeClear=1\nIsWipeFile=0\nWipeNumber=1\nOutputDirectory=",
        "\nDeleteBackupFile=1\nIncludeRemoveMedia=1\nIncludeCDdrive=0\nRestorePoint=0\n",
        "[Hotkey]\nEnableHotkey=0\nIsCtrl=1\nIsShift=0\nIsAlt=0\nCharString=F5\nCharAscII=116\nEnableIE=0\n"
        "EnableNetscape=0\nEnableFirefox=0\nEnableOpera=0\n",
        "[SChedule]\nAutoClean=0\nCleanInterval=0\nStartClean=0\nShutdownClean=0\n",
        "[NodeSelected]\nSelectedCount=0\n",
        "[Settings]\nShowLogTempInternetFiles=0\nShowLogRecycleBin=0\nFastScan=1\n",
        "[IgnoreValue]\nCount=0\n[IgnoreKey]\nCount=0\n[Window]\nState=1\nLeft="}) {
    EXPECT_NE(all.find(expected), std::string::npos) << "missing block:\n" << expected;
  }
  std::string checks = "[TreeViewNodeCheck]\n";
  for (int i = 1; i <= 25; ++i) checks += std::to_string(i) + "=1\n";
  EXPECT_NE(all.find(checks), std::string::npos);
  // The output folder defaults to the program folder's "Backup".
  EXPECT_NE(all.find("Backup\nDeleteBackupFile"), std::string::npos);
}

TEST(ProgramRun, AutoSwitchHidesTheWindowOnlyInItsExactCase) {
  RunAndClose(L"/auto", [](HWND wnd) { EXPECT_TRUE(::IsWindowVisible(wnd)) << "\"/auto\" must not hide the window"; });
  RunAndClose(L"/Auto", [](HWND wnd) { EXPECT_FALSE(::IsWindowVisible(wnd)) << "\"/Auto\" must hide to the tray"; });
}

TEST(ProgramRun, SavedTicksAndMaximisedStateComeBack) {
  std::wstring file = OptionsFile();
  ::WritePrivateProfileStringW(L"NodeSelected", L"SelectedCount", L"1", file.c_str());
  ::WritePrivateProfileStringW(L"NodeSelected", L"1", L"Windows - Temporary Files", file.c_str());
  ::WritePrivateProfileStringW(L"TreeViewNodeCheck", L"7", L"0", file.c_str());
  ::WritePrivateProfileStringW(L"Window", L"State", L"3", file.c_str());
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
  RunAndClose(L"", [](HWND wnd) { EXPECT_TRUE(::IsZoomed(wnd)); });
  wchar_t buf[256] = {};
  ::GetPrivateProfileStringW(L"NodeSelected", L"1", L"", buf, 256, file.c_str());
  EXPECT_STREQ(buf, L"Windows - Temporary Files");
  EXPECT_EQ(::GetPrivateProfileIntW(L"NodeSelected", L"SelectedCount", -1, file.c_str()), 1u);
  EXPECT_EQ(::GetPrivateProfileIntW(L"TreeViewNodeCheck", L"7", -1, file.c_str()), 0u);
  EXPECT_EQ(::GetPrivateProfileIntW(L"Window", L"State", -1, file.c_str()), 3u);
}

// 2 x 100,000 ignore entries come through a start and a close whole (they
// once came back as 2 x 10,000).
TEST(ProgramRun, LongIgnoreListsKeepEveryEntryThroughAStartAndAClose) {
  const std::wstring file = OptionsFile();
  const int entries = 100000;
  std::string text;
  for (const char* list : {"IgnoreValue", "IgnoreKey"}) {
    const std::string prefix = list == std::string("IgnoreValue") ? "Value" : "Key";
    text += std::string("[") + list + "]\r\nCount=" + std::to_string(entries) + "\r\n";
    for (int i = 1; i <= entries; ++i) text += prefix + std::to_string(i) + "=HKEY_CURRENT_USER\\Software\\V" + std::to_string(i) + "\r\n";
  }
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD wrote = 0;
  ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
  ::CloseHandle(h);
  RunAndClose(L"", [](HWND) {});
  for (const wchar_t* list : {L"IgnoreValue", L"IgnoreKey"}) {
    const std::wstring prefix = std::wstring(list) == L"IgnoreValue" ? L"Value" : L"Key";
    EXPECT_EQ(::GetPrivateProfileIntW(list, L"Count", -1, file.c_str()), static_cast<UINT>(entries)) << list;
    for (int i : {1, 10001, entries}) {
      wchar_t buf[256] = {};
      ::GetPrivateProfileStringW(list, (prefix + std::to_wstring(i)).c_str(), L"", buf, 256, file.c_str());
      EXPECT_EQ(std::wstring(buf), L"HKEY_CURRENT_USER\\Software\\V" + std::to_wstring(i)) << list << i;
    }
  }
  ::DeleteFileW(file.c_str());
}

TEST(ProgramRun, HugeSavedCountsDoNotHoldUpStartUp) {
  std::wstring file = OptionsFile();
  ::DeleteFileW(file.c_str());
  ::WritePrivateProfileStringW(L"NodeSelected", L"SelectedCount", L"2000000000", file.c_str());
  ::WritePrivateProfileStringW(L"NodeSelected", L"1", L"Windows - Temporary Files", file.c_str());
  ::WritePrivateProfileStringW(L"IgnoreKey", L"Count", L"2000000000", file.c_str());
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
  StartedProcess p;
  DWORD start = ::GetTickCount();
  ASSERT_TRUE(p.Start(ProgramPath(), L""));
  HWND wnd = p.WaitForWindow(L"TVantorelMainWindow", 20000, true);
  DWORD ms = ::GetTickCount() - start;
  std::printf("main window after %lu ms with SelectedCount=2000000000\n", static_cast<unsigned long>(ms));
  ASSERT_NE(wnd, nullptr);
  EXPECT_LT(ms, 5000u);
  ASSERT_TRUE(::PostMessageW(wnd, WM_CLOSE, 0, 0));
  DWORD code = 99;
  ASSERT_TRUE(p.WaitForExit(30000, &code));
  EXPECT_EQ(::GetPrivateProfileIntW(L"NodeSelected", L"SelectedCount", -1, file.c_str()), 1u);
  ::DeleteFileW(file.c_str());
}

}  // namespace
