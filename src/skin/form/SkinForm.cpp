#include "skin/form/SkinForm.h"

#include <algorithm>
#include <vector>

#include "skin/draw/Fills.h"
#include "skin/draw/Geometry.h"
#include "skin/file/FileTheme.h"
#include "skin/form/FileLook.h"
#include "skin/form/FormMessages.h"
#include "skin/theme/BuiltinTheme.h"
#include "skin/theme/StyleResolve.h"
#include "ui/Form.h"
#include "ui/MessageBox.h"

namespace skin {
namespace {

const wchar_t kFrameProp[] = L"VantorelSkinFrame";
const wchar_t kOldProcProp[] = L"VantorelSkinOldProc";
constexpr UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
// Posted by the message hook so that the system menu opens outside the hook.
constexpr UINT kPopupSystemMenu = WM_APP + 0x3A0;

// The frames alive on this thread, newest last; the message hook serves them.
std::vector<TskForm*>& LiveFrames() {
  static std::vector<TskForm*> frames;
  return frames;
}
HHOOK g_hook = nullptr;

// Created maximised forms count their first two maximised sizes program-wide.
int g_maximizedPasses = 0;

int Clamp16(int v) { return v < 0 || v > 16 ? 4 : v; }

// The program's main form: the top owner of `form`, or `form` itself.
HWND MainFormOf(HWND form) {
  HWND root = ::GetAncestor(form, GA_ROOTOWNER);
  return root != nullptr ? root : form;
}

}  // namespace

TskForm::~TskForm() {
  if (FileTheme_ != nullptr) FileTheme_->RemoveUser(this);
  Remove();
  auto& frames = LiveFrames();
  frames.erase(std::remove(frames.begin(), frames.end(), this), frames.end());
  if (frames.empty() && g_hook != nullptr) {
    ::UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
  }
}

bool TskForm::Create(ui::Form& form) {
  HWND f = form.Handle();
  if (f == nullptr || ::GetPropW(f, kFrameProp) != nullptr) return false;
  form_ = f;
  MeasureSystemFrame();
  RECT wr{};
  ::GetWindowRect(f, &wr);
  SavedBounds_ = wr;
  CreatedMaximized_ = ::IsZoomed(f) != FALSE;
  RECT cr{};
  ::GetClientRect(f, &cr);
  // A control parent, so that the dialog keys reach the controls on it.
  if (!CreateCustom(f, L"TskForm", L" ", WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, 0, 0,
                    cr.right, cr.bottom,
                    CS_DBLCLKS)) {
    form_ = nullptr;
    return false;
  }
  TitleBar_.Create(hwnd_);
  SetCaption(form.Text());
  // A frameless or single-line form keeps a thin dialog frame to draw on.
  LONG_PTR style = ::GetWindowLongPtrW(f, GWL_STYLE);
  LONG_PTR ex = ::GetWindowLongPtrW(f, GWL_EXSTYLE);
  if ((style & WS_THICKFRAME) == 0) ::SetWindowLongPtrW(f, GWL_EXSTYLE, ex | WS_EX_DLGMODALFRAME);
  ::SetWindowLongPtrW(f, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
  ::SetPropW(f, kFrameProp, this);
  OldWindowProc_ = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(f, GWLP_WNDPROC));
  ::SetPropW(f, kOldProcProp, reinterpret_cast<HANDLE>(OldWindowProc_));
  ::SetWindowLongPtrW(f, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TskForm::FormProc));
  LiveFrames().push_back(this);
  if (g_hook == nullptr) g_hook = ::SetWindowsHookExW(WH_GETMESSAGE, &AppMessage, nullptr, ::GetCurrentThreadId());
  SetUIStyle(DeepBlue);
  ::SetWindowPos(f, nullptr, 0, 0, 0, 0, kFrameChanged);
  LayoutChildren();
  return true;
}

