// The one way a message travels: reflection of a child's notification to the
// control that sent it, the dialog keys reaching IDOK and IDCANCEL, timers
// through the owner's WM_TIMER, and exceptions stopped at the window.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/KeyPresser.h"
#include "ui/Application.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/MessageBox.h"
#include "ui/Panels.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"

namespace {

// Records what reaches the form itself; can be told to throw.
class Probe : public ui::Form, public ui::IMessageBoxAnswerer {
 public:
  explicit Probe(const wchar_t* cls = L"VantorelMessagePathProbe") : ui::Form(cls) {
    previous_ = ui::SetMessageBoxAnswerer(this);
  }
  ~Probe() override { ui::SetMessageBoxAnswerer(previous_); }
  int Answer(HWND, const std::wstring& text, UINT) override {
    reported.push_back(text);
    return IDOK;
  }
  std::vector<UINT> commands, notifications;
  std::vector<std::wstring> reported;
  bool throwOnCommand = false;

 protected:
  bool OnCommand(UINT, UINT id) override {
    if (throwOnCommand) throw std::runtime_error("handler failed");
    commands.push_back(id);
    return true;
  }
  bool OnNotify(const NMHDR& header, LRESULT* result) override {
    notifications.push_back(header.code);
    *result = 7;
    return true;
  }

 private:
  ui::IMessageBoxAnswerer* previous_;
};

// A control that counts the notifications reflected to it.
class Sink : public ui::Control {
 public:
  bool Create(HWND parent) { return CreateControl(parent, L"STATIC", L"", WS_VISIBLE, 0, 0, 0, 10, 10); }
  bool OnReflect(UINT msg, WPARAM, LPARAM, LRESULT* result) override {
    if (msg != WM_NOTIFY) return false;
    ++notified;
    *result = 3;
    return true;
  }
  int notified = 0;
};

// A control that counts the system notices it hears.
class Listener : public ui::Control {
 public:
  bool Create(HWND parent) { return CreateCustom(parent, L"VantorelListener", L"", WS_VISIBLE, 0, 0, 0, 10, 10); }
  int heard = 0;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_SYSCOLORCHANGE || msg == WM_SETTINGCHANGE) ++heard;
    return Control::OnMessage(msg, w, l);
  }
};

class MessagePath : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::Application::Instance().Initialize();
    ASSERT_TRUE(form.Create(nullptr, L"probe"));
  }
  LRESULT Notify(HWND from, UINT code) {
    NMHDR header{from, 0, code};
    return form.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  }
  Probe form;
};

TEST_F(MessagePath, AChildsNotificationIsReflectedToIt) {
  ui::Button button;
  ASSERT_TRUE(button.Create(form.Handle(), L"b", 0, 0, 10, 10));
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  button.Send(BM_CLICK);
  EXPECT_EQ(clicks, 1);
  Sink sink;
  ASSERT_TRUE(sink.Create(form.Handle()));
  EXPECT_EQ(Notify(sink.Handle(), NM_CLICK), 3);
  EXPECT_EQ(sink.notified, 1);
  EXPECT_TRUE(form.commands.empty());
  EXPECT_TRUE(form.notifications.empty());
  // What no control of ours sent goes to the form's own handlers.
  EXPECT_EQ(Notify(form.Handle(), NM_DBLCLK), 7);
  form.Send(WM_COMMAND, MAKEWPARAM(42, 0), 0);
  EXPECT_EQ(form.notifications, std::vector<UINT>{static_cast<UINT>(NM_DBLCLK)});
  EXPECT_EQ(form.commands, std::vector<UINT>{42});
}

// Windows tells top-level windows only of new system colours and settings:
// the form tells each control inside it once, however deep.
TEST_F(MessagePath, SystemChangesReachEveryControlOnce) {
  ui::Panel panel, inner;
  Listener onForm, onPanel, deep;
  ASSERT_TRUE(panel.Create(form.Handle(), 0, 0, 100, 100, false));
  ASSERT_TRUE(inner.Create(panel.Handle(), 0, 0, 50, 50, false));
  ASSERT_TRUE(onForm.Create(form.Handle()) && onPanel.Create(panel.Handle()) && deep.Create(inner.Handle()));
  for (UINT msg : {WM_SYSCOLORCHANGE, WM_SETTINGCHANGE}) {
    SCOPED_TRACE(msg);
    onForm.heard = onPanel.heard = deep.heard = 0;
    form.Send(msg, 0, 0);
    EXPECT_EQ(onForm.heard, 1);
    EXPECT_EQ(onPanel.heard, 1);
    EXPECT_EQ(deep.heard, 1);
  }
}

TEST_F(MessagePath, EveryControlGetsAnIdOfItsOwn) {
  ui::Button a, b;
  ASSERT_TRUE(a.Create(form.Handle(), L"a", 0, 0, 10, 10));
  ASSERT_TRUE(b.Create(form.Handle(), L"b", 0, 0, 10, 10));
  EXPECT_GE(a.Id(), 1000);
  EXPECT_NE(a.Id(), b.Id());
  b.SetId(IDCANCEL);
  EXPECT_EQ(::GetDlgItem(form.Handle(), IDCANCEL), b.Handle());
}

