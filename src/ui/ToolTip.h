// A hint shown over one control.
#pragma once
#include <windows.h>

#include <string>

namespace ui {

class ToolTip {
 public:
  ToolTip() = default;
  ~ToolTip();
  ToolTip(const ToolTip&) = delete;
  ToolTip& operator=(const ToolTip&) = delete;

  // Attaches `text` to `control` (owned by `owner`).
  bool Create(HWND owner, HWND control, const std::wstring& text);
  // An inactive hint never shows.
  void SetActive(bool active);
  bool Active() const { return active_; }
  // Time before the hint appears; 0 shows it at once.
  void SetInitialDelay(int ms);

 private:
  HWND tip_ = nullptr;
  bool active_ = true;
};

}  // namespace ui