void TskForm::Remove() {
  if (form_ == nullptr) return;
  if (Menu_ != nullptr) Menu_->SetHost(nullptr);
  Destroying_ = true;
  HWND f = form_;
  form_ = nullptr;
  if (!::IsWindow(f) || ::GetPropW(f, kFrameProp) != this) return;
  ::SetWindowLongPtrW(f, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OldWindowProc_));
  ::RemovePropW(f, kFrameProp);
  ::RemovePropW(f, kOldProcProp);
  ::SetWindowLongPtrW(f, GWL_STYLE, ::GetWindowLongPtrW(f, GWL_STYLE) | WS_CAPTION);
  ::SetWindowRgn(f, nullptr, TRUE);
  ::SetWindowPos(f, nullptr, 0, 0, 0, 0, kFrameChanged);
}

bool TskForm::IsMdiChild() const {
  return form_ != nullptr && (::GetWindowLongPtrW(form_, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

HWND TskForm::MdiClient() const { return IsMdiChild() ? ::GetParent(form_) : nullptr; }

void TskForm::MeasureSystemFrame() {
  if (IsMdiChild()) {
    HWND main = ::GetParent(::GetParent(form_));
    FrameBottom_ = Clamp16(static_cast<int>(::SendMessageW(main, SK_MDIFRAMEBOTTOM, 0, 0)));
    FrameSide_ = Clamp16(static_cast<int>(::SendMessageW(main, SK_MDIFRAMESIDE, 0, 0)));
    return;
  }
  RECT wr{}, cr{};
  ::GetWindowRect(form_, &wr);
  ::GetClientRect(form_, &cr);
  POINT tl{cr.left, cr.top}, br{cr.right, cr.bottom};
  ::ClientToScreen(form_, &tl);
  ::ClientToScreen(form_, &br);
  FrameBottom_ = Clamp16(wr.bottom - br.y);
  FrameSide_ = Clamp16(tl.x - wr.left);
}

LRESULT CALLBACK TskForm::FormProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  auto* self = static_cast<TskForm*>(::GetPropW(hwnd, kFrameProp));
  auto old = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kOldProcProp));
  if (self == nullptr || self->form_ != hwnd) {
    return old != nullptr ? ::CallWindowProcW(old, hwnd, msg, w, l) : ::DefWindowProcW(hwnd, msg, w, l);
  }
  if (msg == WM_NCDESTROY) {
    // The window goes first: give it its procedure back and let go of it.
    LRESULT r = ::CallWindowProcW(old, hwnd, msg, w, l);
    ::RemovePropW(hwnd, kFrameProp);
    ::RemovePropW(hwnd, kOldProcProp);
    self->form_ = nullptr;
    self->Destroying_ = true;
    return r;
  }
  try {
    return self->FormWindowProc(msg, w, l);
  } catch (...) {
    return ::CallWindowProcW(old, hwnd, msg, w, l);
  }
}

LRESULT TskForm::CallOld(UINT msg, WPARAM w, LPARAM l) { return ::CallWindowProcW(OldWindowProc_, form_, msg, w, l); }

void TskForm::CalcSize(NCCALCSIZE_PARAMS* p) {
  const WINDOWPOS& pos = *p->lppos;
  int L = std::max(4, FrameSide_), B = std::max(4, FrameBottom_);
  RECT r{};
  r.top = pos.y - B + 4;
  if (LeftImageWidth_ == 0) {
    r.left = pos.x - L + 4;
    r.right = pos.x + pos.cx + L - 4;
  } else {
    r.right = pos.x + pos.cx - std::max(RightImageWidth_, 4) + L - 1;
    r.left = pos.x + std::max(LeftImageWidth_, 4) - L + 1;
  }
  if (BottomHeight_ != 0) r.bottom = pos.y + pos.cy - std::max(BottomHeight_, 4) + B - 1;
  else if (BorderWidth_ == 3) r.bottom = pos.y + pos.cy + B - 4;
  else r.bottom = pos.y + pos.cy - BorderWidth_ + 2 + B - 4;
  p->rgrc[0] = r;
  p->rgrc[1] = r;
}

