// The sections' Windows-version gates, through the version Wine reports: a
// copy of this test program runs under Windows XP, 7 and 8 (Wine's
// per-program version setting), scans with the settings it reads from the
// system, and hands its rows back in a file.
#include <fstream>
#include <sstream>

#include "SectionTest.h"
#include "support/TestSupport.h"
#include "sys/RegistryKey.h"
#include "sys/Text.h"

using namespace registry;
using namespace registry_test;

namespace {

const wchar_t kGateExe[] = L"vantorel-gate.exe";
const wchar_t kAppDefaults[] = L"Software\\Wine\\AppDefaults\\vantorel-gate.exe";
const wchar_t kSections[] = L"7,11,15";
const wchar_t kSharedDlls[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
const wchar_t kUninstall[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t kClasses[] = L"Software\\Classes";
const wchar_t kFileExts[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

std::wstring EnvText(const wchar_t* name) {
  wchar_t buf[MAX_PATH * 2];
  DWORD n = ::GetEnvironmentVariableW(name, buf, MAX_PATH * 2);
  return n > 0 && n < MAX_PATH * 2 ? std::wstring(buf, n) : std::wstring();
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t sep) {
  std::vector<std::wstring> parts;
  std::wstringstream in(text);
  for (std::wstring part; std::getline(in, part, sep);) parts.push_back(part);
  return parts;
}

// In the child only: the scan's version code and rows, one per line.
TEST(VersionGateChild, WritesItsScan) {
  const std::wstring out = EnvText(L"VANTOREL_GATE_OUT");
  if (out.empty()) GTEST_SKIP() << "runs inside the version gate test only";
  const TScanSettings settings = ScanSettingsFromSystem();
  const TRows rows = RunScan(Split(EnvText(L"VANTOREL_GATE_SECTIONS"), L','), settings);
  std::ofstream file(sys::ToAnsi(out), std::ios::binary);
  file << settings.WindowsVersion << "\n";
  for (const auto& r : rows)
    file << sys::ToUtf8(r.Problem + L"\t" + r.Data + L"\t" + r.RegistryKey + L"\t") << r.FixKind << "\n";
}

class VersionGate : public SectionTest {
 protected:
  std::vector<std::pair<HKEY, std::wstring>> Places() const override {
    return {{HKEY_LOCAL_MACHINE, kSharedDlls},
            {HKEY_LOCAL_MACHINE, kUninstall},
            {HKEY_LOCAL_MACHINE, kClasses},
            {HKEY_CURRENT_USER, kFileExts}};
  }
  void SetUp() override {
    SectionTest::SetUp();
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    exe_ = dir_.Path() + L"\\" + kGateExe;
    ASSERT_TRUE(::CopyFileW(self, exe_.c_str(), FALSE));
  }
  void TearDown() override {
    DeleteTree(HKEY_CURRENT_USER, kAppDefaults);
    ::SetEnvironmentVariableW(L"VANTOREL_GATE_OUT", nullptr);
    ::SetEnvironmentVariableW(L"VANTOREL_GATE_SECTIONS", nullptr);
    SectionTest::TearDown();
  }

  // The rows of a scan in a program that Wine tells it runs on `version`.
  TRows ScanAs(const wchar_t* version, int* code) const {
    SetText(HKEY_CURRENT_USER, kAppDefaults, L"Version", version);
    const std::wstring out = dir_.Path() + L"\\gate-rows.txt";
    ::DeleteFileW(out.c_str());
    ::SetEnvironmentVariableW(L"VANTOREL_GATE_OUT", out.c_str());
    ::SetEnvironmentVariableW(L"VANTOREL_GATE_SECTIONS", kSections);
    testing_support::StartedProcess child;
    DWORD exitCode = 1;
    EXPECT_TRUE(child.Start(exe_, L"--gtest_filter=VersionGateChild.* --gtest_brief=1"));
    EXPECT_TRUE(child.WaitForExit(180000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    return ReadRows(out, code);
  }

  static TRows ReadRows(const std::wstring& path, int* code) {
    std::ifstream file(sys::ToAnsi(path), std::ios::binary);
    std::string line;
    *code = std::getline(file, line) ? std::stoi(line) : -1;
    TRows rows;
    while (std::getline(file, line)) {
      std::vector<std::wstring> f = Split(sys::FromUtf8(line), L'\t');
      if (f.size() == 4) rows.push_back({f[0], f[1], f[2], static_cast<TFixKind>(std::stoi(f[3]))});
    }
    return rows;
  }

  std::wstring exe_;
};

TEST_F(VersionGate, WindowsXpAgainstSevenAgainstEight) {
  struct TRun {
    const wchar_t* Version;
    int Code;
    TRows Before;
  };
  TRun runs[] = {{L"winxp", 9, {}}, {L"win7", 12, {}}, {L"win8", 13, {}}};
  for (auto& run : runs) {
    int code = 0;
    run.Before = ScanAs(run.Version, &code);
    ASSERT_EQ(code, run.Code) << "Wine did not report " << sys::ToUtf8(run.Version);
  }

  const std::wstring framework = dir_.Missing(L"Windows\\Microsoft.NET\\Framework\\v9\\gone.dll");
  SetDword(HKEY_LOCAL_MACHINE, kSharedDlls, framework, 1);
  SetText(HKEY_LOCAL_MACHINE, std::wstring(kUninstall) + L"\\VantorelIE40", L"DisplayName", L"Vantorel");
  SetText(HKEY_LOCAL_MACHINE, std::wstring(kClasses) + L"\\.vantoreldefault", L"", L"");
  CreateKey(HKEY_CURRENT_USER, std::wstring(kFileExts) + L"\\.vantorelchain\\OpenWithList");

  const TProblemRow netRow = {Problem(sidSharedDlls), framework, L"HKEY_LOCAL_MACHINE\\" + std::wstring(kSharedDlls),
                              fkDeleteNamedValue};
  const TProblemRow ie40Row = {Problem(sidUninstall), L"VantorelIE40",
                               L"HKEY_LOCAL_MACHINE\\" + std::wstring(kUninstall), fkDeleteSubKey};
  const TProblemRow defaultRow = {Problem(sidFileExtensions), L".vantoreldefault",
                                  L"HKEY_LOCAL_MACHINE\\Software\\Classes", fkDeleteSubKey};
  const TProblemRow chainRow = {Problem(sidFileExtensions), L".vantorelchain",
                                L"HKEY_CURRENT_USER\\" + std::wstring(kFileExts), fkDeleteSubKey};
  // Windows 8 leaves .NET libraries and its own inbox entries alone; Windows 7
  // and later under WOW64 count an empty default or an empty subkey as content.
  const TRows expected[] = {{netRow, ie40Row, defaultRow, chainRow}, {netRow, ie40Row}, {}};
  for (size_t i = 0; i < 3; ++i) {
    int code = 0;
    EXPECT_TRUE(AddsExactly(runs[i].Before, ScanAs(runs[i].Version, &code), expected[i]))
        << sys::ToUtf8(runs[i].Version);
  }
}

}  // namespace
