#include "ui/Panels.h"

namespace ui {

bool GroupBox::Create(HWND parent, const std::wstring& caption, int x, int y, int w, int h) {
  return CreateCustom(parent, L"VantorelGroupBox", caption, WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, x, y, w, h);
}

namespace {

// WM_PAINT's surface: the one a transparent child hands in, or the window's.
class PaintSurface {
 public:
  PaintSurface(HWND hwnd, WPARAM handed) : hwnd_(hwnd), dc_(reinterpret_cast<HDC>(handed)) {
    if (dc_ == nullptr) dc_ = ::BeginPaint(hwnd_, &ps_);
    else hwnd_ = nullptr;
  }
  ~PaintSurface() {
    if (hwnd_ != nullptr) ::EndPaint(hwnd_, &ps_);
  }
  PaintSurface(const PaintSurface&) = delete;
  PaintSurface& operator=(const PaintSurface&) = delete;
  HDC Dc() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
  PAINTSTRUCT ps_{};
};

}  // namespace

LRESULT GroupBox::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg != WM_PAINT) return Control::OnMessage(msg, w, l);
  PaintSurface surface(hwnd_, w);
  HDC dc = surface.Dc();
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old = ::SelectObject(dc, DefaultFont());
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc, &tm);
  RECT frame{rc.left, rc.top + tm.tmHeight / 2, rc.right, rc.bottom};
  ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  std::wstring caption = Text();
  if (!caption.empty()) {
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::SetBkMode(dc, OPAQUE);
    ::TextOutW(dc, 8, 0, (L" " + caption + L" ").c_str(), static_cast<int>(caption.size() + 2));
  }
  ::SelectObject(dc, old);
  return 0;
}

bool Panel::Create(HWND parent, int x, int y, int w, int h, bool bevel) {
  bevel_ = bevel;
  return CreateCustom(parent, L"VantorelPanel", L"", WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, x, y, w, h);
}

LRESULT Panel::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (msg != WM_PAINT) return Control::OnMessage(msg, w, l);
  PaintSurface surface(hwnd_, w);
  RECT rc{};
  ::GetClientRect(hwnd_, &rc);
  ::FillRect(surface.Dc(), &rc, ::GetSysColorBrush(COLOR_BTNFACE));
  if (bevel_) ::DrawEdge(surface.Dc(), &rc, BDR_SUNKENOUTER, BF_RECT);
  return 0;
}

}  // namespace ui
