#include "app/About.h"

#include "app/Strings.h"
#include "app/WebPages.h"
#include "ui/Application.h"
#include "ui/Jpeg.h"

namespace app {
namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

}  // namespace

bool TStaticDecor::CreateIcon(HWND parent, int x, int y) {
  if (!CreateControl(parent, L"STATIC", L"", WS_VISIBLE | SS_ICON, 0, x, y, 32, 32)) return false;
  HICON icon = ::LoadIconW(ui::Application::Instance().Module(), MAKEINTRESOURCEW(1));
  Send(STM_SETICON, reinterpret_cast<WPARAM>(icon));
  return true;
}

bool TStaticDecor::CreateLine(HWND parent, int x, int y, int w) {
  return CreateControl(parent, L"STATIC", L"", WS_VISIBLE | SS_ETCHEDHORZ, 0, x, y, w, 2);
}

TfrmAbout::TfrmAbout() : ui::Form(L"TfrmAbout") {}

void TfrmAbout::OnCreate() {
  imgBanner.Create(hwnd_, 0, 0, 360, 50, false);
  imgBanner.SetBitmap(ui::LoadJpegResource(L"TITLE"));
  imgIcon.CreateIcon(hwnd_, 18, 64);
  lTitle.Create(hwnd_, L"", 64, 60);
  lTitle.SetLabelFont(ui::BoldFont(16));
  Label2.Create(hwnd_, L"Version: 3.1  Bulid 20220412", 64, 84);
  lPoweredBy.Create(hwnd_, L"A clean-up utility built on the Win32 API.", 64, 104);
  Label3.Create(hwnd_, L"Email:", 64, 128);
  lMail.Create(hwnd_, kSupportMail, 104, 128);
  lMail.SetTextColor(kLinkColor);
  Bevel1.CreateLine(hwnd_, 12, 156, 336);
  lbEAddress.Create(hwnd_, kHomePage, 18, 170);
  lbEAddress.SetTextColor(kLinkColor);
  bOK.Create(hwnd_, L"OK", 273, 203, 75, 25, BS_DEFPUSHBUTTON);
  bOK.SetId(IDOK);
  bOK.OnClick = [this] { bOKClick(); };
  skin::SetStyleOfDescendants(hwnd_, skin::WinXP);
  lMail.OnClick = [this] { lMailClick(); };
  lbEAddress.OnClick = [this] { lbEAddressClick(); };
}

bool TfrmAbout::CreateAbout(HWND owner) {
  if (!Create(owner, L"About Vantorel", kDialogStyle, WS_EX_DLGMODALFRAME)) return false;
  SetClientSize(360, 238);
  CenterOn(owner);
  FormShow();
  return true;
}

int TfrmAbout::Execute(HWND owner) {
  if (!Exists() && !CreateAbout(owner)) return IDCANCEL;
  return ShowModal(owner);
}

void TfrmAbout::FormShow() { lTitle.SetCaption(kProductName); }

void TfrmAbout::lbEAddressClick() { OpenWebPage(hwnd_, kHomePage); }

void TfrmAbout::lMailClick() { OpenWebPage(hwnd_, std::wstring(L"mailto:") + kSupportMail); }

}  // namespace app
