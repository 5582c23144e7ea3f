// Shortcuts, sound events and the history lists end to end.
#include <shlobj.h>

#include "SectionTest.h"
#include "core/Text.h"
#include "registry/ScanFiles.h"

using namespace registry;
using namespace registry_test;

namespace {

const wchar_t kSchemes[] = L"AppEvents\\Schemes\\Apps";
const wchar_t kOpenSaveMru[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";
const wchar_t kUserAssist[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\{75048700-EF1F-11D0-9888-006097DEACF9}\\Count";

std::wstring Hkcu(const std::wstring& key) { return L"HKEY_CURRENT_USER\\" + key; }

class ShellSections : public SectionTest {
 protected:
  std::vector<std::pair<HKEY, std::wstring>> Places() const override {
    return {{HKEY_CURRENT_USER, kSchemes},
            {HKEY_CURRENT_USER, kOpenSaveMru},
            {HKEY_CURRENT_USER, kOpenSaveMru + std::wstring(L"\\txt")},
            {HKEY_CURRENT_USER, kUserAssist}};
  }
};

// Shortcuts on the user's desktop and in a folder on it, removed again.
class DesktopShortcuts : public ShellSections {
 protected:
  void SetUp() override {
    ShellSections::SetUp();
    desktop_ = SpecialFolderPath(CSIDL_DESKTOPDIRECTORY);
    ASSERT_FALSE(desktop_.empty());
    folder_ = desktop_ + L"\\VantorelShortcuts";
    RemoveShortcuts();
    ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
  }
  void TearDown() override {
    RemoveShortcuts();
    ShellSections::TearDown();
  }
  void RemoveShortcuts() {
    for (const wchar_t* name : {L"VantorelGone.lnk", L"VantorelPresent.lnk", L"VantorelFolder.lnk",
                                L"VantorelNotALink.lnk", L"VantorelShortcuts\\deep.lnk"})
      ::DeleteFileW((desktop_ + L"\\" + name).c_str());
    ::RemoveDirectoryW(folder_.c_str());
  }
  std::wstring Link(const wchar_t* name) const { return desktop_ + L"\\" + name; }
  std::wstring desktop_, folder_;
};

TEST_F(DesktopShortcuts, ShortcutsToMissingTargetsOnly) {
  const TRows before = Scan({L"18"});
  const std::wstring gone = dir_.Missing(L"gone.exe"), deep = dir_.Missing(L"deep.exe");
  ASSERT_TRUE(MakeShortcut(Link(L"VantorelGone.lnk"), gone));
  ASSERT_TRUE(MakeShortcut(Link(L"VantorelPresent.lnk"), dir_.File(L"present.exe")));
  ASSERT_TRUE(MakeShortcut(Link(L"VantorelFolder.lnk"), dir_.Folder(L"Folder")));
  ASSERT_TRUE(MakeShortcut(Link(L"VantorelShortcuts\\deep.lnk"), deep));
  ASSERT_TRUE(::CopyFileW(dir_.File(L"plain.txt").c_str(), Link(L"VantorelNotALink.lnk").c_str(), FALSE));

  const std::wstring p = Problem(sidShortcuts);
  EXPECT_TRUE(AddsExactly(before, Scan({L"18"}),
                          {{p, gone, Link(L"VantorelGone.lnk"), fkDeleteFile},
                           {p, deep, Link(L"VantorelShortcuts\\deep.lnk"), fkDeleteFile}}));
}

TEST_F(ShellSections, SoundSchemeKeysNamingMissingFiles) {
  const TRows before = Scan({L"19"});
  const std::wstring event = std::wstring(kSchemes) + L"\\VantorelApp\\VantorelEvent";
  SetText(HKEY_CURRENT_USER, event + L"\\.Current", L"", dir_.Missing(L"current.wav"));
  SetText(HKEY_CURRENT_USER, event + L"\\.DEFAULT", L"", dir_.Missing(L"default.wav"), REG_EXPAND_SZ);
  SetText(HKEY_CURRENT_USER, event + L"\\Other", L"", dir_.Missing(L"other.wav"));  // not a scheme key
  SetText(HKEY_CURRENT_USER, event + L"\\.Current", L"Extra", dir_.Missing(L"extra.wav"));  // not the default
  SetText(HKEY_CURRENT_USER, std::wstring(kSchemes) + L"\\VantorelApp\\VantorelGood\\.current", L"",
          dir_.File(L"present.wav"));

  const std::wstring p = Problem(sidSoundEvents);
  EXPECT_TRUE(AddsExactly(before, Scan({L"19"}),
                          {{p, dir_.Missing(L"current.wav"), Hkcu(event + L"\\.Current"), fkDeleteDefaultValue},
                           {p, dir_.Missing(L"default.wav"), Hkcu(event + L"\\.DEFAULT"), fkDeleteDefaultValue}}));
}

std::vector<BYTE> UserAssistData(DWORD count, size_t size = 16) {
  std::vector<BYTE> data(size, 0);
  if (size >= 8) memcpy(&data[4], &count, sizeof(count));
  return data;
}

TEST_F(ShellSections, OpenSaveListsAndUserAssistCounts) {
  const TRows before = Scan({L"24"});
  dir_.File(L"vantorel-doc.txt");
  // The key's own values name files without their extension.
  SetText(HKEY_CURRENT_USER, kOpenSaveMru, L"vantorel-ext", dir_.Path() + L"\\vantorel-doc");  // .txt exists
  SetText(HKEY_CURRENT_USER, kOpenSaveMru, L"vantorel-whole", dir_.Path() + L"\\vantorel-doc.txt");
  SetText(HKEY_CURRENT_USER, kOpenSaveMru, L"vantorel-gone", dir_.Missing(L"gone"));
  SetText(HKEY_CURRENT_USER, kOpenSaveMru, L"vantorel-relative", L"gone.txt");
  SetText(HKEY_CURRENT_USER, kOpenSaveMru + std::wstring(L"\\txt"), L"vantorel-a", dir_.Missing(L"gone.txt"));
  SetText(HKEY_CURRENT_USER, kOpenSaveMru + std::wstring(L"\\txt"), L"vantorel-b",
          dir_.Path() + L"\\vantorel-doc.txt");

  auto assist = [](const std::wstring& name, const std::vector<BYTE>& data) {
    SetBytes(HKEY_CURRENT_USER, kUserAssist, core::Rot13(name), REG_BINARY, data);
  };
  const std::wstring present = dir_.File(L"vantorel-present.exe");
  const std::wstring neverRun = L"UEME_RUNPATH:" + dir_.File(L"vantorel-idle.exe");
  const std::wstring missing = L"UEME_RUNPATH:" + dir_.Missing(L"vantorel-gone.exe");
  const std::wstring link = L"UEME_RUNPATH:" + dir_.Missing(L"vantorel-gone.lnk");
  const std::wstring linkNeverRun = L"UEME_RUNPIDL:" + dir_.Missing(L"vantorel-old.lnk");
  assist(L"UEME_RUNPATH:" + present, UserAssistData(5));
  assist(neverRun, UserAssistData(0));
  assist(missing, UserAssistData(3));
  assist(link, UserAssistData(3));  // shortcuts are judged by their count only
  assist(linkNeverRun, UserAssistData(0));
  assist(L"UEME_CTLSESSION:vantorel-large", UserAssistData(0, 40000));  // too large to examine
  assist(L"UEME_CTLCUACount:vantorel-short", UserAssistData(0, 4));    // no count in it

  const std::wstring p = Problem(sidMruLists), mru = Hkcu(kOpenSaveMru), counts = Hkcu(kUserAssist);
  EXPECT_TRUE(AddsExactly(before, Scan({L"24"}),
                          {{p, dir_.Missing(L"gone"), mru + L"\\vantorel-gone", fkDeleteValue},
                           {p, dir_.Missing(L"gone.txt"), mru + L"\\txt\\vantorel-a", fkDeleteValue},
                           {p, neverRun, counts, fkDeleteUserAssistValue},
                           {p, missing, counts, fkDeleteUserAssistValue},
                           {p, linkNeverRun, counts, fkDeleteUserAssistValue}}));
}

}  // namespace
