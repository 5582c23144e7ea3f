// The skinned frame on an MDI child: the main form's menu refreshed on
// activation and on the last child's end, the title bar hidden and the
// content moved up while maximised, and the three "Sorry" refusals.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "skin/SkinTestHost.h"
#include "skin/form/SkinForm.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"
#include "ui/StdControls.h"

namespace {

std::vector<std::pair<UINT, WPARAM>> g_clientMessages;
WNDPROC g_clientProc = nullptr;

// Notes the MDI requests the frame sends to the client.
LRESULT CALLBACK ClientSpy(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_MDIREFRESHMENU || msg == WM_MDIMAXIMIZE || msg == WM_MDIRESTORE) g_clientMessages.push_back({msg, w});
  return ::CallWindowProcW(g_clientProc, hwnd, msg, w, l);
}

class MdiMain : public ui::Form {
 public:
  MdiMain() : ui::Form(L"VantorelSkinMdiMain") {}
  bool Build() {
    if (!Create(nullptr, L"Main", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN)) return false;
    CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
    client = ::CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 600, 400,
                               Handle(), nullptr, ::GetModuleHandleW(nullptr), &ccs);
    if (client == nullptr) return false;
    g_clientProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ClientSpy)));
    ::SetWindowPos(Handle(), nullptr, 0, 0, 640, 480, SWP_NOZORDER);
    ::ShowWindow(Handle(), SW_SHOW);
    return true;
  }
  HWND client = nullptr;

 protected:
  LRESULT DefaultProc(UINT msg, WPARAM w, LPARAM l) override { return ::DefFrameProcW(hwnd_, client, msg, w, l); }
};

class MdiChild : public ui::Form {
 public:
  MdiChild() : ui::Form(L"VantorelSkinMdiChild") {}
  bool Build(HWND client) {
    if (!Create(client, L"Child", WS_OVERLAPPEDWINDOW | WS_VISIBLE, WS_EX_MDICHILD)) return false;
    return Frame.Create(*this) && label.Create(Frame.Handle(), L"on the frame", 10, 50);
  }
  skin::TskForm Frame;
  ui::Label label;

 protected:
  LRESULT DefaultProc(UINT msg, WPARAM w, LPARAM l) override { return ::DefMDIChildProcW(hwnd_, msg, w, l); }
};

// The frame names its form in wParam, which the system's own requests do not.
bool Seen(UINT msg, HWND form) {
  const std::pair<UINT, WPARAM> sent{msg, reinterpret_cast<WPARAM>(form)};
  return std::find(g_clientMessages.begin(), g_clientMessages.end(), sent) != g_clientMessages.end();
}

TEST(SkinFormMdi, MaximisedChildHidesItsTitleAndMovesItsContentUp) {
  ui::Application::Instance().Initialize();
  MdiMain main;
  ASSERT_TRUE(main.Build());
  MdiChild child, other;
  ASSERT_TRUE(child.Build(main.client));
  ASSERT_TRUE(other.Build(main.client));  // active now
  g_clientMessages.clear();
  ::SendMessageW(main.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child.Handle()), 0);
  skin_test::PumpFor(50);
  EXPECT_TRUE(Seen(WM_MDIREFRESHMENU, child.Handle())) << "activation refreshes the main form's menu";
  EXPECT_TRUE(child.Frame.TitleBar().FormActive());
  const int titleHeight = child.Frame.TitleBar().Height();
  ASSERT_TRUE(child.Frame.TitleBarVisible());

  g_clientMessages.clear();
  ::SendMessageW(main.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child.Handle()), 0);
  skin_test::PumpFor(50);
  ASSERT_TRUE(::IsZoomed(child.Handle()));
  EXPECT_FALSE(child.Frame.TitleBarVisible());
  EXPECT_EQ(50 + 3 - titleHeight, child.label.Top());

  ::SendMessageW(main.client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child.Handle()), 0);
  skin_test::PumpFor(50);
  ASSERT_FALSE(::IsZoomed(child.Handle()));
  EXPECT_TRUE(child.Frame.TitleBarVisible());
  EXPECT_EQ(50, child.label.Top());

  // The last child going while maximised refreshes the menu and restores.
  ::DestroyWindow(other.Handle());
  ::SendMessageW(main.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child.Handle()), 0);
  g_clientMessages.clear();
  HWND gone = child.Handle();
  ::DestroyWindow(gone);
  EXPECT_TRUE(Seen(WM_MDIREFRESHMENU, gone));
  EXPECT_TRUE(Seen(WM_MDIRESTORE, gone));
  ::DestroyWindow(main.Handle());
}

// Answers every message box with OK and keeps its text.
struct Answerer : ui::IMessageBoxAnswerer {
  int Answer(HWND, const std::wstring& text, UINT flags) override {
    texts.push_back(text);
    error = (flags & MB_ICONERROR) != 0;
    return IDOK;
  }
  std::vector<std::wstring> texts;
  bool error = false;
};

TEST(SkinFormSorry, SecondClientSectionSecondControlBoxAndTheFrameAsItsOwnPanel) {
  ui::Application::Instance().Initialize();
  MdiMain plain;  // any form will do
  ASSERT_TRUE(plain.Create(nullptr, L"Plain", WS_OVERLAPPEDWINDOW));
  skin::TskForm frame;
  ASSERT_TRUE(frame.Create(plain));
  Answerer answers;
  ui::IMessageBoxAnswerer* previous = ui::SetMessageBoxAnswerer(&answers);
  skin::TskTitleBar& bar = frame.TitleBar();
  ASSERT_GE(bar.Sections.size(), 3u);
  size_t client = 0;
  while (client < bar.Sections.size() && bar.Sections[client].Align != skin::skClient) ++client;
  ASSERT_LT(client, bar.Sections.size());
  const size_t other = client == 0 ? 1 : 0;
  const struct {
    const char* what;
    bool (*act)(skin::TskForm&, size_t);
    std::wstring text;
  } cases[] = {
      {"second client section", [](skin::TskForm& f, size_t i) { return f.TitleBar().SetSectionAlign(i, skin::skClient); },
       L"Sorry, only one section's Align property can be \"skClient\""},
      {"second control box", [](skin::TskForm& f, size_t) { return f.TitleBar().SetButtonType(1, skin::skControlBox); },
       L"Sorry, only one button's ButtonType property can be \"skControlBox\""},
      {"the frame as its own panel", [](skin::TskForm& f, size_t) { return f.SetFormPanel(&f); },
       L"Sorry, you can't select the Form assign to FormPanel property"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    answers.texts.clear();
    EXPECT_FALSE(c.act(frame, other));
    ASSERT_EQ(1u, answers.texts.size());
    EXPECT_EQ(c.text, answers.texts[0]);
    EXPECT_TRUE(answers.error);
  }
  EXPECT_NE(skin::skClient, bar.Sections[other].Align);
  EXPECT_EQ(skin::skClose, bar.Buttons[1].ButtonType);
  EXPECT_EQ(nullptr, frame.FormPanel());
  ui::SetMessageBoxAnswerer(previous);
  frame.Remove();
  ::DestroyWindow(plain.Handle());
}

}  // namespace
