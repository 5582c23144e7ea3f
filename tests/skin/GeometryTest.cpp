// Text shortening, hit tests, parent backgrounds and the safe look-ups.
#include <gtest/gtest.h>

#include <vector>

#include "SkinTestHost.h"
#include "SkinTestSupport.h"
#include "skin/draw/Fills.h"
#include "skin/draw/Geometry.h"
#include "skin/draw/SafeCalls.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Panels.h"

namespace {

using skin_test::TextWidth;
TEST(EllipsizeText, KeepsWhatFitsAndShortensTheRest) {
  skin::Bitmap b(10, 10);
  HDC dc = b.Canvas();
  const std::wstring caption = L"Add to Ignore List and more words";
  std::wstring result;
  skin::EllipsizeText(dc, caption, TextWidth(dc, caption), result);
  EXPECT_EQ(caption, result);
  skin::EllipsizeText(dc, L"W", 1, result);
  EXPECT_EQ(L"W", result);  // nothing shorter to offer
  const int max = TextWidth(dc, L"Add to...");
  skin::EllipsizeText(dc, caption, max, result);
  ASSERT_GE(result.size(), 4u);
  EXPECT_EQ(L"...", result.substr(result.size() - 3));
  EXPECT_EQ(0u, caption.find(result.substr(0, result.size() - 3)));
  EXPECT_GE(TextWidth(dc, result), max);
  EXPECT_LT(TextWidth(dc, result.substr(0, result.size() - 4) + L"..."), max);  // the shortest such text
}

TEST(PointInRect, AllFourEdgesCount) {
  const RECT r{10, 20, 30, 40};
  struct Case {
    int x, y;
    bool inside;
  };
  const Case cases[] = {{10, 20, true},  {30, 40, true},  {30, 20, true},  {20, 30, true},
                        {9, 30, false},  {31, 30, false}, {20, 19, false}, {20, 41, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.inside, skin::PointInRect(c.x, c.y, r)) << c.x << "," << c.y;
    EXPECT_EQ(c.inside, skin::RectContainsPoint(POINT{c.x, c.y}, r)) << c.x << "," << c.y;
  }
}

TEST(StringFromPChar, NullIsEmpty) {
  std::wstring s = L"old";
  skin::StringFromPChar(nullptr, s);
  EXPECT_TRUE(s.empty());
  skin::StringFromPChar(L"abc", s);
  EXPECT_EQ(L"abc", s);
}

// Red background, a blue spot at (20,10)-(25,15).
class Painter : public ui::Form {
 public:
  Painter() : ui::Form(L"VantorelSkinTestParent") {}

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_ERASEBKGND) {
      RECT all{0, 0, 100, 100};
      HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
      ::FillRect(reinterpret_cast<HDC>(w), &all, red);
      ::DeleteObject(red);
      return 1;
    }
    if (msg == WM_PAINT) {
      if (w == 0) return 0;
      RECT spot{20, 10, 25, 15};
      HBRUSH blue = ::CreateSolidBrush(RGB(0, 0, 255));
      ::FillRect(reinterpret_cast<HDC>(w), &spot, blue);
      ::DeleteObject(blue);
      return 0;
    }
    return ui::Form::OnMessage(msg, w, l);
  }
};

TEST(DrawParentBackground, PaintsWhatLiesUnderTheControl) {
  ui::Application::Instance().Initialize();
  Painter parent;
  ASSERT_TRUE(parent.Create(nullptr, L"parent"));
  parent.SetClientSize(100, 100);
  ui::Panel panel;  // bevelled: a shadow line along its top and left
  ASSERT_TRUE(panel.Create(parent.Handle(), 50, 50, 40, 40, true));
  struct Probe { int x, y; COLORREF colour; };
  // A control at `at` on `parent`, and what it shows through.
  struct Case { const char* name; HWND parent; POINT at; std::vector<Probe> probes; };
  const COLORREF blue = RGB(0, 0, 255), red = RGB(255, 0, 0);
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), face = ::GetSysColor(COLOR_BTNFACE);
  const Case cases[] = {
      {"a form's own painting", parent.Handle(), {20, 10}, {{0, 0, blue}, {4, 4, blue}, {5, 5, red}, {9, 9, red}}},
      {"the plain panel", panel.Handle(), {0, 0}, {{0, 0, shadow}, {5, 0, shadow}, {5, 5, face}}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, c.at.x, c.at.y, 10, 10, c.parent, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, child);
    skin::Bitmap b = skin_test::Canvas(10, 10);
    skin::DrawParentBackground(b.Canvas(), child);
    for (const Probe& p : c.probes) EXPECT_EQ(p.colour, b.Pixel(p.x, p.y)) << p.x << "," << p.y;
    // The canvas is as it was: later drawing lands at the canvas origin.
    b.FillRect(RECT{0, 0, 1, 1}, RGB(1, 1, 1));
    EXPECT_EQ(RGB(1, 1, 1), b.Pixel(0, 0));
    ::DestroyWindow(child);
  }
  skin::Bitmap orphan = skin_test::Canvas(2, 2);
  skin::DrawParentBackground(orphan.Canvas(), parent.Handle());  // a top-level window: nothing
  EXPECT_EQ(skin_test::kBackground, orphan.Pixel(0, 0));
}

TEST(SafeCalls, AnswerFromTheSystemOrZeroForGood) {
  HWND combo = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_POPUP | CBS_DROPDOWN, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
  ASSERT_NE(nullptr, combo);
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  EXPECT_NE(0, skin::SafeGetComboBoxInfo(combo, &info));
  EXPECT_EQ(combo, info.hwndCombo);

  skin::UserEntryPoints lacking(L"kernel32.dll");  // has neither entry point
  EXPECT_EQ(0, lacking.GetComboBoxInfo(combo, &info));
  EXPECT_TRUE(lacking.Unavailable());
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof(bar);
  EXPECT_EQ(0, lacking.GetScrollBarInfo(combo, OBJID_VSCROLL, &bar));
  ::DestroyWindow(combo);
}

}  // namespace
