#include "skin/controls/SkinControl.h"

#include "skin/controls/CheckBoxes.h"

#include "skin/draw/Fills.h"
#include "skin/draw/Geometry.h"
#include "skin/file/SkinBitmapWin.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"
#include "ui/Form.h"

namespace skin {

COLORREF RealColor(COLORREF colour) { return ColorToRGB(colour); }

namespace {

BOOL CALLBACK StyleOne(HWND window, LPARAM style) {
  // Every component that publishes a style takes it, whatever its class:
  // the skinned edits, lists, tabs and pages as well as the painted controls.
  Component* c = ComponentOfWindow(window);
  if (HasPublishedProperty(c, "UIStyle")) SetPropertyByName(*c, "UIStyle", static_cast<TskUIStyle>(style));
  // Check marks sit on whatever their page paints.
  if (auto* box = dynamic_cast<TskCheckBox*>(c)) box->SetTransparent(true);
  return TRUE;
}

}  // namespace

void SetStyleOfDescendants(HWND root, TskUIStyle style) {
  if (root != nullptr) ::EnumChildWindows(root, &StyleOne, static_cast<LPARAM>(style));
}

SkinControl::SkinControl() : color_(::GetSysColor(COLOR_BTNFACE)), font_(ui::DefaultFont()) {}

SkinControl::~SkinControl() {
  if (fileTheme_ != nullptr) fileTheme_->RemoveUser(this);
  if (faceBrush_ != nullptr) ::DeleteObject(faceBrush_);
}

COLORREF ParentFaceColour(HWND control) {
  HWND parent = control != nullptr ? ::GetParent(control) : nullptr;
  if (parent == nullptr) return ::GetSysColor(COLOR_BTNFACE);
  // No child window in lParam: the parent answers for itself, the question
  // is not handed on to a child's own colour handler.
  HDC dc = ::CreateCompatibleDC(nullptr);
  auto brush =
      reinterpret_cast<HBRUSH>(::SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), 0));
  ::DeleteDC(dc);
  LOGBRUSH lb{};
  if (brush != nullptr && ::GetObjectW(brush, sizeof(lb), &lb) == sizeof(lb) && lb.lbStyle == BS_SOLID)
    return lb.lbColor;
  return ::GetSysColor(COLOR_BTNFACE);
}

void SkinControl::SetUIStyle(TskUIStyle style) {
  uiStyle_ = style;
  ApplyUIStyle();
  Repaint();
}

void SkinControl::SetFileTheme(TskFileTheme* theme) {
  if (fileTheme_ != nullptr && fileTheme_ != theme) fileTheme_->RemoveUser(this);
  fileTheme_ = theme;
  if (theme != nullptr) theme->AddUser(this);
  SetUIStyle(uiStyle_);
}

void SkinControl::FileThemeRemoved() {
  fileTheme_ = nullptr;
  SetUIStyle(DeepBlue);
}

void SkinControl::SetTransparent(bool value) {
  transparent_ = value;
  Repaint();
}

COLORREF SkinControl::GetColor() const { return parentColor_ && Exists() ? ParentFaceColour(hwnd_) : color_; }

void SkinControl::SetColor(COLORREF colour) {
  color_ = colour;
  parentColor_ = false;
  ColorChanged();
  if (Exists())
    for (HWND c = ::GetWindow(hwnd_, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT))
      ::SendMessageW(c, kParentColorChanged, 0, 0);
  Repaint();
}

void SkinControl::SetParentColor(bool value) {
  if (parentColor_ && !value) color_ = GetColor();
  parentColor_ = value;
  Repaint();
}

LRESULT SkinControl::FaceBrushFor(HDC dc) {
  const COLORREF face = RealColor(GetColor());
  if (faceBrush_ == nullptr || faceBrushColour_ != face) {
    if (faceBrush_ != nullptr) ::DeleteObject(faceBrush_);
    faceBrush_ = ::CreateSolidBrush(face);
    faceBrushColour_ = face;
  }
  ::SetBkColor(dc, face);
  ::SetTextColor(dc, RealColor(fontColor_));
  return reinterpret_cast<LRESULT>(faceBrush_);
}

void SkinControl::SetFontColor(COLORREF colour) {
  fontColor_ = colour;
  Repaint();
}

void SkinControl::SetCaption(const std::wstring& text) {
  if (Exists()) SetText(text);
  Repaint();
}

