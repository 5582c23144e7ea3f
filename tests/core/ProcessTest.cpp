#include <gtest/gtest.h>

#include "Scratch.h"
#include "core/SystemInfo.h"

using namespace core;

namespace {

std::wstring ProbePath() {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring dir = self;
  return dir.substr(0, dir.find_last_of(L'\\')) + L"\\core_probe.exe";
}

}  // namespace

TEST(IsProcessRunning, FindsAProcessByItsExecutableNameIgnoringCase) {
  core_test::ScratchFolder dir;
  const std::wstring exe = dir / L"VtCoreProbe.EXE";
  ASSERT_TRUE(::CopyFileW(ProbePath().c_str(), exe.c_str(), FALSE)) << "core_probe.exe missing";
  EXPECT_FALSE(IsProcessRunning(L"vtcoreprobe.exe"));

  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + exe + L"\"";
  ASSERT_TRUE(::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &si, &pi));
  EXPECT_TRUE(IsProcessRunning(L"vtcoreprobe.exe"));
  EXPECT_TRUE(IsProcessRunning(L"VTCOREPROBE.EXE"));
  EXPECT_FALSE(IsProcessRunning(L"vtcoreprobe"));

  ::TerminateProcess(pi.hProcess, 0);
  ::WaitForSingleObject(pi.hProcess, 10000);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  // The process may linger in the list a moment after it ended.
  bool gone = false;
  for (int i = 0; i < 50 && !gone; ++i, ::Sleep(100)) gone = !IsProcessRunning(L"vtcoreprobe.exe");
  EXPECT_TRUE(gone);
}