LRESULT TskForm::FormWindowProc(UINT msg, WPARAM w, LPARAM l) {
  if (Destroying_) return CallOld(msg, w, l);
  if (msg == WM_NCCALCSIZE && w != 0) CalcSize(reinterpret_cast<NCCALCSIZE_PARAMS*>(l));
  if (msg == SK_GETBORDERWIDTH) return LeftImageWidth_ != 0 ? std::max(LeftImageWidth_, 4) : FrameBottom_ - 1;
  if (msg == kPopupSystemMenu) {
    PopupSystemMenuAtMainForm();
    return 0;
  }
  bool minimized = ::IsIconic(form_) != FALSE;
  if (msg == WM_NCACTIVATE || msg == WM_NCPAINT) {
    if (minimized) return CallOld(msg, w, l);
    TitleBar_.Repaint();
    PaintBorder();
    return msg == WM_NCACTIVATE ? 1 : 0;
  }
  LRESULT result = CallOld(msg, w, l);
  switch (msg) {
    case WM_MDIACTIVATE:
      // The main form's menu follows the active child.
      if (reinterpret_cast<HWND>(l) == form_ && MdiClient() != nullptr)
        ::SendMessageW(MdiClient(), WM_MDIREFRESHMENU, reinterpret_cast<WPARAM>(form_), 0);
      TitleBar_.SetFormActive(reinterpret_cast<HWND>(l) == form_);
      break;
    case WM_DESTROY:
      HandleMdiDestroy();
      break;
    case WM_KEYDOWN:
      if (HandleKeyDown(w, l)) result = 1;
      break;
    case WM_SHOWWINDOW:
      if (::GetMenu(form_) != nullptr) ::SetMenu(form_, nullptr);
      break;
    case WM_ACTIVATE:
      TitleBar_.SetFormActive(LOWORD(w) != WA_INACTIVE);
      PaintBorder();
      break;
    case WM_STYLECHANGED:
      if ((::GetWindowLongPtrW(form_, GWL_STYLE) & WS_CAPTION) != 0) {
        ::SetWindowLongPtrW(form_, GWL_STYLE, ::GetWindowLongPtrW(form_, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CAPTION));
        ::SetWindowPos(form_, nullptr, 0, 0, 0, 0, kFrameChanged);
      }
      break;
    case WM_SIZE:
      HandleSize();
      break;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(l);
      mm->ptMinTrackSize.x = std::max<LONG>(mm->ptMinTrackSize.x, TitleBar_.MinTrackWidth);
      mm->ptMinTrackSize.y = std::max<LONG>(mm->ptMinTrackSize.y, std::max(MinHeight_, TitleBar_.MinTrackHeight));
      break;
    }
    case WM_NCHITTEST:
      // A single-frame MDI child cannot be sized.
      if (IsMdiChild() && (::GetWindowLongPtrW(form_, GWL_STYLE) & WS_THICKFRAME) == 0 && result >= HTLEFT &&
          result <= HTBOTTOMRIGHT)
        result = HTBORDER;
      break;
    default:
      break;
  }
  return result;
}