bool SkinControl::CreateSkin(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int x, int y,
                             int w, int h) {
  if (!CreateCustom(parent, cls, text, style | WS_VISIBLE | WS_CLIPCHILDREN, 0, x, y, w, h)) return false;
  uiStyle_ = FindFormUIStyle(ui::Form::FromHandle(::GetAncestor(parent, GA_ROOT)));
  ApplyUIStyle();
  return true;
}

bool SkinControl::ResolveStyle(TskUIStyle& style) const { return ResolveFileTheme(fileTheme_, uiStyle_, style); }

bool SkinControl::LoadPicture(int builtinItem, int fileIndex, int count, int index, Bitmap& out) const {
  TskUIStyle style;
  if (ResolveStyle(style)) {
    SkinImage image;
    fileTheme_->AssignBitmap(fileIndex, image, count, index);
    HBITMAP h = CreateSkinHBitmap(image);
    bool ok = h != nullptr && out.CopyFrom(h);
    if (h != nullptr) ::DeleteObject(h);
    if (!ok) out.Clear();
    return ok;
  }
  if (!GetBuiltinThemeBitmap(style, builtinItem, &out, count, index)) {
    out.Clear();
    return false;
  }
  return !out.Empty();
}

COLORREF SkinControl::LookColor(int builtinItem, int fileIndex) const {
  TskUIStyle style;
  if (ResolveStyle(style)) return static_cast<COLORREF>(fileTheme_->GetColor(fileIndex));
  return GetBuiltinThemeColor(style, builtinItem);
}

void SkinControl::PaintBackground(Bitmap& canvas) const {
  if (transparent_ && Exists()) DrawParentBackground(canvas.Canvas(), hwnd_);
  else canvas.Fill(RealColor(GetColor()));
}

void SkinControl::UseFont(HDC dc) const {
  ::SelectObject(dc, font_);
  ::SetTextColor(dc, RealColor(fontColor_));
  ::SetBkMode(dc, TRANSPARENT);
}

SIZE SkinControl::TextSize(const std::wstring& text) const {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font_);
  SIZE s{0, 0};
  if (!text.empty()) ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s);
  else ::GetTextExtentPoint32W(dc, L"W", 1, &s), s.cx = 0;
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return s;
}

void SkinControl::PaintTo(Bitmap& canvas) {
  RECT rc{};
  if (Exists()) ::GetClientRect(hwnd_, &rc);
  canvas.SetSize(rc.right, rc.bottom);
  if (canvas.Empty()) return;
  HGDIOBJ oldFont = ::SelectObject(canvas.Canvas(), font_);
  Draw(canvas);
  ::SelectObject(canvas.Canvas(), oldFont);
}

bool SkinControl::RightToLeft() const { return Exists() && ReadsRightToLeft(hwnd_); }

void SkinControl::Repaint() {
  if (Exists()) ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void SkinControl::PaintWindow(HDC dc) {
  Bitmap buffer;
  PaintTo(buffer);
  if (!buffer.Empty()) ::BitBlt(dc, 0, 0, buffer.Width(), buffer.Height(), buffer.Canvas(), 0, 0, SRCCOPY);
}

LRESULT SkinControl::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: {
      // A child drawn transparent hands us its picture to paint into.
      if (w != 0) {
        PaintWindow(reinterpret_cast<HDC>(w));
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd_, &ps);
      PaintWindow(dc);
      ::EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintWindow(reinterpret_cast<HDC>(w));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // Plain labels and buttons inside a skinned container stand on its face.
      return FaceBrushFor(reinterpret_cast<HDC>(w));
    case WM_SETFONT:
      font_ = w != 0 ? reinterpret_cast<HFONT>(w) : ui::DefaultFont();
      FontChanged();
      Repaint();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SETTEXT: {
      LRESULT r = DefaultProc(msg, w, l);
      Repaint();
      return r;
    }
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Repaint();
      return DefaultProc(msg, w, l);
    case WM_MOUSEMOVE:
      if (!mouseIn_) {
        mouseIn_ = true;
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        ::TrackMouseEvent(&tme);
        MouseEnter();
      }
      return DefaultProc(msg, w, l);
    case WM_MOUSELEAVE:
      mouseIn_ = false;
      MouseLeave();
      return 0;
    default:
      return DefaultProc(msg, w, l);
  }
}

}  // namespace skin
