#include "ui/Control.h"

#include "ui/Application.h"
#include "ui/Menu.h"

namespace ui {
namespace {
const wchar_t kSelfProp[] = L"VantorelControl";

// IDs below this are the dialog commands (IDOK, IDCANCEL, ...).
HMENU NextControlId() {
  static UINT_PTR next = 1000;
  return reinterpret_cast<HMENU>(next < 0xFFFF ? next++ : next);
}
}  // namespace

HFONT DefaultFont() {
  static HFONT font = ::CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif");
  return font;
}

HFONT BoldFont(int height) {
  return ::CreateFontW(-height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif");
}

Control* Control::FromHandle(HWND hwnd) { return static_cast<Control*>(::GetPropW(hwnd, kSelfProp)); }

RECT Control::Bounds() const {
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  ::MapWindowPoints(nullptr, ::GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int Control::Width() const {
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  return r.right - r.left;
}

int Control::Height() const {
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  return r.bottom - r.top;
}

void Control::SetBounds(int left, int top, int width, int height) {
  ::SetWindowPos(hwnd_, nullptr, left, top, width < 0 ? 0 : width, height < 0 ? 0 : height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Control::CreateControl(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle,
                            int x, int y, int w, int h) {
  hwnd_ = ::CreateWindowExW(exStyle, cls, text.c_str(), style | WS_CHILD, x, y, w, h, parent, NextControlId(),
                            Application::Instance().Module(), nullptr);
  if (hwnd_ == nullptr) return false;
  ::SetPropW(hwnd_, kSelfProp, this);
  prevProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::SubclassProc)));
  SetFont(DefaultFont());
  return true;
}

bool Control::CreateCustom(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, DWORD exStyle,
                           int x, int y, int w, int h, UINT classStyle) {
  HINSTANCE inst = Application::Instance().Module();
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (!::GetClassInfoExW(inst, cls, &existing)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = classStyle;
    wc.lpfnWndProc = &Window::StaticWndProc;
    wc.hInstance = inst;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = cls;
    if (!::RegisterClassExW(&wc)) return false;
  }
  HWND h2 = ::CreateWindowExW(exStyle, cls, text.c_str(), style | WS_CHILD, x, y, w, h, parent, NextControlId(), inst,
                              this);
  if (h2 == nullptr) return false;
  ::SetPropW(hwnd_, kSelfProp, this);
  SetFont(DefaultFont());
  return true;
}

LRESULT Control::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  if (menu_ != nullptr && menu_->OnControlMessage(msg, w, l)) return 0;
  if (msg == WM_KEYDOWN && OnKey && OnKey(w)) return 0;
  return Window::OnMessage(msg, w, l);
}

LRESULT Control::DefaultProc(UINT msg, WPARAM w, LPARAM l) {
  if (prevProc_ != nullptr) return ::CallWindowProcW(prevProc_, hwnd_, msg, w, l);
  return Window::DefaultProc(msg, w, l);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  Control* self = FromHandle(hwnd);
  if (self == nullptr) return ::DefWindowProcW(hwnd, msg, w, l);
  WNDPROC prev = self->prevProc_;
  LRESULT result = self->SafeDispatch(msg, w, l);
  if (msg == WM_NCDESTROY) {
    ::RemovePropW(hwnd, kSelfProp);
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
    self->hwnd_ = nullptr;
    self->prevProc_ = nullptr;
  }
  return result;
}

}  // namespace ui
