// A report list view with a frame and column header in theme colours, and
// optional skinned scroll bars laid over its own and kept in step with them.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "skin/lists/FileThemeLink.h"
#include "ui/ListView.h"

namespace skin {

// What the list view needs of a skinned scroll bar.
class ListScrollBar {
 public:
  virtual ~ListScrollBar() = default;
  virtual HWND BarHandle() const = 0;
  virtual void SetVertical(bool Vertical) = 0;
  virtual void SetLineButtonSize(int Size) = 0;
  virtual void SetRange(int Min, int Max) = 0;
  virtual void SetPosition(int Position) = 0;
  virtual void SetBarStyle(TskUIStyle Style, TskFileTheme* Theme) = 0;
  // Called with the bar's value whenever the user moves it; empty to release.
  virtual void SetChangeHandler(std::function<void(int Value)> Handler) = 0;
};

// `Text` cut to its longest prefix (one character at least) plus "..."
// narrower than Room on the canvas; the text itself when it fits.
std::wstring FitCaption(HDC Canvas, const std::wstring& Text, int Room);

class TskListView : public ui::ListView, public ListLookHolder {
 public:
  ~TskListView() override;
  bool Create(HWND Parent, int X, int Y, int W, int H, bool CheckBoxes, const ui::Window* Owner = nullptr);

  COLORREF GetHeaderColor() const { return HeaderColor_; }
  COLORREF GetHeaderFontColor() const { return HeaderFontColor_; }
  HWND HeaderHandle() const { return HeaderHandle_; }
  PropertyTable PublishedProperties() const override { return StyledProperties<TskListView>(); }

  ListScrollBar* GetVScrollBar() const { return VScrollBar_; }
  void SetVScrollBar(ListScrollBar* Bar);
  ListScrollBar* GetHScrollBar() const { return HScrollBar_; }
  void SetHScrollBar(ListScrollBar* Bar);
  void PlaceScrollBars();
  void SyncScrollBars();
  // Draws the column header on `Canvas` (the header's own DC).
  void DrawHeader(HDC Canvas);

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;
  void ApplyLook(const ThemeLook& look) override;
  void RedrawBorder() override;

 private:
  static LRESULT CALLBACK HeaderProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  void AssignBar(ListScrollBar*& Slot, ListScrollBar* Bar, bool Vertical);
  void SyncBar(ListScrollBar* Bar, LONG ObjectId, int Bar32);
  void ScrollFromBar(bool Vertical, int Value);
  void DrawFrame();
  bool RightToLeft() const;

  HWND HeaderHandle_ = nullptr;
  WNDPROC OldHeaderProc_ = nullptr;
  COLORREF HeaderFontColor_ = 0;
  COLORREF HeaderColor_ = 0;
  bool ScrollingFromBar_ = false;
  ListScrollBar* VScrollBar_ = nullptr;
  ListScrollBar* HScrollBar_ = nullptr;
  bool LeftButtonDown_ = false;
  bool SyncingBars_ = false;
};

}  // namespace skin
