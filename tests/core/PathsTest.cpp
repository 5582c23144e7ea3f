#include <gtest/gtest.h>

#include <functional>

#include <windows.h>
#include <shlobj.h>

#include <thread>
#include <utility>

#include "Scratch.h"
#include "core/FolderDialog.h"
#include "core/Paths.h"

using namespace core;

namespace {

bool EndsWith(const std::wstring& s, const std::wstring& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsFolder(const std::wstring& path) {
  DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Restores the shell's folder browser when a test ends.
using BrowseAnswer = std::function<bool(const std::wstring& caption, const std::wstring& root, std::wstring* chosen)>;

struct BrowserScope : IFolderBrowser {
  explicit BrowserScope(BrowseAnswer b) : answer(std::move(b)), previous(SetFolderBrowser(this)) {}
  ~BrowserScope() override { SetFolderBrowser(previous); }
  bool Browse(const std::wstring& caption, const std::wstring& root, std::wstring* chosen) override {
    return answer(caption, root, chosen);
  }
  BrowseAnswer answer;
  IFolderBrowser* previous;
};

}  // namespace

TEST(JoinPath, OneBackslashBetweenFolderAndName) {
  struct Case {
    const wchar_t* folder;
    const wchar_t* name;
    const wchar_t* joined;
  };
  const Case cases[] = {
      {L"C:\\Users\\Ann\\AppData\\Roaming", L"Vantorel", L"C:\\Users\\Ann\\AppData\\Roaming\\Vantorel"},
      {L"C:\\Roaming\\", L"Vantorel", L"C:\\Roaming\\Vantorel"},
      {L"C:\\Roaming\\", L"\\Vantorel\\options.ini", L"C:\\Roaming\\Vantorel\\options.ini"},
      {L"C:\\Roaming\\\\", L"\\\\options.ini", L"C:\\Roaming\\options.ini"},
      {L"C:\\Roaming/", L"options.ini", L"C:\\Roaming\\options.ini"},
      {L"C:\\", L"kavo.dat", L"C:\\kavo.dat"},
      {L"C:\\Prog", L"", L"C:\\Prog\\"},
      {L"", L"options.ini", L"options.ini"},  // never made root-relative
      {L"\\\\", L"server", L"\\\\server"},
  };
  for (const Case& c : cases) EXPECT_EQ(JoinPath(c.folder, c.name), c.joined) << c.folder << L" + " << c.name;
}

TEST(JoinPath, FolderWithOneTrailingBackslash) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"", L""}, {L"C:\\A", L"C:\\A\\"}, {L"C:\\A\\", L"C:\\A\\"}, {L"C:\\A\\\\", L"C:\\A\\"}, {L"C:\\", L"C:\\"}};
  for (const auto& c : cases) EXPECT_EQ(WithTrailingBackslash(c.first), c.second) << c.first;
  EXPECT_EQ(GetAppDataPath().find(L"\\\\"), std::wstring::npos) << GetAppDataPath();
}

TEST(UserAppDataRoot, CutsAppDataOutOfTheRoamingFolder) {
  EXPECT_EQ(UserAppDataRootFrom(L"C:\\Users\\Ann\\AppData\\Roaming"), L"C:\\Users\\Ann\\AppData\\");
  EXPECT_EQ(UserAppDataRootFrom(L"c:\\users\\ann\\appdata\\roaming"), L"c:\\users\\ann\\AppData\\");
  // Windows XP names it Application Data: not available rather than a relative "AppData\".
  EXPECT_EQ(UserAppDataRootFrom(L"C:\\Documents and Settings\\Ann\\Application Data"), L"");
  EXPECT_EQ(UserAppDataRootFrom(L""), L"");
}

