#include "skin/form/TitleBar.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/draw/Fills.h"
#include "skin/draw/Geometry.h"
#include "skin/draw/Strips.h"
#include "skin/file/FileTheme.h"
#include "skin/form/FileLook.h"
#include "skin/form/FormMessages.h"
#include "skin/form/SkinForm.h"
#include "skin/form/TitleBarPictures.h"
#include "skin/menus/DressMenu.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"
#include "ui/MessageBox.h"

namespace skin {

TskTitleBar::TskTitleBar() {
  Font_ = ::CreateFontW(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  for (TskTitleBarBtnType t : {skControlBox, skClose, skMax, skMin}) {
    Buttons.emplace_back();
    Buttons.back().ButtonType = t;
  }
  auto visible = [this](TskTitleBarBtnType t) {
    for (const TskTitleBarButton& b : Buttons)
      if (b.ButtonType == t && b.Visible) return true;
    return false;
  };
  PopupMenu_.Add(L"Mi&nimize", [this] { MinimizeForm(); }, [visible] { return visible(skMin); });
  PopupMenu_.Add(L"Ma&ximize/Restore", [this] {
    for (size_t i = 0; i < Buttons.size(); ++i)
      if (Buttons[i].ButtonType == skMax && Buttons[i].Visible) ClickButton(i);
  }, [visible] { return visible(skMax); });
  PopupMenu_.Add(L"", nullptr);
  PopupMenu_.Add(L"&Close", [this] {
    if (HWND form = ParentForm()) ::PostMessageW(form, WM_CLOSE, 0, 0);
  }, [visible] { return visible(skClose); });
}

TskTitleBar::~TskTitleBar() {
  if (FileTheme_ != nullptr) FileTheme_->RemoveUser(this);
  if (Font_ != nullptr) ::DeleteObject(Font_);
}

bool TskTitleBar::Create(HWND parent) {
  RECT r{};
  ::GetClientRect(parent, &r);
  if (!CreateCustom(parent, L"TskTitleBar", L"", WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, r.right, 26, CS_DBLCLKS))
    return false;
  SetUIStyle(FindFormUIStyle(ui::Control::FromHandle(parent)));
  return true;
}

HWND TskTitleBar::ParentForm() const { return hwnd_ == nullptr ? nullptr : ::GetAncestor(hwnd_, GA_ROOT); }

bool TskTitleBar::OnSkinFrame() const {
  const Component* c = hwnd_ == nullptr ? nullptr : ComponentOfWindow(::GetParent(hwnd_));
  return c != nullptr && c->IsSkinFormFrame();
}

int TskTitleBar::BorderAnswer() const {
  HWND form = ParentForm();
  return form == nullptr ? 0 : static_cast<int>(::SendMessageW(form, SK_GETBORDERWIDTH, 0, 0));
}

void TskTitleBar::SetFileTheme(TskFileTheme* theme) {
  if (theme != FileTheme_ && FileTheme_ != nullptr) FileTheme_->RemoveUser(this);
  FileTheme_ = theme;
  if (FileTheme_ != nullptr) FileTheme_->AddUser(this);
  KeepFontColor = true;
  SetUIStyle(UIStyle_);
  KeepFontColor = false;
}

void TskTitleBar::FileThemeRemoved() {
  FileTheme_ = nullptr;
  SetUIStyle(DeepBlue);
}

void TskTitleBar::SetUIStyle(TskUIStyle style) {
  UIStyle_ = style;
  if (Custom) return;
  Sections.clear();
  TskUIStyle resolved = DeepBlue;
  bool fromFile = ResolveFileTheme(FileTheme_, UIStyle_, resolved);
  if (fromFile) ApplyFileThemeLook();
  else ApplyBuiltinThemeLook(resolved);
  for (TskTitleBarButton& b : Buttons) {
    b.UIStyle = resolved;
    UpdateButtonPictures(b);
  }
  // With a ready skin file the system menu takes the file's menu colours.
  DressPopupMenu(PopupMenu_, resolved, FileTheme_);
  if (!KeepFontColor)
    FontColor = fromFile ? static_cast<COLORREF>(FileTheme_->GetColor(1)) : resolved == MacOS ? RGB(0, 0, 0) : RGB(255, 255, 255);
  SetAutoSize(true);
  Repaint();
}

void TskTitleBar::ApplyBuiltinThemeLook(TskUIStyle s) {
  static const struct { int item; bool autoSize; TskTitleBarAlign align; } kSections[] = {
      {10, true, skLeft}, {12, true, skRight}, {11, false, skClient}};
  for (const auto& spec : kSections) {
    Sections.emplace_back();
    TskTitleBarSection& sec = Sections.back();
    LoadTitleSectionPicture(s, spec.item, sec.Picture);
    sec.Align = spec.align;
    sec.Stretch = spec.align == skClient;
    sec.AutoSize = spec.autoSize;
    if (sec.AutoSize && !sec.Picture.Empty()) sec.Width = sec.Picture.Width();
  }
  LeftBtnXOffset_ = GetBuiltinThemeInteger(s, 7);
  RightBtnXOffset_ = GetBuiltinThemeInteger(s, 8);
  ButtonTop_ = GetBuiltinThemeInteger(s, 9) - (OnSkinFrame() ? 3 : 0);
  ControlBoxTop_ = ButtonTop_;
  MinTrackWidth = GetBuiltinThemeInteger(s, 13);
  MinTrackHeight = 50;
  RoundCorner = GetBuiltinThemeInteger(s, 14);
  RoundCornerBottom = 0;
}

bool TskTitleBar::FileReady() const {
  TskUIStyle s = DeepBlue;
  return ResolveFileTheme(FileTheme_, UIStyle_, s);
}

void TskTitleBar::ApplyFileThemeLook() {
  const TskFileTheme& t = *FileTheme_;
  FiveSections_ = t.GetBool(0);
  TitleTransparentColor_ = static_cast<COLORREF>(t.GetColor(0));
  struct Spec {
    int bitmap;
    bool autoSize;
    TskTitleBarAlign align;
    bool capSec;
  };
  const Spec three[] = {{0, true, skLeft, false}, {1, false, skClient, false}, {2, true, skRight, false}};
  const Spec five[] = {{0, true, skLeft, false}, {1, false, skLeft, true}, {2, true, skLeft, false},
                       {3, false, skClient, false}, {4, true, skRight, false}};
  const Spec* specs = FiveSections_ ? five : three;
  size_t count = FiveSections_ ? 5 : 3;
  for (size_t i = 0; i < count; ++i) {
    Sections.emplace_back();
    TskTitleBarSection& sec = Sections.back();
    FileThemeBitmap(t, specs[i].bitmap, sec.Picture);
    sec.Align = specs[i].align;
    sec.Stretch = sec.Align == skClient;
    sec.CapSec = specs[i].capSec;
    sec.AutoSize = specs[i].autoSize;
    if (sec.AutoSize && !sec.Picture.Empty()) sec.Width = sec.Picture.Width();
  }
  LeftBtnXOffset_ = t.GetInteger(0);
  RightBtnXOffset_ = t.GetInteger(3);
  int lift = OnSkinFrame() ? 3 : 0;
  ButtonTop_ = t.GetInteger(4) - lift;
  ControlBoxTop_ = t.GetInteger(1) - lift;
  CaptionTop_ = t.GetInteger(2);
  TitleFillColor_ = static_cast<COLORREF>(t.GetColor(2));
  auto width = [&t](int n) {
    const SkinImage* img = t.GetBitmap(n);
    return img == nullptr ? 0 : img->width;
  };
  int row = width(11) / 18 * static_cast<int>(Buttons.size()) + t.GetInteger(3);
  MinTrackWidth = FiveSections_ ? width(0) + width(2) + 16 + std::max(width(4), row) : width(0) + std::max(width(2), row);
}

void TskTitleBar::UpdateButtonPictures(TskTitleBarButton& b) {
  int cells[3];
  HWND form = ParentForm();
  if (!TitleButtonCells(b.ButtonType, form != nullptr && ::IsZoomed(form), cells)) return;
  if (FileReady()) {
    FileThemeBitmap(*FileTheme_, 11, b.PicNormal, 18, cells[0]);
    FileThemeBitmap(*FileTheme_, 11, b.PicMouseOn, 18, cells[1]);
    FileThemeBitmap(*FileTheme_, 11, b.PicMouseDown, 18, cells[2]);
    b.Transparent = FileTheme_->GetBool(4);
    b.Top = FileTheme_->GetInteger(4);
    return;
  }
  LoadTitleButtonCell(b.UIStyle, cells[0], b.PicNormal);
  LoadTitleButtonCell(b.UIStyle, cells[1], b.PicMouseOn);
  LoadTitleButtonCell(b.UIStyle, cells[2], b.PicMouseDown);
  b.Transparent = GetBuiltinThemeBool(b.UIStyle, 6);
  b.Top = GetBuiltinThemeInteger(b.UIStyle, 9);
}

bool TskTitleBar::SetSectionAlign(size_t index, TskTitleBarAlign align) {
  if (index >= Sections.size()) return false;
  if (align == skClient) {
    for (size_t i = 0; i < Sections.size(); ++i)
      if (i != index && Sections[i].Align == skClient) {
        ui::ShowError(ParentForm(), L"Sorry, only one section's Align property can be \"skClient\"");
        return false;
      }
    Sections[index].Stretch = true;
  }
  Sections[index].Align = align;
  Repaint();
  return true;
}

bool TskTitleBar::SetButtonType(size_t index, TskTitleBarBtnType type) {
  if (index >= Buttons.size()) return false;
  if (type == skControlBox)
    for (size_t i = 0; i < Buttons.size(); ++i)
      if (i != index && Buttons[i].ButtonType == skControlBox) {
        ui::ShowError(ParentForm(), L"Sorry, only one button's ButtonType property can be \"skControlBox\"");
        return false;
      }
  Buttons[index].ButtonType = type;
  UpdateButtonPictures(Buttons[index]);
  Repaint();
  return true;
}

void TskTitleBar::SetButtonVisible(TskTitleBarBtnType type, bool visible) {
  for (TskTitleBarButton& b : Buttons)
    if (b.ButtonType == type) b.Visible = visible;
  Repaint();
}

void TskTitleBar::SetAutoSize(bool value) {
  AutoSize_ = value && !Sections.empty();
  if (!AutoSize_ || hwnd_ == nullptr) return;
  int h = Sections[0].Picture.Height() - (OnSkinFrame() ? 3 : 0);
  if (h > 0 && h != Height()) SetHeight(h);
}

void TskTitleBar::SetCaption(const std::wstring& caption) {
  Caption_ = caption;
  Repaint();
}

void TskTitleBar::SetFont(const LOGFONTW& font) {
  HFONT made = ::CreateFontIndirectW(&font);
  if (made == nullptr) return;
  if (Font_ != nullptr) ::DeleteObject(Font_);
  Font_ = made;
  Repaint();
}

void TskTitleBar::SetFormActive(bool active) {
  FormActive_ = active;
  Repaint();
}

void TskTitleBar::Repaint() {
  if (hwnd_ == nullptr) return;
  ::InvalidateRect(hwnd_, nullptr, FALSE);
  ::UpdateWindow(hwnd_);
}

void TskTitleBar::PaintNow() {
  if (hwnd_ == nullptr) return;
  HDC dc = ::GetDC(hwnd_);
  Paint(dc);
  ::ReleaseDC(hwnd_, dc);
}

void TskTitleBar::UpdateMaximizeButtons() {
  if (Custom) return;
  for (TskTitleBarButton& b : Buttons)
    if (b.ButtonType == skMax) UpdateButtonPictures(b);
}

bool TskTitleBar::HasAllSectionPictures() const {
  if (Sections.size() != 3 && Sections.size() != 5) return false;
  for (const TskTitleBarSection& s : Sections)
    if (s.Picture.Empty()) return false;
  return true;
}

const Bitmap* TskTitleBar::GetPartBitmap(int index) const {
  if (index == -1) return &TitleImage_;
  if (index == -2) return &FramedTitleImage_;
  if (Sections.size() > 2 && index >= 0 && static_cast<size_t>(index) < Sections.size())
    return &Sections[index].Picture;
  return nullptr;
}

RECT TskTitleBar::ButtonRect(size_t index) const {
  return index < ButtonRects_.size() ? ButtonRects_[index] : RECT{};
}

// Right to left, the menus open 176 pixels further right.
int TskTitleBar::MenuOffset() const { return RightToLeft() ? 176 : 0; }

bool TskTitleBar::RightToLeft() const { return ReadsRightToLeft(hwnd_) || ReadsRightToLeft(ParentForm()); }

void TskTitleBar::PopupSystemMenu(int x, int y) {
  HWND form = ParentForm();
  if (form != nullptr) PopupMenu_.Popup(form, POINT{x + MenuOffset(), y});
}

void TskTitleBar::MinimizeForm() {
  HWND form = ParentForm();
  if (form == nullptr) return;
  // An unowned form stands for the whole program, which minimises with it.
  if (::GetWindow(form, GW_OWNER) == nullptr) ::SendMessageW(form, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  else ::ShowWindow(form, SW_MINIMIZE);
}

void TskTitleBar::ClickButton(size_t index) {
  HWND form = ParentForm();
  if (form == nullptr || index >= Buttons.size()) return;
  const TskTitleBarButton& b = Buttons[index];
  switch (b.ButtonType) {
    case skMax:
      if (::IsZoomed(form)) {
        ::ShowWindow(form, SW_RESTORE);
      } else {
        ::ShowWindow(form, SW_MAXIMIZE);
        if (!OnSkinFrame()) {
          RECT area{};
          GetDesktopWorkArea(form, area);
          ::SetWindowPos(form, nullptr, area.left - 2, area.top - 2, area.right - area.left + 4,
                         area.bottom - area.top + 1, SWP_NOZORDER | SWP_NOACTIVATE);
        }
      }
      UpdateMaximizeButtons();
      break;
    case skMin:
      MinimizeForm();
      break;
    case skClose:
      ::PostMessageW(form, WM_CLOSE, 0, 0);
      break;
    case skControlBox:
      if (b.ControlBoxMenu != nullptr) {
        POINT pt{MenuOffset(), Height()};
        ::ClientToScreen(hwnd_, &pt);
        if (pt.x < 0) pt.x = 0;
        b.ControlBoxMenu->Popup(form, pt);
      }
      break;
    default:
      break;
  }
}

}  // namespace skin
