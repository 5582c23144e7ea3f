// The test run must never touch a real home folder or prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/TestSupport.h"

using namespace testing_support;

namespace {
bool StartsWith(const std::wstring& s, const std::wstring& prefix) {
  return !prefix.empty() && s.compare(0, prefix.size(), prefix) == 0;
}

// The family a font asked for by `face` really comes from; Wine answers a
// face it does not have with another one.
std::wstring ResolvedFamily(const wchar_t* face, BYTE charset) {
  LOGFONTW lf{-13};
  lf.lfCharSet = charset;
  lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
  HFONT font = ::CreateFontIndirectW(&lf);
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  wchar_t name[LF_FACESIZE] = {};
  ::GetTextFaceW(dc, LF_FACESIZE, name);  // all a bitmap font, with no outline, tells
  std::wstring family = name;
  std::vector<char> buf(::GetOutlineTextMetricsW(dc, 0, nullptr));
  auto* otm = reinterpret_cast<OUTLINETEXTMETRICW*>(buf.data());
  if (!buf.empty() && ::GetOutlineTextMetricsW(dc, static_cast<UINT>(buf.size()), otm) != 0)
    family = reinterpret_cast<const wchar_t*>(buf.data() + reinterpret_cast<size_t>(otm->otmpFamilyName));
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(font);
  return family;
}
}  // namespace

TEST(Harness, PrefixAndProfileLieInsideTheBuildFolder) {
  std::wstring build = Env(L"VANTOREL_BUILD_DIR");
  ASSERT_FALSE(build.empty());
  build += L"/";
  EXPECT_TRUE(StartsWith(Env(L"WINEPREFIX"), build)) << "WINEPREFIX outside the build folder";
  // Wine does not hand HOME to Windows programs; the run's own copy is kept.
  std::wstring home = Env(L"VANTOREL_TEST_ENV");
  EXPECT_TRUE(StartsWith(home, build)) << "test environment outside the build folder";

  std::wstring profile = Env(L"USERPROFILE");
  ASSERT_FALSE(profile.empty());
  std::wstring unixProfile = ToUnixPath(profile);
  EXPECT_TRUE(StartsWith(unixProfile, build)) << "profile maps to outside the build folder";

  // Whatever links Wine keeps in the profile (Documents, Desktop) must also
  // resolve inside the build folder.
  for (const wchar_t* sub : {L"\\Documents", L"\\Desktop"}) {
    std::wstring p = profile + sub;
    if (::GetFileAttributesW(p.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    wchar_t full[MAX_PATH * 4] = {};
    HANDLE h = ::CreateFileW(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = ::GetFinalPathNameByHandleW(h, full, MAX_PATH * 4, 0);
    ::CloseHandle(h);
    ASSERT_GT(n, 0u);
    std::wstring resolved = full;
    if (StartsWith(resolved, L"\\\\?\\")) resolved = resolved.substr(4);
    EXPECT_TRUE(StartsWith(ToUnixPath(resolved), build)) << "link leaves the build folder: " << std::string(p.begin(), p.end());
  }
}

// The caption buttons draw glyphs of Marlett and the texts use Tahoma and
// MS Sans Serif: the test prefix has them, as every prefix the scripts make.
TEST(Harness, ThePrefixHasTheFontsTheWindowsAreDrawnWith) {
  const struct { const wchar_t* face; BYTE charset; } fonts[] = {
      {L"Marlett", SYMBOL_CHARSET}, {L"Tahoma", DEFAULT_CHARSET}, {L"MS Sans Serif", DEFAULT_CHARSET}};
  for (const auto& f : fonts) {
    const std::wstring family = ResolvedFamily(f.face, f.charset);
    EXPECT_EQ(family, f.face) << "stood in for by " << std::string(family.begin(), family.end());
  }
}
