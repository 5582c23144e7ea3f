// A report list view with a frame and column header in theme colours, and
// optional skinned scroll bars laid over its own and kept in step with them.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "skin/controls/Bars.h"
#include "skin/lists/FileThemeLink.h"
#include "ui/ListView.h"

namespace skin {

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

  TskScrollBar* GetVScrollBar() const { return VScrollBar_; }
  void SetVScrollBar(TskScrollBar* Bar);
  TskScrollBar* GetHScrollBar() const { return HScrollBar_; }
  void SetHScrollBar(TskScrollBar* Bar);
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
  void AssignBar(TskScrollBar*& Slot, TskScrollBar* Bar, bool Vertical);
  void SyncBar(TskScrollBar* Bar, LONG ObjectId, int Bar32);
  void ScrollFromBar(bool Vertical, int Value);
  void DrawFrame();
  bool RightToLeft() const;

  HWND HeaderHandle_ = nullptr;
  WNDPROC OldHeaderProc_ = nullptr;
  COLORREF HeaderFontColor_ = 0;
  COLORREF HeaderColor_ = 0;
  bool ScrollingFromBar_ = false;
  TskScrollBar* VScrollBar_ = nullptr;
  TskScrollBar* HScrollBar_ = nullptr;
  bool LeftButtonDown_ = false;
  bool SyncingBars_ = false;
};

}  // namespace skin