void TskForm::HandleSize() {
  if (InSize_ || form_ == nullptr) return;
  InSize_ = true;
  bool maximized = ::IsZoomed(form_) != FALSE;
  if (CreatedMaximized_) {
    if (IsMdiChild()) {
      MDIScrolled_ = MDICreatedMaximized_ = true;
      CreatedMaximized_ = false;
    } else if (!maximized) {
      ::SetWindowPos(form_, nullptr, SavedBounds_.left, SavedBounds_.top, SavedBounds_.right - SavedBounds_.left,
                     SavedBounds_.bottom - SavedBounds_.top, SWP_NOZORDER | SWP_NOACTIVATE);
      CreatedMaximized_ = false;
    } else if (g_maximizedPasses < 2) {
      ++g_maximizedPasses;
    } else {
      ::ShowWindow(form_, SW_MAXIMIZE);
    }
  }
  if (maximized && !IsMdiChild()) {
    // Cover the work area, the border ring just outside it.
    RECT area{};
    GetDesktopWorkArea(form_, area);
    ::SetWindowPos(form_, nullptr, area.left - 2, area.top - 2, area.right - area.left + 4, area.bottom - area.top + 1,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  LayoutChildren();
  TitleBar_.UpdateMaximizeButtons();
  TitleBar_.Repaint();
  PaintBorder();
  if (IsMdiChild()) HandleMdiSize(maximized);
  UpdateWindowRegion();
  InSize_ = false;
}

// A maximised MDI child shows no title bar of its own (the main form's menu
// bar carries its buttons) and its content moves up; restored, both come back.
void TskForm::HandleMdiSize(bool maximized) {
  const int titleHeight = TitleBar_.Height();
  HWND client = MdiClient();
  InternalTitleChange_ = true;
  if (maximized) {
    SetTitleBarVisible(false);
    InternalTitleChange_ = false;
    if (!MDIScrolled_) {
      ScrollContent(3 - titleHeight);
      MDIScrolled_ = true;
      ::SendMessageW(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(form_), 0);
    }
    return;
  }
  if (TitleBarWanted_) SetTitleBarVisible(true);
  InternalTitleChange_ = false;
  if (!MDIScrolled_) return;
  if (!MDICreatedMaximized_ || MDIRestoredOnce_) ScrollContent(titleHeight - 3);
  MDIRestoredOnce_ = true;
  MDIScrolled_ = false;
  TitleBar_.UpdateMaximizeButtons();
  ::SendMessageW(client, WM_MDIRESTORE, 0, 0);
}

void TskForm::HandleMdiDestroy() {
  HWND client = MdiClient();
  if (client == nullptr) return;
  int children = 0;
  for (HWND c = ::GetWindow(client, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT))
    if ((::GetWindowLongPtrW(c, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0) ++children;
  if (children == 1) ::SendMessageW(client, WM_MDIREFRESHMENU, reinterpret_cast<WPARAM>(form_), 0);
  if (::IsZoomed(form_)) ::SendMessageW(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(form_), 0);
}

void TskForm::ScrollContent(int dy) {
  if (hwnd_ == nullptr || dy == 0) return;
  for (HWND c = ::GetWindow(hwnd_, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (c == TitleBar_.Handle() || (MenuBar_ != nullptr && c == MenuBar_->Handle()) ||
        (FormPanel_ != nullptr && c == FormPanel_->Handle()))
      continue;
    RECT r{};
    ::GetWindowRect(c, &r);
    ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    ::SetWindowPos(c, nullptr, r.left, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TskForm::LayoutChildren() {
  if (form_ == nullptr || hwnd_ == nullptr) return;
  RECT cr{};
  ::GetClientRect(form_, &cr);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, cr.right, cr.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  int y = 0;
  if (TitleBar_.Exists()) {
    TitleBar_.SetBounds(0, 0, cr.right, TitleBar_.Height());
    if (TitleBarVisible()) y += TitleBar_.Height();
  }
  if (MenuBar_ != nullptr && (::GetWindowLongPtrW(MenuBar_->Handle(), GWL_STYLE) & WS_VISIBLE) != 0) {
    MenuBar_->SetBounds(0, y, cr.right, MenuBarHeight_);
    y += MenuBarHeight_;
  }
  if (FormPanel_ != nullptr && FormPanel_->Exists()) FormPanel_->SetBounds(0, y, cr.right, cr.bottom - y);
}

LRESULT TskForm::OnMessage(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd_, &ps);
      if (!Destroying_) PaintBackground(dc);
      ::EndPaint(hwnd_, &ps);
      PaintBorder();
      return 0;
    }
    case WM_SIZE:
      LayoutChildren();
      break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      // The form's controls sit on the frame; their notices are the form's.
      if (form_ != nullptr) return ::SendMessageW(form_, msg, w, l);
      break;
    default:
      break;
  }
  return DefaultProc(msg, w, l);
}

bool TskForm::FileReady() const {
  TskUIStyle s = DeepBlue;
  return ResolveFileTheme(FileTheme_, UIStyle_, s);
}

void TskForm::ApplyBuiltinLook(TskUIStyle s) {
  BottomHeight_ = LeftImageWidth_ = RightImageWidth_ = 0;
  RegionFromTitle_ = RegionFromBottom_ = false;
  TransparentColor_ = RGB(255, 0, 255);
  BorderColor_ = GetBuiltinThemeColor(s, 16);
  BorderWidth_ = GetBuiltinThemeInteger(s, 17);
  Color_ = GetBuiltinThemeColor(s, 15);
  MenuBarColor_ = MenuBarToColor_ = Color_;
}

void TskForm::ApplyFileLook() {
  const TskFileTheme& t = *FileTheme_;
  Color_ = static_cast<COLORREF>(t.GetColor(2));
  MenuBarColor_ = static_cast<COLORREF>(t.GetColor(3));
  MenuBarToColor_ = static_cast<COLORREF>(t.GetColor(4));
  FileThemeBitmap(t, 5, LeftImage_);
  FileThemeBitmap(t, 6, RightImage_);
  FileThemeBitmap(t, 7, BottomLeft_);
  FileThemeBitmap(t, 8, BottomMiddle_);
  FileThemeBitmap(t, 9, BottomRight_);
  LeftImageWidth_ = LeftImage_.Width();
  RightImageWidth_ = RightImage_.Width();
  BottomHeight_ = BottomLeft_.Height();
  TransparentColor_ = static_cast<COLORREF>(t.GetColor(0));
  RegionFromTitle_ = t.GetBool(2);
  RegionFromBottom_ = t.GetBool(3);
  TitleScanFirst_ = t.GetInteger(5);
  TitleScanLast_ = t.GetInteger(6);
  BottomScanFirst_ = t.GetInteger(7);
  BottomScanLast_ = t.GetInteger(8);
}

void TskForm::SetUIStyle(TskUIStyle style) {
  RECT bounds{};
  if (form_ != nullptr) ::GetWindowRect(form_, &bounds);
  UIStyle_ = style;
  TskUIStyle s = DeepBlue;
  bool fromFile = ResolveFileTheme(FileTheme_, style, s);
  if (fromFile) ApplyFileLook();
  else ApplyBuiltinLook(s);
  TitleBar_.SetFileTheme(FileTheme_);
  TitleBar_.SetUIStyle(style);
  if (Menu_ != nullptr) {
    Menu_->SetFileTheme(FileTheme_);
    Menu_->SetUIStyle(style);
  }
  if (MenuBar_ != nullptr) MenuBar_->Invalidate();
  if (!fromFile) {
    TitleBar_.RoundCorner = GetBuiltinThemeInteger(s, 14);
    TitleBar_.RoundCornerBottom = 0;
  }
  if (UIStyleAutoUpdateSub && hwnd_ != nullptr) ApplyUIStyleToChildren(hwnd_, style, FileTheme_);
  if (form_ != nullptr && IsMdiChild()) {
    HWND parent = ::GetParent(form_);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bounds), 2);
    ::SetWindowPos(form_, nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (form_ != nullptr) ::SetWindowPos(form_, nullptr, 0, 0, 0, 0, kFrameChanged);
  if (hwnd_ != nullptr) ::InvalidateRect(hwnd_, nullptr, TRUE);
  LayoutChildren();
  PaintBorder();
  UpdateWindowRegion();
  MinHeight_ = BottomHeight_ + MenuBarHeight() + TitleBar_.Height() + 3;
}

void TskForm::PaintBackground(HDC dc) {
  RECT r{};
  ::GetClientRect(hwnd_, &r);
  // MacOS and Protein show a patterned face; the others, and a missing
  // pattern picture, a plain one.
  const wchar_t* pattern = UIStyle_ == MacOS ? L"MACOS_FORM_BACKGROUND" : UIStyle_ == Protein ? L"PROTEIN_FORM_BACKGROUND" : nullptr;
  Bitmap tile;
  HBRUSH brush = nullptr;
  if (pattern != nullptr && tile.LoadFromResource(::GetModuleHandleW(nullptr), pattern))
    brush = ::CreatePatternBrush(tile.Handle());
  if (brush == nullptr) brush = ::CreateSolidBrush(ColorToRGB(Color_));
  ::FillRect(dc, &r, brush);
  ::DeleteObject(brush);
}

void TskForm::SetFileTheme(TskFileTheme* theme) {
  if (theme == FileTheme_) return;
  if (FileTheme_ != nullptr) FileTheme_->RemoveUser(this);
  FileTheme_ = theme;
  if (FileTheme_ != nullptr) FileTheme_->AddUser(this);
  SetUIStyle(UIStyle_);
}

void TskForm::FileThemeRemoved() {
  FileTheme_ = nullptr;
  if (hwnd_ != nullptr) ApplyUIStyleToChildren(hwnd_, DeepBlue, nullptr);
  SetUIStyle(DeepBlue);
}

void TskForm::SetBorderColor(COLORREF c) {
  BorderColor_ = c;
  PaintBorder();
}

void TskForm::SetBorderWidth(int w) {
  BorderWidth_ = w;
  PaintBorder();
}

void TskForm::SetRoundCorner(int r) {
  TitleBar_.RoundCorner = r;
  UpdateWindowRegion();
}

void TskForm::SetRoundCornerBottom(int r) {
  TitleBar_.RoundCornerBottom = r;
  UpdateWindowRegion();
}

void TskForm::SetTitleBarVisible(bool visible) {
  if (!TitleBar_.Exists() || visible == TitleBarVisible()) return;
  if (!InternalTitleChange_) TitleBarWanted_ = visible;
  TitleBar_.Show(visible);
  LayoutChildren();
  PaintBorder();
}

void TskForm::SetCaption(const std::wstring& caption) {
  TitleBar_.SetCaption(caption);
  if (form_ != nullptr) ::SetWindowTextW(form_, caption.c_str());
}

bool TskForm::SetFormPanel(ui::Control* panel) {
  if (panel == this) {
    ui::ShowError(form_, L"Sorry, you can't select the Form assign to FormPanel property");
    return false;
  }
  FormPanel_ = panel;
  if (panel != nullptr && panel->Exists())
    ::SetWindowLongPtrW(panel->Handle(), GWL_EXSTYLE,
                        ::GetWindowLongPtrW(panel->Handle(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  LayoutChildren();
  return true;
}

int TskForm::GetTitleBarBottom() const { return TitleBarVisible() ? TitleBar_.Height() + 3 : 0; }

int TskForm::MenuBarHeight() const {
  return MenuBar_ != nullptr && MenuBar_->Exists() && (::GetWindowLongPtrW(MenuBar_->Handle(), GWL_STYLE) & WS_VISIBLE) != 0
             ? MenuBar_->Height()
             : 0;
}

void TskForm::SetMenuBarHeight(int height) {
  MenuBarHeight_ = height;
  // The bar's buttons span its height: a resize lays them out again.
  if (MenuBar_ != nullptr && MenuBar_->Exists()) MenuBar_->SetHeight(height);
  LayoutChildren();
  PaintBorder();
}

void TskForm::SetMenu(TskMainMenu* menu) {
  if (Menu_ != nullptr) Menu_->SetHost(nullptr);
  Menu_ = menu;
  if (Menu_ == nullptr) {
    ClearMenu();
    return;
  }
  Menu_->SetFileTheme(FileTheme_);
  Menu_->SetUIStyle(UIStyle_);
  CreateMenuBar();
  Menu_->SetHost(this);  // rebuilds the bar
  LayoutChildren();
  PaintBorder();
}

void TskForm::CreateMenuBar() {
  if (MenuBar_ != nullptr || IsMdiChild() || hwnd_ == nullptr) return;
  MenuBar_ = std::make_unique<TskMenuBar>(*this);
  MenuBar_->Create(hwnd_, MenuBarHeight_);
}

void TskForm::ClearMenu() {
  if (Menu_ != nullptr) Menu_->SetHost(nullptr);
  Menu_ = nullptr;
  if (!IsMdiChild()) MenuBar_.reset();
  LayoutChildren();
  PaintBorder();
}

void TskForm::MenuRemoved() {
  Menu_ = nullptr;
  ClearMenu();
}

void TskForm::RebuildMenuBar() {
  if (Menu_ == nullptr) return ClearMenu();
  if (MenuBar_ != nullptr) MenuBar_->Rebuild(Menu_);
}

void TskForm::RefreshMenuBarItems() {
  if (MenuBar_ != nullptr) MenuBar_->Rebuild(Menu_);
}

void TskForm::UpdateMenuBarFont() {
  if (MenuBar_ != nullptr && Menu_ != nullptr) MenuBar_->UpdateFont();
}

void TskForm::SetMenuBarColors(COLORREF from, COLORREF to) {
  MenuBarColor_ = from;
  MenuBarToColor_ = to;
  if (MenuBar_ != nullptr) MenuBar_->Invalidate();
}

bool TskForm::HandleKeyDown(WPARAM key, LPARAM flags) {
  if (Destroying_ || Menu_ == nullptr || form_ == nullptr) return false;
  if (!IsFormActive(form_, MainFormOf(form_)) || ::GetActiveWindow() != form_) return false;
  (void)flags;
  return Menu_->IsShortCut(key);
}

void TskForm::PopupSystemMenuAtMainForm() {
  RECT main{};
  ::GetWindowRect(MainFormOf(form_), &main);
  TitleBar_.PopupSystemMenu(main.left, main.top + TitleBar_.Height());
}

LRESULT CALLBACK TskForm::AppMessage(int code, WPARAM w, LPARAM l) {
  auto* msg = reinterpret_cast<MSG*>(l);
  auto& frames = LiveFrames();
  if (code == HC_ACTION && w == PM_REMOVE && !frames.empty()) {
    // The frame of the active form takes the key; else the newest frame.
    TskForm* frame = frames.back();
    HWND active = ::GetActiveWindow();
    for (TskForm* f : frames)
      if (f->form_ == active) frame = f;
    if (frame->form_ != nullptr && !frame->Destroying_) {
      if (msg->message == WM_SYSKEYDOWN && LOWORD(msg->wParam) == VK_SPACE) {
        ::PostMessageW(frame->form_, kPopupSystemMenu, 0, 0);
        msg->message = WM_NULL;
      } else if (msg->message == WM_KEYDOWN && frame->HandleKeyDown(msg->wParam, msg->lParam)) {
        msg->message = WM_NULL;
      } else if ((msg->message == WM_SYSCHAR || msg->message == WM_CHAR) && frame->MenuBar_ != nullptr &&
                 frame->form_ == active && frame->MenuBar_->DialogChar(static_cast<wchar_t>(msg->wParam), msg->message == WM_SYSCHAR)) {
        msg->message = WM_NULL;  // Alt+letter (or a letter over a hot button) drops its menu down
      }
    }
  }
  return ::CallNextHookEx(g_hook, code, w, l);
}

}  // namespace skin
