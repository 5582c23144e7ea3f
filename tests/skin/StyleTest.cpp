// Which style a control resolves, where a new one starts, and how styles
// spread by property name to children and to a theme manager's list.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SkinTestHost.h"
#include "skin/file/FileTheme.h"
#include "skin/theme/StyleResolve.h"
#include "skin/theme/ThemeManager.h"
#include "ui/Control.h"

using namespace skin;

namespace {

struct FakeFileTheme {
  bool ready;
  bool GetReady() const { return ready; }
};

TEST(ResolveFileTheme, FallsBackToDeepBlueWithoutAReadyFileTheme) {
  FakeFileTheme ready{true}, notReady{false};
  struct Case {
    const FakeFileTheme* theme;
    TskUIStyle asked;
    bool fromFile;
    TskUIStyle style;
  };
  const Case cases[] = {
      {nullptr, FromThemeFile, false, DeepBlue},   {&notReady, FromThemeFile, false, DeepBlue},
      {&ready, FromThemeFile, true, FromThemeFile}, {&ready, WinXP, false, WinXP},
      {nullptr, MacOS, false, MacOS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "asked " << int(c.asked) << (c.theme == nullptr ? ", no theme" : ""));
    TskUIStyle style = BlueGlass;
    EXPECT_EQ(c.fromFile, ResolveFileTheme(c.theme, c.asked, style));
    EXPECT_EQ(c.style, style);
  }
}

// A skinned control for the tests: both properties, each setter logged.
class Styled : public ui::Control, public Component {
 public:
  explicit Styled(std::vector<std::string>* log = nullptr) : log_(log) {}
  bool Create(HWND parent, const wchar_t* name) {
    SetName(name);
    return CreateCustom(parent, L"VantorelSkinTestStyled", L"", WS_CHILD, 0, 0, 0, 10, 10);
  }
  TskUIStyle GetUIStyle() const { return style_; }
  void SetUIStyle(TskUIStyle v) {
    style_ = v;
    ++styleSets;
    Log("UIStyle");
  }
  TskFileTheme* GetFileTheme() const { return theme_; }
  void SetFileTheme(TskFileTheme* v) {
    theme_ = v;
    Log("FileTheme");
  }
  PropertyTable PublishedProperties() const override { return StyledProperties<Styled>(); }
  int styleSets = 0;

 private:
  void Log(const char* what) {
    if (log_ != nullptr) log_->push_back(std::string(what) + " " + std::string(Name().begin(), Name().end()));
  }
  std::vector<std::string>* log_;
  TskUIStyle style_ = DeepBlue;
  TskFileTheme* theme_ = nullptr;
};

// The skinned form frame as far as FindFormUIStyle sees it.
class Frame : public Styled {
 public:
  bool IsSkinFormFrame() const override { return true; }
};

// A control that publishes UIStyle only.
class StyleOnly : public Styled {
 public:
  PropertyTable PublishedProperties() const override {
    static const PublishedProperty table[] = {{"UIStyle", StyledProperties<Styled>().Items[0].Get,
                                                StyledProperties<Styled>().Items[0].Set}};
    return {table, 1};
  }
};

// A control with no properties.
class Plain : public ui::Control, public Component {
 public:
  bool Create(HWND parent, const wchar_t* name) {
    SetName(name);
    return CreateCustom(parent, L"VantorelSkinTestPlain", L"", WS_CHILD, 0, 0, 0, 10, 10);
  }
};

TEST(FindFormUIStyle, TakesTheStyleOfTheFormsFrame) {
  EXPECT_EQ(DeepBlue, FindFormUIStyle(nullptr));
  skin_test::HostForm form;
  Plain first;
  ASSERT_TRUE(first.Create(form.Handle(), L"first"));
  EXPECT_EQ(DeepBlue, FindFormUIStyle(&first)) << "not a form";
  EXPECT_EQ(DeepBlue, FindFormUIStyle(&form)) << "no frame";
  Frame frame;
  ASSERT_TRUE(frame.Create(form.Handle(), L"frame"));
  frame.SetUIStyle(MacOS);
  EXPECT_EQ(MacOS, FindFormUIStyle(&form)) << "frame as second child";
}

TEST(ApplyUIStyleToChildren, ReachesDirectChildrenWithBothProperties) {
  skin_test::HostForm form;
  std::vector<std::string> log;
  Styled a(&log), b(&log), grandchild(&log);
  StyleOnly half;
  Plain plain;
  ASSERT_TRUE(a.Create(form.Handle(), L"a"));
  ASSERT_TRUE(half.Create(form.Handle(), L"half"));
  ASSERT_TRUE(plain.Create(form.Handle(), L"plain"));
  ASSERT_TRUE(b.Create(form.Handle(), L"b"));
  ASSERT_TRUE(grandchild.Create(b.Handle(), L"grandchild"));
  HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, form.Handle(), nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, other);
  auto* theme = reinterpret_cast<TskFileTheme*>(&log);  // only compared, never used

