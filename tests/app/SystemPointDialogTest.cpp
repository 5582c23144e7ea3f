// The restore-point dialog against a stand-in SRSetRestorePointA: success,
// refusal and the hint, a missing library or entry point that fails at once,
// a slow answer, and closing early.
#include <gtest/gtest.h>

#include <string>

#include "app/SystemPointForms.h"
#include "registry/fix/SystemPointThread.h"
#include "registry_fix/FixTestSupport.h"
#include "support/KeyPresser.h"
#include "ui/Application.h"

using namespace fix_test;

namespace {

class SystemPoint : public ::testing::Test {
 protected:
  void SetUp() override { ui::Application::Instance().Initialize(); }
  TTempFolder folder_{L"systempoint"};
};

// The request as the stand-in library records it.
std::string ExpectedRequest() {
  registry::TRestorePointInfoA info = registry::MakeRestorePointRequest();
  return std::string(reinterpret_cast<const char*>(&info), sizeof(info));
}

struct Shown {
  int result;
  DWORD ms;
  int position;
};

Shown ShowDialog() {
  app::TfrmSystemPoint dialog;
  DWORD start = ::GetTickCount();
  int result = dialog.Execute(nullptr);
  return {result, ::GetTickCount() - start, dialog.Position()};
}

}  // namespace

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
  EXPECT_EQ(registry::SystemRestoreLibraryPath(), std::wstring(system, n) + L"\\SrClient.dll");
  // Wine's own library refuses (or is absent): either way the dialog ends.
  TWindowClicker hint(L"TfrmSystemPointFailHint", L"&Continue to Repair");
  EXPECT_EQ(ShowDialog().result, IDOK);
}
