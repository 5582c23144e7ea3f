#include "skin/lists/PageControl.h"

#include <algorithm>

#include "skin/draw/Fills.h"
#include "skin/theme/StyleResolve.h"

namespace skin {

// ---- sheet ----

TskTabSheet::~TskTabSheet() {
  if (PageControl_ != nullptr) PageControl_->RemovePage(*this);
  if (Brush_ != nullptr) ::DeleteObject(Brush_);
}

bool TskTabSheet::Create(TskPageControl& Control, const std::wstring& Caption) {
  RECT area = Control.PageArea();
  if (!CreateCustom(Control.Handle(), L"VantorelSkinTabSheet", L" ", WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                    WS_EX_CONTROLPARENT, area.left, area.top, area.right - area.left, area.bottom - area.top))
    return false;
  Caption_ = Caption;
  Control.InsertPage(*this);
  return true;
}

void TskTabSheet::OnDestroyed() {
  if (PageControl_ != nullptr) PageControl_->RemovePage(*this);
}

void TskTabSheet::SetPageIndex(int Value) {
  if (PageControl_ != nullptr) PageControl_->MovePage(*this, Value);
}

void TskTabSheet::SetCaption(const std::wstring& Value) {
  Caption_ = Value;
  if (PageControl_ != nullptr) PageControl_->RebuildTabs();
}

void TskTabSheet::SetTabVisible(bool Value) {
  TabVisible_ = Value;
  if (PageControl_ != nullptr) PageControl_->PageTabVisibilityChanged(*this);
}

void TskTabSheet::SetImageIndex(int Value) {
  if (PageControl_ == nullptr) return;
  ImageIndex_ = Value;
  PageControl_->TopPanel().Repaint();
}

void TskTabSheet::SetColor(COLORREF Value) {
  Color_ = Value;
  Invalidate();
}

LRESULT TskTabSheet::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_ERASEBKGND) {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    FillRectColor(reinterpret_cast<HDC>(w), r, Color_);
    return 1;
  }
  if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
    // Labels and check boxes on the page show the page's colour.
    COLORREF colour = ColorToRGB(Color_);
    if (Brush_ == nullptr || BrushColour_ != colour) {
      if (Brush_ != nullptr) ::DeleteObject(Brush_);
      Brush_ = ::CreateSolidBrush(colour);
      BrushColour_ = colour;
    }
    ::SetBkColor(reinterpret_cast<HDC>(w), colour);
    return reinterpret_cast<LRESULT>(Brush_);
  }
  return DefaultProc(msg, w, l);
}

// ---- page control ----

TskPageControl::~TskPageControl() {
  // The sheets' windows go with ours; they must not call back into a
  // half-destroyed control.
  for (TskTabSheet* page : Pages_) page->PageControl_ = nullptr;
  Pages_.clear();
}

std::unique_ptr<TskTabControlTopPanel> TskPageControl::CreateTopPanel() {
  auto strip = std::make_unique<TskTabControlTopPanel>(*this);
  strip->SetTabs({});
  return strip;
}

TskTabSheet* TskPageControl::Page(int Index) const {
  return Index >= 0 && Index < PageCount() ? Pages_[Index] : nullptr;
}

int TskPageControl::GetActivePageIndex() const { return ActivePage_ != nullptr ? ActivePage_->PageIndex_ : 0; }

void TskPageControl::SetActivePageIndex(int Index) {
  if (Index >= 0 && Index < PageCount()) Activate(Pages_[Index]);
}

void TskPageControl::SetActivePage(TskTabSheet* Page) {
  if (Page == nullptr || Page->PageControl_ == this) Activate(Page);
}

TskTabSheet& TskPageControl::AddPage(const std::wstring& Caption) {
  OwnedSheets_.push_back(std::make_unique<TskTabSheet>());
  OwnedSheets_.back()->Create(*this, Caption);
  return *OwnedSheets_.back();
}

int TskPageControl::GetTabImageIndex(int Index) const {
  TskTabSheet* page = Page(Index);
  return page != nullptr ? page->ImageIndex_ : -1;
}

void TskPageControl::InsertPage(TskTabSheet& Page) {
  Page.PageControl_ = this;
  Page.Color_ = GetColor();
  Page.BorderColor_ = GetBorderColor();
  Pages_.push_back(&Page);
  Renumber();
  RebuildTabs();
  ApplyUIStyleToChildren(Page.Handle(), GetUIStyle(), GetFileTheme());
  Activate(&Page);
}