  ApplyUIStyleToChildren(form.Handle(), WinXP, theme);
  const std::vector<std::string> expected = {"FileTheme a", "UIStyle a", "FileTheme b", "UIStyle b"};
  EXPECT_EQ(expected, log);
  EXPECT_EQ(WinXP, a.GetUIStyle());
  EXPECT_EQ(theme, b.GetFileTheme());
  EXPECT_EQ(DeepBlue, half.GetUIStyle());
  EXPECT_EQ(DeepBlue, grandchild.GetUIStyle());
}

TEST(PropertiesByName, UnknownNamesRaiseAndNamesIgnoreCase) {
  Plain plain;
  Styled styled;
  EXPECT_FALSE(HasPublishedProperty(&plain, "UIStyle"));
  EXPECT_FALSE(HasPublishedProperty(nullptr, "UIStyle"));
  EXPECT_TRUE(HasPublishedProperty(&styled, "uistyle"));
  EXPECT_THROW(SetPropertyByName(plain, "UIStyle", MacOS), std::runtime_error);
  SetPropertyByName(styled, "UISTYLE", Protein);
  EXPECT_EQ(Protein, std::get<TskUIStyle>(GetPropertyByName(styled, "UIStyle")));
}

TEST(ThemeManager, AppliesToItsListAndReportsChangesOnce) {
  skin_test::HostForm form;
  Styled one, two;
  StyleOnly half;
  ASSERT_TRUE(one.Create(form.Handle(), L"One"));
  ASSERT_TRUE(two.Create(form.Handle(), L"Two"));
  ASSERT_TRUE(half.Create(one.Handle(), L"Half"));  // found at any depth, skipped for lacking FileTheme

  TskThemeManager manager(&form);
  int changes = 0;
  manager.OnUIStyleChanged = [&](TskThemeManager& sender) {
    EXPECT_EQ(&manager, &sender);
    ++changes;
  };
  EXPECT_EQ(DeepBlue, manager.GetUIStyle());
  manager.SetCompList({L"one", L"Half", L"Missing"});
  manager.SetUIStyle(WinXP);
  manager.SetUIStyle(WinXP);
  EXPECT_EQ(1, changes);
  EXPECT_EQ(2, one.styleSets);
  EXPECT_EQ(WinXP, one.GetUIStyle());
  EXPECT_EQ(0, two.styleSets);
  EXPECT_EQ(DeepBlue, half.GetUIStyle());

  auto theme = std::make_unique<TskFileTheme>();
  manager.SetFileTheme(theme.get());
  EXPECT_EQ(theme.get(), one.GetFileTheme());
  EXPECT_EQ(3, one.styleSets);
  EXPECT_EQ(1, changes);

  manager.Notification(half, opRemove);
  manager.Notification(two, opRemove);  // not listed
  EXPECT_EQ((TskThemeMgrCompList{L"one", L"Missing"}), manager.GetCompList());
  theme.reset();  // the theme tells the manager as it goes
  EXPECT_EQ(nullptr, manager.GetFileTheme());
  EXPECT_EQ(DeepBlue, manager.GetUIStyle());
  EXPECT_EQ(3, one.styleSets) << "a removal applies nothing";
  EXPECT_EQ(1, changes);
}

}  // namespace
