#include "ui/ToolTip.h"

#include <commctrl.h>

#include "ui/Application.h"

namespace ui {

ToolTip::~ToolTip() {
  if (tip_ != nullptr && ::IsWindow(tip_)) ::DestroyWindow(tip_);
}

bool ToolTip::Create(HWND owner, HWND control, const std::wstring& text) {
  tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                           Application::Instance().Module(), nullptr);
  if (tip_ == nullptr) return false;
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = owner;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 300);
  return ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

void ToolTip::SetActive(bool active) {
  active_ = active;
  if (tip_ != nullptr) ::SendMessageW(tip_, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

void ToolTip::SetInitialDelay(int ms) {
  if (tip_ != nullptr) ::SendMessageW(tip_, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(ms, 0));
}

}  // namespace ui
