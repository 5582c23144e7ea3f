// Starts the real program under Wine and closes it as a user would.
#include <gtest/gtest.h>

#include "support/TestSupport.h"

using namespace testing_support;

TEST(Smoke, MainWindowOpensAndClosesWithExitCodeZero) {
  StartedProcess p;
  ASSERT_TRUE(p.Start(ProgramPath(), L"")) << "could not start Vantorel.exe, error " << ::GetLastError();
  HWND wnd = p.WaitForWindow(L"TVantorelMainWindow", 20000, true);
  ASSERT_NE(wnd, nullptr) << "main window not found by its class name";

  wchar_t caption[64] = {};
  ::GetWindowTextW(wnd, caption, 64);
  EXPECT_STREQ(caption, L"Vantorel 3.1");
  RECT rc{};
  ::GetClientRect(wnd, &rc);
  EXPECT_EQ(rc.right, 697);
  EXPECT_EQ(rc.bottom, 456);

  ASSERT_TRUE(::PostMessageW(wnd, WM_CLOSE, 0, 0));
  DWORD code = 12345;
  ASSERT_TRUE(p.WaitForExit(30000, &code)) << "program did not end within 30 s";
  EXPECT_EQ(code, 0u);
}
