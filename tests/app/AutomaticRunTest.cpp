// The unattended runs of the real program: "/Clear" cleans and closes by
// itself; "/Auto" with StartClean still asks first.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <fstream>
#include <string>

#include "AppTestSupport.h"
#include "support/Folders.h"
#include "support/TestSupport.h"
#include "sys/RegistryKey.h"

using namespace testing_support;

namespace {

using app_test::OptionsFile;

const wchar_t kRoot[] = L"C:\\vantorel-auto";
const wchar_t kRunMru[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

void Touch(const std::wstring& p) { std::ofstream(p.c_str()) << "data"; }

class AutomaticRun : public ::testing::Test {
 protected:
  void SetUp() override {
    std::wstring temp = std::wstring(kRoot) + L"\\temp";
    ::SHCreateDirectoryExW(nullptr, (temp + L"\\sub").c_str(), nullptr);
    Touch(temp + L"\\a.tmp");
    Touch(temp + L"\\sub\\b.tmp");
    Touch(std::wstring(kRoot) + L"\\sentinel.txt");
    sys::RegistryKey mru;
    ASSERT_TRUE(mru.Create(HKEY_CURRENT_USER, kRunMru));
    mru.WriteString(L"a", L"notepad\\1");
    mru.WriteString(L"MRUList", L"a");
    std::wstring ini = OptionsFile();
    ::DeleteFileW(ini.c_str());
    ::SHCreateDirectoryExW(nullptr, (ini.substr(0, ini.rfind(L'\\'))).c_str(), nullptr);
    auto put = [&](const wchar_t* s, const wchar_t* k, const wchar_t* v) { ::WritePrivateProfileStringW(s, k, v, ini.c_str()); };
    put(L"Options", L"IsAskBeforeClear", L"1");
    put(L"SChedule", L"StartClean", L"1");
    put(L"NodeSelected", L"SelectedCount", L"2");
    put(L"NodeSelected", L"1", L"Windows - Temporary Files");
    put(L"NodeSelected", L"2", L"Windows - Start Run");
    for (int i = 1; i <= 25; ++i) put(L"TreeViewNodeCheck", std::to_wstring(i).c_str(), L"0");
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
    // The program's temporary folder is ours, not the one other tests use.
    savedTemp_ = Env(L"TEMP");
    savedTmp_ = Env(L"TMP");
    ::SetEnvironmentVariableW(L"TEMP", temp.c_str());
    ::SetEnvironmentVariableW(L"TMP", temp.c_str());
  }
  void TearDown() override {
    ::SetEnvironmentVariableW(L"TEMP", savedTemp_.c_str());
    ::SetEnvironmentVariableW(L"TMP", savedTmp_.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kRunMru);
  }
  std::wstring Temp() const { return std::wstring(kRoot) + L"\\temp"; }
  std::wstring savedTemp_, savedTmp_;
};

TEST_F(AutomaticRun, ClearCleansTheTickedItemsAndClosesByItself) {
  StartedProcess p;
  ASSERT_TRUE(p.Start(ProgramPath(), L"/clear"));
  DWORD code = 99;
  ASSERT_TRUE(p.WaitForExit(60000, &code)) << "\"/Clear\" must close the program by itself";
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(Exists(Temp() + L"\\a.tmp"));
  EXPECT_FALSE(Exists(Temp() + L"\\sub\\b.tmp"));
  EXPECT_TRUE(Exists(std::wstring(kRoot) + L"\\sentinel.txt")) << "a file outside every target was removed";
  sys::RegistryKey mru;
  if (mru.Open(HKEY_CURRENT_USER, kRunMru)) {
    EXPECT_FALSE(mru.ValueExists(L"a"));
    EXPECT_FALSE(mru.ValueExists(L"MRUList"));
  }
}

TEST_F(AutomaticRun, AutoWithStartCleanAsksFirstAndADeclineCleansNothing) {
  StartedProcess p;
  ASSERT_TRUE(p.Start(ProgramPath(), L"/Auto"));
  HWND ask = p.WaitForWindow(L"TVantorelAskDelete", 20000, true);
  ASSERT_NE(ask, nullptr) << "the confirmation was not asked";
  ::PostMessageW(ask, WM_CLOSE, 0, 0);  // a closed confirmation is a No
  for (DWORD waited = 0; ::IsWindow(ask) && waited < 10000; waited += 20) ::Sleep(20);
  ASSERT_TRUE(p.WaitForIdle(10000));
  EXPECT_TRUE(Exists(Temp() + L"\\a.tmp"));
  HWND main = p.WaitForWindow(L"TVantorelMainWindow", 5000);
  ASSERT_NE(main, nullptr);
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(p.WaitForExit(30000, &code));
  EXPECT_EQ(code, 0u);
}

// A custom list aimed at the system's own files and keys is refused line by
// line under "/Clear", and its ordinary line still cleans.
TEST_F(AutomaticRun, ClearRefusesSystemLinesOfACustomListAndCleansTheRest) {
  wchar_t buf[MAX_PATH] = {};
  std::wstring windows(buf, ::GetWindowsDirectoryW(buf, MAX_PATH));
  std::wstring system(buf, ::GetSystemDirectoryW(buf, MAX_PATH));
  const std::wstring probeKey = L"SYSTEM\\CurrentControlSet\\Services\\VantorelClearProbe";
  const std::wstring own = std::wstring(kRoot) + L"\\own";
  ::SHCreateDirectoryExW(nullptr, own.c_str(), nullptr);
  ::SHCreateDirectoryExW(nullptr, (windows + L"\\vantorel-clear").c_str(), nullptr);
  Touch(own + L"\\a.tmp");
  Touch(own + L"\\keep.txt");
  Touch(system + L"\\vantorel-clear.dll");
  Touch(windows + L"\\vantorel-clear\\inner.txt");
  sys::RegistryKey probe;
  ASSERT_TRUE(probe.Create(HKEY_LOCAL_MACHINE, probeKey + L"\\Deep"));
  probe.WriteString(L"Start", L"2");
  const std::wstring custom = ProgramPath().substr(0, ProgramPath().rfind(L'\\')) + L"\\Custom.dat";
  std::ofstream(custom.c_str()) << "[<New List>]\r\n"
                                << "DelFile1=" << std::string(system.begin(), system.end()) << ",*.dll\r\n"
                                << "DelFile2=%windir%\\vantorel-clear\r\n"
                                << "DelFile3=C:\\vantorel-auto\\own,*.tmp\r\n"
                                << "DelRegValue1=HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\VantorelClearProbe\r\n";
  std::wstring ini = OptionsFile();
  ::WritePrivateProfileStringW(L"NodeSelected", L"SelectedCount", L"1", ini.c_str());
  ::WritePrivateProfileStringW(L"NodeSelected", L"1", L"Custom Lists - <New List>", ini.c_str());
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());

  StartedProcess p;
  ASSERT_TRUE(p.Start(ProgramPath(), L"/clear"));
  DWORD code = 99;
  bool ended = p.WaitForExit(60000, &code);
  ::DeleteFileW(custom.c_str());
  ASSERT_TRUE(ended) << "\"/Clear\" must close the program by itself";
  EXPECT_EQ(code, 1u) << "refused lines are reported in the exit code";
  EXPECT_FALSE(Exists(own + L"\\a.tmp"));
  EXPECT_TRUE(Exists(own + L"\\keep.txt"));
  EXPECT_TRUE(Exists(system + L"\\vantorel-clear.dll"));
  EXPECT_TRUE(Exists(system + L"\\kernel32.dll"));
  EXPECT_TRUE(Exists(windows + L"\\vantorel-clear\\inner.txt"));
  sys::RegistryKey kept;
  EXPECT_TRUE(kept.Open(HKEY_LOCAL_MACHINE, probeKey + L"\\Deep") && kept.ValueExists(L"Start"));
  ::DeleteFileW((system + L"\\vantorel-clear.dll").c_str());
  ::DeleteFileW((windows + L"\\vantorel-clear\\inner.txt").c_str());
  ::RemoveDirectoryW((windows + L"\\vantorel-clear").c_str());
  ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, (probeKey + L"\\Deep").c_str());
  ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, probeKey.c_str());
}

}  // namespace
