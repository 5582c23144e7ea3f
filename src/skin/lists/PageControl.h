// A tab control with one page per tab: only the active page is enabled and
// on top; the others stay behind it, disabled.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/lists/TabControl.h"

namespace skin {

class TskPageControl;

class TskTabSheet : public ui::Control, public Component {
 public:
  TskTabSheet() = default;
  ~TskTabSheet() override;

  // Makes the sheet a page of `Control`: appended, and made the active page.
  bool Create(TskPageControl& Control, const std::wstring& Caption);

  TskPageControl* GetPageControl() const { return PageControl_; }
  int GetPageIndex() const { return PageIndex_; }
  // Moves the page; a value outside the pages is refused.
  void SetPageIndex(int Value);
  const std::wstring& GetCaption() const { return Caption_; }
  void SetCaption(const std::wstring& Value);
  bool GetTabVisible() const { return TabVisible_; }
  void SetTabVisible(bool Value);
  int GetImageIndex() const { return ImageIndex_; }
  void SetImageIndex(int Value);
  COLORREF GetColor() const { return Color_; }
  void SetColor(COLORREF Value);
  COLORREF GetBorderColor() const { return BorderColor_; }
  void SetBorderColor(COLORREF Value) { BorderColor_ = Value; }

  std::function<void(TskTabSheet&)> OnShow;
  std::function<void(TskTabSheet&)> OnHide;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  void OnDestroyed() override;

 private:
  friend class TskPageControl;
  TskPageControl* PageControl_ = nullptr;
  int PageIndex_ = -1;
  std::wstring Caption_;
  COLORREF BorderColor_ = 0;
  COLORREF Color_ = RGB(255, 255, 255);
  bool TabVisible_ = true;
  int ImageIndex_ = -1;
  HBRUSH Brush_ = nullptr;
  COLORREF BrushColour_ = CLR_INVALID;
};

class TskPageControl : public TskTab {
 public:
  TskPageControl() = default;
  ~TskPageControl() override;

  TskTabSheet* GetActivePage() const { return ActivePage_; }
  void SetActivePage(TskTabSheet* Page);
  // The active page's index; 0 when none.
  int GetActivePageIndex() const;
  // Ignored outside 0 to PageCount - 1.
  void SetActivePageIndex(int Index);
  int PageCount() const { return static_cast<int>(Pages_.size()); }
  // nullptr outside the range.
  TskTabSheet* Page(int Index) const;

  // For windows that build their pages in code: a sheet owned by the control,
  // appended and made active.
  TskTabSheet& AddPage(const std::wstring& Caption);
  int ActivePageIndex() const { return GetActivePageIndex(); }
  void SetActivePage(int Index) { SetActivePageIndex(Index); }

  int GetTabImageIndex(int Index) const override;
  void TabChanged(int Index) override;

 protected:
  std::unique_ptr<TskTabControlTopPanel> CreateTopPanel() override;
  void BorderColorChanged() override;
  void ColorChanged() override;
  void ApplyUIStyle() override;
  void LayoutChildren() override;

 private:
  friend class TskTabSheet;
  void InsertPage(TskTabSheet& Page);
  void RemovePage(TskTabSheet& Page);
  void MovePage(TskTabSheet& Page, int NewIndex);
  void PageTabVisibilityChanged(TskTabSheet& Page);
  void Renumber();
  void RebuildTabs();
  void Activate(TskTabSheet* Page);
  void FocusFirstChild(TskTabSheet& Page);

  std::vector<TskTabSheet*> Pages_;
  std::vector<std::unique_ptr<TskTabSheet>> OwnedSheets_;
  TskTabSheet* ActivePage_ = nullptr;
  bool Activating_ = false;
};

}  // namespace skin