TEST(SpecialFolders, ResolveToFullFoldersInTheTestPrefix) {
  const std::wstring appData = GetAppDataPath();
  ASSERT_FALSE(appData.empty());
  EXPECT_TRUE(EndsWith(appData, L"\\"));
  EXPECT_TRUE(IsFolder(appData));
  EXPECT_EQ(appData.find(L":\\"), 1u);

  const std::wstring cache = GetInternetCachePath();
  ASSERT_FALSE(cache.empty());
  EXPECT_FALSE(EndsWith(cache, L"\\"));
  EXPECT_EQ(cache.find(L":\\"), 1u);

  const std::wstring root = GetUserAppDataRoot();
  ASSERT_FALSE(root.empty());
  EXPECT_TRUE(EndsWith(root, L"AppData\\"));
  EXPECT_EQ(appData.compare(0, root.size(), root), 0) << appData << L" is not below " << root;
  EXPECT_EQ(GetEdgePackagePath(), root + L"Local\\Packages\\Microsoft.MicrosoftEdge_8wekyb3d8bbwe\\AC\\");
}

TEST(SelectDirectory, KeepsEmptiesOrReplacesTheDirectory) {
  core_test::ScratchFolder dir;
  std::wstring seenCaption, seenRoot;
  bool answer = false;
  BrowserScope scope([&](const std::wstring& caption, const std::wstring& root, std::wstring* chosen) {
    seenCaption = caption;
    seenRoot = root;
    if (answer) *chosen = L"C:\\Picked";
    return answer;
  });

  std::wstring directory = dir.Path();
  EXPECT_FALSE(SelectDirectory(L"Select the backup folder", L"", directory));
  EXPECT_EQ(directory, dir.Path());  // cancelled: kept
  EXPECT_EQ(seenCaption, L"Select the backup folder");

  directory = dir / L"gone";
  EXPECT_FALSE(SelectDirectory(L"c", L"C:\\", directory));
  EXPECT_EQ(directory, L"");  // no longer exists, then cancelled
  EXPECT_EQ(seenRoot, L"C:\\");

  answer = true;
  EXPECT_TRUE(SelectDirectory(L"c", L"", directory));
  EXPECT_EQ(directory, L"C:\\Picked");
}

TEST(CenterBrowseDialog, CentresTheClientAreaOnInitialisationOnly) {
  EXPECT_EQ(CenteredOrigin(1280, 1024, 400, 300).x, 440);
  EXPECT_EQ(CenteredOrigin(1280, 1024, 400, 300).y, 362);
  EXPECT_EQ(CenteredOrigin(800, 600, 801, 601).x, 0);  // rounds toward zero

  HWND w = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 5, 7, 300, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  RECT r{};
  EXPECT_EQ(CenterBrowseDialogProc(w, BFFM_SELCHANGED, 0, 0), 0);
  ::GetWindowRect(w, &r);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(CenterBrowseDialogProc(w, BFFM_INITIALIZED, 0, 0), 0);
  ::GetWindowRect(w, &r);
  RECT client{};
  ::GetClientRect(w, &client);
  EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - client.right) / 2);
  EXPECT_EQ(r.top, (::GetSystemMetrics(SM_CYSCREEN) - client.bottom) / 2);
  EXPECT_EQ(r.right - r.left, 300);  // not resized
  ::DestroyWindow(w);
}

namespace {

struct DialogSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND w, LPARAM l) {
  auto* s = reinterpret_cast<DialogSearch*>(l);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(w, &pid);
  wchar_t cls[64] = {};
  ::GetClassNameW(w, cls, 64);
  if (pid == s->pid && ::IsWindowVisible(w) && lstrcmpW(cls, L"#32770") == 0) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

TEST(SelectDirectory, TheShellBrowserOpensCentredAndCancels) {
  HWND dialog = nullptr;
  RECT at{};
  std::thread closer([&] {
    for (int i = 0; i < 200 && dialog == nullptr; ++i, ::Sleep(50)) {
      DialogSearch s{::GetCurrentProcessId(), nullptr};
      ::EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&s));
      dialog = s.found;
    }
    if (dialog == nullptr) return;
    ::Sleep(200);
    ::GetWindowRect(dialog, &at);
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  std::wstring directory = L"C:\\windows";
  bool chosen = SelectDirectory(L"Pick a folder", L"", directory);
  closer.join();
  ASSERT_NE(dialog, nullptr) << "the folder browser did not open";
  EXPECT_FALSE(chosen);
  EXPECT_EQ(directory, L"C:\\windows");
  const int width = at.right - at.left;
  EXPECT_NEAR(at.left, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2, 16);
}
