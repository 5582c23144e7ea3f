#include "skin/controls/Panels.h"

#include "skin/draw/Fills.h"
#include "skin/draw/Geometry.h"
#include "skin/draw/Strips.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"

namespace skin {

namespace {

constexpr int kBorderItem = 25, kFontItem = 27;
constexpr int kFileBorderColour = 22, kFileFontColour = 23;

bool Blank(const std::wstring& s) { return s.find_first_not_of(L" \t") == std::wstring::npos; }

}  // namespace

// ---- TskCustomPanel --------------------------------------------------------

bool TskCustomPanel::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h) {
  return CreateSkin(parent, WindowClass(), caption, 0, x, y, w, h);
}

void TskCustomPanel::SetPicture(const Bitmap& picture) {
  picture_.Assign(picture);
  PictureChanged();
}

void TskCustomPanel::SetDrawStyle(TskDrawStyle style) {
  drawStyle_ = style;
  Repaint();
}

void TskCustomPanel::PictureChanged() {
  if (!picture_.Empty() && AutoSize && Exists()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  Repaint();
}

void TskCustomPanel::DrawPanel(Bitmap& canvas) {
  RECT client{0, 0, canvas.Width(), canvas.Height()};
  if (transparent_) PaintBackground(canvas);
  if (!picture_.Empty()) {
    if (drawStyle_ == skStretch) StretchDrawBitmap(picture_, canvas.Canvas(), client);
    else if (drawStyle_ == skTile) TileGraphic(canvas.Canvas(), picture_, client);
    else if (transparent_) DrawPart(picture_, RECT{0, 0, picture_.Width(), picture_.Height()}, canvas.Canvas(), 0, 0,
                                    true, picture_.Pixel(0, 0));
    else ::BitBlt(canvas.Canvas(), 0, 0, picture_.Width(), picture_.Height(), picture_.Canvas(), 0, 0, SRCCOPY);
  } else if (!transparent_) {
    canvas.Fill(RealColor(GetColor()));
  }
}

void TskCustomPanel::Draw(Bitmap& canvas) {
  DrawPanel(canvas);
  std::wstring caption = Caption();
  if (Blank(caption)) return;
  UseFont(canvas.Canvas());
  RECT client{0, 0, canvas.Width(), canvas.Height()};
  static const UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  ::DrawTextW(canvas.Canvas(), caption.c_str(), -1, &client, DT_SINGLELINE | DT_VCENTER | kAlign[Alignment]);
}

// ---- TskCustomGroupBox -------------------------------------------------------

bool TskCustomGroupBox::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h) {
  caption_ = caption;
  if (!CreateSkin(parent, WindowClass(), L" ", 0, x, y, w, h)) return false;
  // Tab and the dialog keys reach the controls a group holds.
  ::SetWindowLongW(hwnd_, GWL_EXSTYLE, ::GetWindowLongW(hwnd_, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  // The group shows its parent's colour, whatever paints the parent.
  SetParentColor(true);
  ApplyUIStyle();
  return true;
}

void TskCustomGroupBox::SetBorderColor(COLORREF colour) {
  borderColor_ = colour;
  Repaint();
}

void TskCustomGroupBox::SetCaption(const std::wstring& text) {
  caption_ = text;
  Repaint();
}

int TskCustomGroupBox::FontHeight() const {
  LOGFONTW lf{};
  ::GetObjectW(GetFont(), sizeof(lf), &lf);
  return lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
}

RECT TskCustomGroupBox::GetContentRect() const {
  RECT r{};
  if (Exists()) ::GetClientRect(hwnd_, &r);
  r.left += 3;
  r.top += FontHeight();
  r.right -= 2;
  r.bottom -= 2;
  return r;
}

void TskCustomGroupBox::ApplyUIStyle() {
  if (!Exists()) return;
  ApplyUIStyleToChildren(hwnd_, GetUIStyle(), GetFileTheme());
  TskUIStyle style;
  if (ResolveStyle(style)) {
    borderColor_ = static_cast<COLORREF>(GetFileTheme()->GetColor(kFileBorderColour));
    SkinControl::SetFontColor(static_cast<COLORREF>(GetFileTheme()->GetColor(kFileFontColour)));
  } else {
    borderColor_ = GetBuiltinThemeColor(style, kBorderItem);
    SkinControl::SetFontColor(GetBuiltinThemeColor(style, kFontItem));
  }
}

void TskCustomGroupBox::Draw(Bitmap& canvas) {
  HDC dc = canvas.Canvas();
  if (!transparent_) canvas.Fill(RealColor(GetColor()));
  else DrawPanel(canvas);
  UseFont(dc);
  RECT r{0, FontHeight() / 2 + 1, canvas.Width(), canvas.Height()};
  SIZE text = TextSize(caption_);
  HPEN pen = ::CreatePen(PS_SOLID, 1, RealColor(borderColor_));
  HGDIOBJ old = ::SelectObject(dc, pen);
  // The frame leaves a gap for the caption, at the left or, right to left,
  // at the right.
  const bool rtl = RightToLeft();
  const POINT ltrFrame[] = {{r.left + 2, r.top},   {r.left, r.top},
                            {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1},
                            {r.right - 1, r.top},   {caption_.empty() ? r.left : r.left + text.cx + 6, r.top}};
  const POINT rtlFrame[] = {{r.right - 3, r.top},      {r.right - 1, r.top},
                            {r.right - 1, r.bottom - 1}, {r.left + 1, r.bottom - 1},
                            {r.left + 1, r.top},        {caption_.empty() ? r.right - 1 : r.right - text.cx - 7, r.top}};
  ::Polyline(dc, rtl ? rtlFrame : ltrFrame, 6);
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
  if (!IsEnabled()) ::SetTextColor(dc, RGB(128, 128, 128));
  const int x = rtl ? canvas.Width() - 6 - text.cx : 5;
  ::TextOutW(dc, x, 0, caption_.c_str(), static_cast<int>(caption_.size()));
}

// ---- item buttons ------------------------------------------------------------

bool TskRadioGroupButton::ShowsFocus() const {
  HWND focus = ::GetFocus();
  bool focused = focus == hwnd_ || (group_ != nullptr && focus == group_->Handle());
  return focused && GetChecked();
}

void TskRadioGroupButton::Toggle() {
  if (group_ == nullptr || group_->AllowsItemToggle()) TskRadioButton::Toggle();
}

// ---- TskCheckGroup -----------------------------------------------------------

bool TskCheckGroup::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h) {
  if (!TskCustomGroupBox::Create(parent, caption, x, y, w, h)) return false;
  // The group is one tab stop and hands the focus to its item; its items
  // are no tab stops of their own.
  ::SetWindowLongW(hwnd_, GWL_STYLE, ::GetWindowLongW(hwnd_, GWL_STYLE) | WS_TABSTOP);
  ::SetWindowLongW(hwnd_, GWL_EXSTYLE, ::GetWindowLongW(hwnd_, GWL_EXSTYLE) & ~WS_EX_CONTROLPARENT);
  return true;
}

void TskCheckGroup::SetItems(const std::vector<std::wstring>& items) {
  items_ = items;
  bool changed = UpdateItemButtons();
  ArrangeItemButtons();
  if (changed) SetTransparent(transparent_);
}

bool TskCheckGroup::UpdateItemButtons() {
  if (!Exists()) return false;
  bool changed = false;
  while (buttons_.size() < items_.size()) {
    std::unique_ptr<TskCheckBox> b = CreateItemButton();
    b->Create(hwnd_, L"", 0, 0);
    b->SetFont(GetFont());
    b->SetFileTheme(GetFileTheme());
    b->SetUIStyle(GetUIStyle());
    b->SetTransparent(transparent_);
    b->SetParentColor(true);
    b->SetFontColor(GetFontColor());
    ::SetWindowLongW(b->Handle(), GWL_STYLE, ::GetWindowLongW(b->Handle(), GWL_STYLE) & ~WS_TABSTOP);
    b->OnClick = [this] { ItemClick(); };
    buttons_.push_back(std::move(b));
    changed = true;
  }
  while (buttons_.size() > items_.size()) buttons_.pop_back();
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->SetCaption(items_[i]);
    buttons_[i]->SetAutoSize(true);
  }
  return changed;
}