void TskPageControl::RemovePage(TskTabSheet& Page) {
  auto it = std::find(Pages_.begin(), Pages_.end(), &Page);
  if (it == Pages_.end()) return;
  const int index = static_cast<int>(it - Pages_.begin());
  Pages_.erase(it);
  Page.PageControl_ = nullptr;
  Renumber();
  RebuildTabs();
  if (ActivePage_ == &Page) {
    ActivePage_ = nullptr;
    if (!Pages_.empty()) Activate(Pages_[std::max(0, index - 1)]);
  }
}

void TskPageControl::MovePage(TskTabSheet& Page, int NewIndex) {
  if (NewIndex < 0 || NewIndex >= PageCount()) return;
  Pages_.erase(Pages_.begin() + Page.PageIndex_);
  Pages_.insert(Pages_.begin() + NewIndex, &Page);
  Renumber();
  RebuildTabs();
  Activate(&Page);
}

void TskPageControl::Renumber() {
  for (int i = 0; i < PageCount(); ++i) Pages_[i]->PageIndex_ = i;
}

void TskPageControl::RebuildTabs() {
  std::vector<std::wstring> captions;
  for (TskTabSheet* page : Pages_) captions.push_back(page->Caption_);
  TopPanel().SetTabs(std::move(captions));
  for (int i = 0; i < PageCount(); ++i) TopPanel().SetTabVisible(i, Pages_[i]->TabVisible_);
}

void TskPageControl::PageTabVisibilityChanged(TskTabSheet& Page) {
  TopPanel().SetTabVisible(Page.PageIndex_, Page.TabVisible_);
  if (Page.TabVisible_ || ActivePage_ != &Page) return;
  for (int i = Page.PageIndex_ - 1; i >= 0; --i)
    if (Pages_[i]->TabVisible_) return Activate(Pages_[i]);
  for (int i = Page.PageIndex_ + 1; i < PageCount(); ++i)
    if (Pages_[i]->TabVisible_) return Activate(Pages_[i]);
}

void TskPageControl::Activate(TskTabSheet* Page) {
  if (Activating_) return;
  Activating_ = true;
  TskTabSheet* previous = ActivePage_;
  if (previous != nullptr && previous != Page) {
    previous->Enable(false);
    if (previous->OnHide) previous->OnHide(*previous);
  }
  ActivePage_ = Page;
  if (Page != nullptr) {
    TskTab::SetTabIndex(Page->PageIndex_);
    Page->Show(true);
    Page->Enable(true);
    ::SetWindowPos(Page->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::RedrawWindow(Page->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    if (Page->OnShow) Page->OnShow(*Page);
  }
  Activating_ = false;
}

void TskPageControl::TabChanged(int Index) {
  if (!Activating_) {
    TskTabSheet* page = Page(Index);
    Activate(page);
    if (page != nullptr && ::GetFocus() != TopPanel().Handle()) FocusFirstChild(*page);
    FocusShownPage();
  }
  TskTab::TabChanged(Index);
}

void TskPageControl::FocusFirstChild(TskTabSheet& Page) {
  HWND child = ::GetWindow(Page.Handle(), GW_CHILD);
  if (child == nullptr) return;
  LONG style = ::GetWindowLongW(child, GWL_STYLE);
  if (::IsWindowVisible(child) && ::IsWindowEnabled(child) && (style & WS_TABSTOP) != 0) ::SetFocus(child);
}

void TskPageControl::BorderColorChanged() {
  for (TskTabSheet* page : Pages_) page->SetBorderColor(GetBorderColor());
}

void TskPageControl::ColorChanged() {
  for (TskTabSheet* page : Pages_) page->SetColor(GetColor());
}

void TskPageControl::ApplyUIStyle() {
  for (TskTabSheet* page : Pages_) {
    ApplyUIStyleToChildren(page->Handle(), GetUIStyle(), GetFileTheme());
    page->SetColor(GetColor());
    page->SetBorderColor(GetBorderColor());
  }
  LayoutChildren();
}

void TskPageControl::LayoutChildren() {
  RECT area = PageArea();
  for (TskTabSheet* page : Pages_)
    ::SetWindowPos(page->Handle(), nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace skin