TEST_F(MessagePath, AnExceptionInAHandlerIsReportedAndStopsThere) {
  form.throwOnCommand = true;
  EXPECT_EQ(form.Send(WM_COMMAND, MAKEWPARAM(5, 0), 0), 0);
  ASSERT_EQ(form.reported.size(), 1u);
  EXPECT_EQ(form.reported[0], L"handler failed");
  EXPECT_TRUE(form.Exists());
}

TEST_F(MessagePath, AnOwnedTimerArrivesAsTheOwnersTimerMessage) {
  ui::Timer timer;
  timer.SetOwner(form.Handle(), 9);
  timer.SetInterval(10);
  int ticks = 0;
  timer.OnTimer = [&] {
    ++ticks;
    throw std::runtime_error("tick failed");
  };
  timer.SetEnabled(true);
  const DWORD start = ::GetTickCount();
  MSG msg;
  while (ticks == 0 && ::GetTickCount() - start < 5000) {
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    else ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  timer.SetEnabled(false);
  EXPECT_GE(ticks, 1);
  ASSERT_FALSE(form.reported.empty());
  EXPECT_EQ(form.reported[0], L"tick failed");
  // Someone else's timer id on the same window is not ours to run.
  EXPECT_FALSE(ui::Timer::Fire(form.Handle(), 10));
}

// A dialog with OK and Cancel buttons that set their own results.
class TwoButtons : public ui::Form {
 public:
  TwoButtons() : ui::Form(L"VantorelTwoButtons") {}
  // `keyed`: an edit with keys of its own comes first and has the focus.
  bool Make(bool keyed = false) {
    if (!Create(nullptr, L"two", WS_POPUP | WS_CAPTION)) return false;
    if (keyed) box.Create(hwnd_, L"", 10, 40, 100, 20);
    box.OnKeyDown = [](UINT key) { return key == 'S'; };
    ok.Create(hwnd_, L"OK", 10, 10, 60, 20, BS_DEFPUSHBUTTON);
    cancel.Create(hwnd_, L"Cancel", 80, 10, 60, 20);
    ok.SetId(IDOK);
    cancel.SetId(IDCANCEL);
    ok.OnClick = [this] { SetModalResult(IDYES); };
    cancel.OnClick = [this] { SetModalResult(IDNO); };
    return true;
  }
  ui::Edit box;
  ui::Button ok, cancel;
};

TEST(DialogKeys, EnterAndEscapeReachTheOkAndCancelButtons) {
  ui::Application::Instance().Initialize();
  const struct {
    WPARAM key;
    int result;
    bool inKeyedEdit;  // the edit's handler leaves these keys to the dialog
  } cases[] = {{VK_RETURN, IDYES, false}, {VK_ESCAPE, IDNO, false}, {VK_RETURN, IDYES, true}, {VK_ESCAPE, IDNO, true}};
  for (const auto& c : cases) {
    TwoButtons dialog;
    ASSERT_TRUE(dialog.Make(c.inKeyedEdit));
    testing_support::KeyPresser press(L"VantorelTwoButtons", c.key);
    EXPECT_EQ(dialog.ShowModal(nullptr), c.result) << "key " << c.key;
    EXPECT_TRUE(press.Pressed());
    if (c.inKeyedEdit) {
      EXPECT_EQ(press.Target(), dialog.box.Handle());
    }
  }
}

// A button that turns disabled while focused leaves the focus on the next stop.
TEST(DialogKeys, AFocusedButtonThatTurnsDisabledHandsTheFocusOn) {
  ui::Application::Instance().Initialize();
  TwoButtons dialog;
  ASSERT_TRUE(dialog.Make());
  ::ShowWindow(dialog.Handle(), SW_SHOW);
  ::SetFocus(dialog.ok.Handle());
  dialog.ok.Enable(false);
  EXPECT_EQ(::GetFocus(), dialog.cancel.Handle());
}

TEST(DialogKeys, EscapeClosesAModalFormThroughItsCloseBoxOnly) {
  ui::Application::Instance().Initialize();
  const struct {
    DWORD style;
    bool closes;
  } cases[] = {{WS_POPUP | WS_CAPTION | WS_SYSMENU, true}, {WS_POPUP | WS_CAPTION, false}};
  for (const auto& c : cases) {
    ui::Form dialog(L"VantorelPlainModal");
    ASSERT_TRUE(dialog.Create(nullptr, L"plain", c.style));
    testing_support::KeyPresser press(L"VantorelPlainModal", VK_ESCAPE);
    EXPECT_EQ(dialog.ShowModal(nullptr), IDCANCEL);
    EXPECT_EQ(press.ClosedByKey(), c.closes) << "style " << c.style;
  }
}

TEST(DialogKeys, WithoutTheButtonsTheFormHearsTheCommand) {
  ui::Application::Instance().Initialize();
  Probe form(L"VantorelNoButtons");
  ASSERT_TRUE(form.Create(nullptr, L"none", WS_POPUP | WS_CAPTION));
  testing_support::KeyPresser press(L"VantorelNoButtons", VK_ESCAPE);
  const DWORD start = ::GetTickCount();
  ::ShowWindow(form.Handle(), SW_SHOW);
  MSG msg;
  while (form.commands.empty() && ::GetTickCount() - start < 10000) {
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      continue;
    }
    if (!::IsDialogMessageW(form.Handle(), &msg)) ::DispatchMessageW(&msg);
  }
  EXPECT_EQ(form.commands, std::vector<UINT>{IDCANCEL});
}

}  // namespace