void TskCheckGroup::ArrangeItemButtons() {
  const int n = ButtonCount();
  if (n == 0 || !Exists()) return;
  RECT r = GetContentRect();
  r.top += topMargin_;
  const int height = r.bottom - r.top;
  // Zero columns would divide by zero; the items then stand in one column.
  const int columns = columns_ < 1 ? 1 : columns_;
  const int rows = (n + columns - 1) / columns;
  const int columnWidth = (Width() - 10) / columns;
  const int rowHeight = height / rows;
  const int y0 = r.top + (height % rows) / 2;
  // The group's own right-to-left reading decides, whatever the system reads.
  const bool rtl = (::GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
  for (int i = 0; i < n; ++i) {
    TskCheckBox& b = *buttons_[static_cast<size_t>(i)];
    // Right to left the first column is the rightmost.
    const int left = (i / rows) * columnWidth + 8;
    b.SetBounds(rtl ? Width() - left - b.Width() : left, (i % rows) * rowHeight + y0, b.Width(), b.Height());
  }
}

void TskCheckGroup::SetColumns(int value) {
  if (value < 0) return;
  columns_ = value;
  ArrangeItemButtons();
}

void TskCheckGroup::SetTopMargin(int value) {
  if (value < 0) return;
  topMargin_ = value;
  ArrangeItemButtons();
}

void TskCheckGroup::SetItemEnabled(int index, bool value) {
  if (index >= 0 && index < ButtonCount()) buttons_[static_cast<size_t>(index)]->Enable(value);
}

void TskCheckGroup::SetTransparent(bool value) {
  TskCustomGroupBox::SetTransparent(value);
  for (auto& b : buttons_) b->SetTransparent(value);
}

void TskCheckGroup::ItemClick() {
  BeforeItemClick();
  if (OnClick) OnClick();
}

void TskCheckGroup::ApplyUIStyle() {
  TskCustomGroupBox::ApplyUIStyle();
  for (auto& b : buttons_) {
    b->SetFileTheme(GetFileTheme());
    b->SetUIStyle(GetUIStyle());
    b->SetParentColor(true);  // the group's colour
    b->SetFontColor(GetFontColor());
  }
}

void TskCheckGroup::FocusActiveItem() {
  if (!items_.empty() && !buttons_.empty() && buttons_[0]->IsEnabled()) ::SetFocus(buttons_[0]->Handle());
}

LRESULT TskCheckGroup::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_SETFOCUS: {
      LRESULT r = TskCustomGroupBox::OnMessage(msg, w, l);
      FocusActiveItem();
      return r;
    }
    case WM_SETFONT: {
      LRESULT r = TskCustomGroupBox::OnMessage(msg, w, l);
      for (auto& b : buttons_) b->SetFont(GetFont());
      return r;
    }
    case WM_SIZE:
      ArrangeItemButtons();
      Repaint();
      return 0;
    default:
      return TskCustomGroupBox::OnMessage(msg, w, l);
  }
}

// ---- TskRadioGroup -----------------------------------------------------------

bool TskRadioGroup::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h,
                           const std::vector<std::wstring>& lines, int columns) {
  if (!TskCheckGroup::Create(parent, caption, x, y, w, h)) return false;
  SetColumns(columns);
  SetItems(lines);
  return true;
}

bool TskRadioGroup::ItemEnabled(int index) const {
  return index >= 0 && index < static_cast<int>(buttons_.size()) && buttons_[static_cast<size_t>(index)]->IsEnabled();
}

int TskRadioGroup::GetItemIndex() const {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->GetChecked()) return static_cast<int>(i);
  return -1;
}

void TskRadioGroup::SetItemIndex(int value) {
  if (value < -1 || value > static_cast<int>(Items().size()) - 1 || value >= ButtonCount()) return;
  if (value == -1) {
    for (auto& b : buttons_) b->SetChecked(false);
    return;
  }
  buttons_[static_cast<size_t>(value)]->SetChecked(true);
}

void TskRadioGroup::FocusActiveItem() {
  int index = GetItemIndex();
  if (index >= 0 && index < static_cast<int>(Items().size())) ::SetFocus(buttons_[static_cast<size_t>(index)]->Handle());
}

}  // namespace skin
