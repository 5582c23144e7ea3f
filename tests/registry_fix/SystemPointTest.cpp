// The restore-point dialog against a stand-in SRSetRestorePointA: the packed
// request it receives, success, refusal and the hint, a missing library or
// entry point that fails at once, a slow answer, and closing early.
#include <gtest/gtest.h>

#include <utility>

#include <cstring>

#include "FixTestSupport.h"
#include "registry/fix/SystemPointForms.h"
#include "support/KeyPresser.h"
#include "ui/Application.h"

using namespace registry;
using namespace fix_test;

namespace {

class SystemPoint : public ::testing::Test {
 protected:
  void SetUp() override { ui::Application::Instance().Initialize(); }
  TTempFolder folder_{L"systempoint"};
};

// The request as System Restore lays it out, byte by byte.
std::string ExpectedRequest() {
  std::string bytes(80, '\0');
  bytes[0] = 100;  // BEGIN_SYSTEM_CHANGE; APPLICATION_INSTALL and the sequence number stay 0
  std::memcpy(&bytes[16], "Made by Vantorel", 16);
  return bytes;
}

struct Shown {
  int result;
  DWORD ms;
  int position;
};

Shown ShowDialog() {
  TfrmSystemPoint dialog;
  DWORD start = ::GetTickCount();
  int result = dialog.Execute(nullptr);
  return {result, ::GetTickCount() - start, dialog.Position()};
}

}  // namespace

TEST(SystemPointBar, CreepsSlowerAsItFills) {
  int p = 0;
  std::vector<int> seen;
  for (int tick = 0; tick < 40; ++tick) seen.push_back(p = NextSystemPointPosition(p));
  EXPECT_EQ(seen[3], 40);  // after four ticks
  EXPECT_EQ(seen[5], 50);  // after six
  const std::pair<int, int> steps[] = {{30, 40}, {31, 36}, {55, 58}, {61, 63}, {81, 82}, {99, 100}, {100, 100}};
  for (const auto& [from, to] : steps) EXPECT_EQ(NextSystemPointPosition(from), to) << from;
  EXPECT_EQ(seen.back(), 100);
}

TEST(SystemPointRequest, PackedRecordsAsSystemRestoreReadsThem) {
  TRestorePointInfoA info = MakeRestorePointRequest();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&info), sizeof(info)), ExpectedRequest());
  EXPECT_EQ(offsetof(TRestorePointInfoA, szDescription), 16u);
  EXPECT_EQ(offsetof(TStateMgrStatus, llSequenceNumber), 4u);
}

TEST_F(SystemPoint, SuccessClosesWithOkAfterOneRequest) {
  TFakeSystemRestore fake(folder_, "ok");
  TWindowClicker hint(L"TfrmSystemPointFailHint", L"&Cancel");
  Shown shown = ShowDialog();
  EXPECT_EQ(shown.result, IDOK);
  EXPECT_LT(shown.ms, 5000u);
  EXPECT_FALSE(hint.Seen());
  EXPECT_EQ(fake.Requests(), ExpectedRequest());
}

TEST_F(SystemPoint, RefusalShowsTheHintWhichDecides) {
  for (const auto& [button, result] : {std::pair<const wchar_t*, int>{L"&Continue to Repair", IDOK},
                                       std::pair<const wchar_t*, int>{L"&Cancel", IDCANCEL}}) {
    TFakeSystemRestore fake(folder_, "fail");
    TWindowClicker hint(L"TfrmSystemPointFailHint", button, 200);
    EXPECT_EQ(ShowDialog().result, result);
    EXPECT_TRUE(hint.Seen());
    EXPECT_EQ(fake.Requests().size(), 80u);
  }
}

TEST_F(SystemPoint, EnterContinuesAndEscapeCancelsInTheHint) {
  for (const auto& [key, result] : {std::pair<WPARAM, int>{VK_RETURN, IDOK}, std::pair<WPARAM, int>{VK_ESCAPE, IDCANCEL}}) {
    TFakeSystemRestore fake(folder_, "fail");
    testing_support::KeyPresser press(L"TfrmSystemPointFailHint", key);
    EXPECT_EQ(ShowDialog().result, result) << "key " << key;
    EXPECT_TRUE(press.Pressed());
  }
}

TEST_F(SystemPoint, MissingLibraryOrEntryPointFailsAtOnce) {
  wchar_t system[MAX_PATH];
  UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring libraries[] = {folder_.Sub(L"SrClient.dll"), std::wstring(system, n) + L"\\version.dll"};
  for (const auto& library : libraries) {
    TFakeSystemRestore fake(library);
    TWindowClicker hint(L"TfrmSystemPointFailHint", L"&Cancel");
    Shown shown = ShowDialog();
    EXPECT_EQ(shown.result, IDCANCEL);
    EXPECT_TRUE(hint.Seen());
    EXPECT_LT(hint.SeenAfterMs(), 3000u);
  }
}

TEST_F(SystemPoint, SlowAnswerIsAwaitedWhileTheBarCreeps) {
  TFakeSystemRestore fake(folder_, "delay:3500");
  Shown shown = ShowDialog();
  EXPECT_EQ(shown.result, IDOK);
  EXPECT_GE(shown.ms, 3000u);
  EXPECT_GE(shown.position, 20);
  EXPECT_LT(shown.position, 100);
}

TEST_F(SystemPoint, ClosingBeforeTheAnswerCancels) {
  TFakeSystemRestore fake(folder_, "delay:4000");
  TWindowClicker close(L"TfrmSystemPoint", L"", 300);
  Shown shown = ShowDialog();
  EXPECT_EQ(shown.result, IDCANCEL);
  EXPECT_TRUE(close.Seen());
  EXPECT_LT(shown.ms, 3000u);
  ::Sleep(4500);  // the abandoned request ends on its own thread
}

TEST_F(SystemPoint, ProductionLibraryComesFromTheSystemFolder) {
  wchar_t system[MAX_PATH];
  UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_EQ(SystemRestoreLibraryPath(), std::wstring(system, n) + L"\\SrClient.dll");
  // Wine's own library refuses (or is absent): either way the dialog ends.
  TWindowClicker hint(L"TfrmSystemPointFailHint", L"&Continue to Repair");
  EXPECT_EQ(ShowDialog().result, IDOK);
}
