// Behaviour through synthetic messages: radio siblings, the dialog keys,
// flat-button groups and the colour arithmetic of the flat controls.
#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "skin/controls/Buttons.h"
#include "skin/controls/CheckBoxes.h"
#include "skin/controls/FlatButton.h"
#include "skin/controls/FlatColors.h"
#include "skin/controls/FlatEdit.h"
#include "skin/controls/Panels.h"
#include "skin/controls/URLLabel.h"

using namespace skin;
using namespace controls_test;

namespace {

void ClickAt(ui::Window& w, int x = 3, int y = 3) {
  w.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
  w.Send(WM_LBUTTONUP, 0, At(x, y));
}

TEST(RadioButton, CheckingOneUnchecksItsGroupAndFiresOnce) {
  HostForm form;
  TskRadioButton a, b, other;
  int clicksA = 0, clicksB = 0, clicksOther = 0;
  ASSERT_TRUE(a.Create(form.Handle(), L"a", 0, 0));
  ASSERT_TRUE(b.Create(form.Handle(), L"b", 0, 20));
  ASSERT_TRUE(other.Create(form.Handle(), L"c", 0, 40));
  other.GroupIndex = 1;
  a.OnClick = [&] { ++clicksA; };
  b.OnClick = [&] { ++clicksB; };
  other.OnClick = [&] { ++clicksOther; };
  other.SetChecked(true);
  ClickAt(a);
  EXPECT_TRUE(a.GetChecked());
  ClickAt(b);
  EXPECT_FALSE(a.GetChecked());
  EXPECT_TRUE(b.GetChecked());
  EXPECT_TRUE(other.GetChecked()) << "another group index is left alone";
  EXPECT_EQ(1, clicksA);
  EXPECT_EQ(1, clicksB);
  ClickAt(b);  // clicking the checked one changes nothing
  EXPECT_TRUE(b.GetChecked());
  EXPECT_EQ(1, clicksB);
  EXPECT_EQ(1, clicksOther);
}

TEST(CheckBox, ClickAndSpaceToggleAndStateFollows) {
  HostForm form;
  TskCheckBox box;
  int clicks = 0;
  ASSERT_TRUE(box.Create(form.Handle(), L"box", 0, 0));
  box.OnClick = [&] { ++clicks; };
  ClickAt(box);
  EXPECT_EQ(cbChecked, box.GetState());
  ::SetFocus(box.Handle());
  box.Send(WM_KEYDOWN, VK_SPACE, 0);
  box.Send(WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(cbUnchecked, box.GetState());
  box.Send(WM_KEYUP, VK_RETURN, 0);  // released here, pressed elsewhere
  EXPECT_EQ(cbUnchecked, box.GetState());
  box.SetState(cbChecked);
  EXPECT_TRUE(box.GetChecked());
  EXPECT_EQ(3, clicks);
}

TEST(DialogKeys, EnterAndEscapeReachTheDefaultAndCancelButtons) {
  HostForm form;
  TskButton ok, cancel;
  TskCheckBox box;
  int okClicks = 0, cancelClicks = 0;
  ASSERT_TRUE(ok.Create(form.Handle(), L"OK", 0, 0));
  ASSERT_TRUE(cancel.Create(form.Handle(), L"Cancel", 90, 0));
  ASSERT_TRUE(box.Create(form.Handle(), L"box", 0, 40));
  ok.SetDefault(true);
  ok.SetModalResult(IDOK);
  cancel.SetCancel(true);
  ok.OnClick = [&] { ++okClicks; };
  cancel.OnClick = [&] { ++cancelClicks; };
  ::SetFocus(box.Handle());

  form.Send(WM_COMMAND, IDOK, 0);  // what the dialog manager makes of Enter
  EXPECT_EQ(1, okClicks);
  EXPECT_EQ(IDOK, form.ModalResult());
  form.Send(WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(1, cancelClicks);

  // Another focused skinned button answers Enter itself.
  ::SetFocus(cancel.Handle());
  EXPECT_TRUE(ui::SendDialogKey(form.Handle(), VK_RETURN));
  EXPECT_EQ(1, okClicks);
  EXPECT_EQ(2, cancelClicks);

  // Enter pressed on the form itself goes through the dialog manager.
  ::SetFocus(form.Handle());
  MSG enter{form.Handle(), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  EXPECT_TRUE(::IsDialogMessageW(form.Handle(), &enter));
  EXPECT_EQ(2, okClicks);
  okClicks = 1;

  // A disabled default button lets Enter pass.
  ::SetFocus(box.Handle());
  ok.Enable(false);
  EXPECT_FALSE(ui::SendDialogKey(form.Handle(), VK_RETURN));
  EXPECT_EQ(1, okClicks);
  EXPECT_EQ(1, ok.Send(kSkinButtonQuery));
}

TEST(FlatButtonGroup, OneButtonOfAGroupIsDown) {
  HostForm form;
  TFlatButton a, b, c, loose, otherGroup;
  for (TFlatButton* f : {&a, &b, &c, &loose, &otherGroup}) ASSERT_TRUE(f->Create(form.Handle(), L"", 0, 0));
  for (TFlatButton* f : {&a, &b, &c}) f->SetGroupIndex(1);
  otherGroup.SetGroupIndex(2);
  otherGroup.SetDown(true);
  int clicks = 0;
  c.OnClick = [&] { ++clicks; };

  a.SetDown(true);
  b.SetDown(true);
  EXPECT_FALSE(a.GetDown());
  EXPECT_TRUE(b.GetDown());
  b.SetDown(false);
  EXPECT_TRUE(b.GetDown()) << "a group that does not allow all up keeps one down";

  ClickAt(c);
  EXPECT_TRUE(c.GetDown());
  EXPECT_FALSE(b.GetDown());
  EXPECT_EQ(fbsExclusive, c.State());
  EXPECT_EQ(1, clicks);
  EXPECT_TRUE(otherGroup.GetDown());

  a.SetAllowAllUp(true);
  EXPECT_TRUE(c.GetAllowAllUp()) << "the group takes the sender's AllowAllUp";
  c.SetDown(false);
  EXPECT_FALSE(c.GetDown());

  loose.SetDown(true);
  EXPECT_FALSE(loose.GetDown()) << "a button without a group is never down";
  ClickAt(loose);
  EXPECT_EQ(fbsUp, loose.State());
}

TEST(FlatButton, GlyphWidthSetsTheNumberOfImagesAndColoursAreIndexed) {
  HostForm form;
  TFlatButton f;
  ASSERT_TRUE(f.Create(form.Handle(), L"", 0, 0));
  struct Case {
    int width, numGlyphs;
  };
  for (Case c : {Case{64, 4}, Case{80, 1}, Case{32, 2}}) {
    f.SetGlyph(Bitmap(c.width, 16));
    EXPECT_EQ(c.numGlyphs, f.NumGlyphs) << c.width;
  }
  f.SetIndexedColor(2, RGB(1, 2, 3));
  EXPECT_EQ(RGB(1, 2, 3), f.GetIndexedColor(2));
  f.SetIndexedColor(7, RGB(9, 9, 9));  // out of range: ignored
  EXPECT_EQ(0u, f.GetIndexedColor(7));
}

TEST(FlatColours, HslRoundTripsAndLightnessShift) {
  EXPECT_EQ(RGB(128, 128, 128), HSLToRGB(0, 0, 0.5));
  double h, s, l;
  RGBToHSL(RGB(255, 0, 0), h, s, l);
  EXPECT_DOUBLE_EQ(0, h);
  EXPECT_DOUBLE_EQ(1, s);
  EXPECT_DOUBLE_EQ(0.5, l);
  EXPECT_EQ(RGB(1, 2, 3), ShiftColorLightness(RGB(200, 100, 50), RGB(1, 2, 3), 0, false));
  COLORREF lighter = ShiftColorLightness(RGB(100, 100, 100), 0, 20, false);
  COLORREF darker = ShiftColorLightness(RGB(100, 100, 100), 0, 20, true);
  EXPECT_GT(GetRValue(lighter), 100);
  EXPECT_LT(GetRValue(darker), GetRValue(lighter));
}

TEST(URLLabel, BlankURLOpensNothingButStillClicks) {
  HostForm form;
  TskURLLabel link;
  ASSERT_TRUE(link.Create(form.Handle(), L"home page", 0, 0));
  link.URL = L"   ";
  int clicks = 0;
  link.OnClick = [&] { ++clicks; };
  link.Send(WM_LBUTTONUP, 0, At(1, 1));
  EXPECT_EQ(1, clicks);
  EXPECT_GT(link.Width(), 0);
}


TEST(Accelerators, TheCaptionLetterClicksThroughTheDialogManager) {
  HostForm form;
  TskButton go;
  TskCheckBox box;
  ASSERT_TRUE(go.Create(form.Handle(), L"&Go", 0, 0));
  ASSERT_TRUE(box.Create(form.Handle(), L"&Fast", 0, 40));
  int clicks = 0;
  go.OnClick = [&] { ++clicks; };
  ::SetFocus(go.Handle());
  for (wchar_t letter : {L'g', L'f'}) {
    MSG msg{go.Handle(), WM_SYSCHAR, static_cast<WPARAM>(letter), 0x20000000, 0, {0, 0}};
    ::IsDialogMessageW(form.Handle(), &msg);
  }
  EXPECT_EQ(1, clicks);
  EXPECT_TRUE(box.GetChecked());
}

}  // namespace

namespace {

TEST(FlatEdit, FitsTheFontAndHighlightsWhileFocused) {
  HostForm form;
  ::SetForegroundWindow(form.Handle());
  TFlatEdit edit;
  ASSERT_TRUE(edit.Create(form.Handle(), L"text", 0, 0));
  TEXTMETRICW tm{};
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, ui::DefaultFont());
  ::GetTextMetricsW(dc, &tm);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  EXPECT_EQ(tm.tmHeight + 6, edit.Height());
  edit.SetIndexedColor(0, RGB(250, 250, 200));
  edit.SetIndexedColor(2, RGB(200, 200, 200));
  EXPECT_FALSE(edit.GetParentColor());
  EXPECT_EQ(RGB(200, 200, 200), edit.FaceColour());
  ::SetFocus(edit.Handle());
  EXPECT_EQ(RGB(250, 250, 200), edit.FaceColour());
}

}  // namespace

namespace {

using skin_test::PumpFor;

TEST(ButtonRepeat, HeldButtonFiresEveryIntervalUntilRelease) {
  HostForm form;
  TskButton button;
  ASSERT_TRUE(button.Create(form.Handle(), L"Hold", 0, 0));
  button.MouseContinuouslyDownInterval = 50;
  int ticks = 0;
  button.OnMouseContinuouslyDown = [&] { ++ticks; };
  button.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  PumpFor(400);
  button.Send(WM_LBUTTONUP, 0, At(5, 5));
  EXPECT_GE(ticks, 3);
  const int held = ticks;
  PumpFor(200);
  EXPECT_EQ(held, ticks) << "release stops the repeat";
}

}  // namespace

namespace {

// A flat button and a flat edit that take their parent's colour follow it
// and derive their hot and border colours from it; a new percentage derives
// them again; a colour of its own stops the following.
TEST(FlatAdvColours, FollowTheParentAndThePercentages) {
  HostForm form;
  TskGroupBox group;
  ASSERT_TRUE(group.Create(form.Handle(), L"Group", 0, 0, 200, 120));
  TFlatButton button;
  TFlatEdit edit;
  ASSERT_TRUE(button.Create(group.Handle(), L"Go", 10, 20));
  ASSERT_TRUE(edit.Create(group.Handle(), L"", 10, 60));
  button.SetUseAdvColors(true);
  edit.SetUseAdvColors(true);
  const COLORREF face = RGB(20, 120, 40);
  group.SetColor(face);
  EXPECT_EQ(face, button.Color());
  EXPECT_EQ(face, edit.GetIndexedColor(2));
  EXPECT_EQ(ShiftColorLightness(face, 0, 50, true), button.ColorBorder());
  EXPECT_EQ(ShiftColorLightness(face, 0, 50, true), edit.GetIndexedColor(1));
  button.SetAdvColorFocused(40);
  EXPECT_EQ(ShiftColorLightness(face, 0, 40, false), button.ColorFocused());
  edit.SetAdvColorBorder(5);
  EXPECT_EQ(ShiftColorLightness(face, 0, 5, true), edit.GetIndexedColor(1));
  button.SetColor(RGB(1, 2, 3));
  group.SetColor(RGB(9, 9, 9));
  EXPECT_EQ(RGB(1, 2, 3), button.Color());
}

// A new system face colour reaches flat buttons that follow their parent's
// colour, straight on the form or inside a group that follows the form: both
// draw their face in it and their border in the grey 50 of 240 points of
// lightness darker, the face's 188 taken as 198 (148 of 240 is 157 of 255).
TEST(FlatAdvColours, FollowASystemColourChange) {
  HostForm form;
  TskGroupBox group;
  ASSERT_TRUE(group.Create(form.Handle(), L"Group", 0, 0, 200, 120));
  TFlatButton onForm, inGroup;
  ASSERT_TRUE(onForm.Create(form.Handle(), L"Go", 10, 150));
  ASSERT_TRUE(inGroup.Create(group.Handle(), L"Go", 10, 20));
  for (TFlatButton* button : {&onForm, &inGroup}) button->SetUseAdvColors(true);
  const int element = COLOR_BTNFACE;
  const COLORREF before = ::GetSysColor(COLOR_BTNFACE), fresh = RGB(200, 200, 200);
  ASSERT_NE(before, fresh);
  ASSERT_TRUE(::SetSysColors(1, &element, &fresh));
  skin_test::PumpUntil([&] { return onForm.Color() == fresh && inGroup.Color() == fresh; }, 2000);
  Bitmap shots[2];
  onForm.PaintTo(shots[0]);
  inGroup.PaintTo(shots[1]);
  ::SetSysColors(1, &element, &before);
  skin_test::PumpFor(50);
  for (const Bitmap& shot : shots) {
    ASSERT_GT(shot.Height(), 4);
    EXPECT_EQ(fresh, shot.Pixel(2, shot.Height() / 2)) << "the face";
    const COLORREF border = shot.Pixel(0, 0);
    EXPECT_TRUE(GetRValue(border) == GetGValue(border) && GetGValue(border) == GetBValue(border)) << border;
    EXPECT_NEAR(GetRValue(border), 157, 2) << "the border";
  }
  Bitmap back;
  onForm.PaintTo(back);
  EXPECT_EQ(before, back.Pixel(2, back.Height() / 2)) << "and back";
}

TEST(FlatButton, TheCaptionTakesTheFontColour) {
  HostForm form;
  TFlatButton button;
  ASSERT_TRUE(button.Create(form.Handle(), L"WWW", 0, 0, 60, 25));
  button.SetFontColor(RGB(200, 0, 0));
  Bitmap shot;
  button.PaintTo(shot);
  int red = 0;
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x) red += shot.Pixel(x, y) == RGB(200, 0, 0);
  EXPECT_GT(red, 5);
}

TEST(CheckBox, AutoSizeFollowsANewFont) {
  HostForm form;
  TskCheckBox box;
  ASSERT_TRUE(box.Create(form.Handle(), L"A longer caption", 0, 0));
  const int width = box.Width(), height = box.Height();
  HFONT big = ::CreateFontW(-24, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  box.Send(WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
  EXPECT_GT(box.Width(), width);
  EXPECT_GT(box.Height(), height);
  box.Send(WM_SETFONT, 0, TRUE);
  EXPECT_EQ(width, box.Width());
  ::DeleteObject(big);
}

}  // namespace
