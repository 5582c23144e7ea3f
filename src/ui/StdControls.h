// The plain standard controls: buttons, check boxes, labels, memos, list boxes.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

class Button : public Control {
 public:
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h, DWORD extraStyle = 0);
  std::function<void()> OnClick;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;
};

class CheckBox : public Button {
 public:
  bool Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h);
  bool Checked() const { return Send(BM_GETCHECK) == BST_CHECKED; }
  void SetChecked(bool v) { Send(BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED); }
};

class Label : public Control {
 public:
  // `autoSize` makes the label as wide as its text.
  bool Create(HWND parent, const std::wstring& caption, int x, int y, bool autoSize = true, int w = 0, int h = 0);
  void SetCaption(const std::wstring& text);
  void SetTextColor(COLORREF c) { color_ = c; Invalidate(); }
  void SetTransparent(bool v) { transparent_ = v; }
  // Paints what lies behind the label (a part of a picture under it) into
  // `dc`; `rect` is the label's rectangle in its parent's coordinates.
  void SetBackgroundPainter(std::function<void(HDC dc, const RECT& rect)> painter) { background_ = std::move(painter); }
  void SetLabelFont(HFONT f);
  std::function<void()> OnClick;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void FitToText();
  void PaintOverBackground();
  std::function<void(HDC, const RECT&)> background_;
  bool autoSize_ = true;
  bool transparent_ = false;
  COLORREF color_ = CLR_INVALID;
  HFONT font_ = nullptr;
};

class Memo : public Control {
 public:
  bool Create(HWND parent, int x, int y, int w, int h, bool border);
  void Clear() { SetText(L""); }
};

class ListBox : public Control {
 public:
  bool Create(HWND parent, int x, int y, int w, int h);
  int Add(const std::wstring& line);
  void Clear() { Send(LB_RESETCONTENT); }
  int Count() const { return static_cast<int>(Send(LB_GETCOUNT)); }
  std::wstring Item(int i) const;
  std::vector<std::wstring> Items() const;
  void SetTextColor(COLORREF c) { color_ = c; Invalidate(); }
  COLORREF TextColor() const { return color_; }
  COLORREF BackColor() const { return ::GetSysColor(COLOR_WINDOW); }
  int Selected() const { return static_cast<int>(Send(LB_GETCURSEL)); }
  std::function<void()> OnSelChange;
  bool OnReflect(UINT msg, WPARAM w, LPARAM l, LRESULT* result) override;

 private:
  COLORREF color_ = ::GetSysColor(COLOR_WINDOWTEXT);
};

}  // namespace ui
