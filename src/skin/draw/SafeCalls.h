// GetScrollBarInfo and GetComboBoxInfo looked up at run time, since older
// systems lack them. Once either is found missing, both give 0 for good.
#pragma once
#include <windows.h>

namespace skin {

int SafeGetScrollBarInfo(HWND Window, LONG ObjectId, SCROLLBARINFO* Info);
int SafeGetComboBoxInfo(HWND Window, COMBOBOXINFO* Info);

// The look-up behind the two wrappers, for one module; the wrappers use one
// process-wide instance over "User32.dll".
class UserEntryPoints {
 public:
  explicit UserEntryPoints(const wchar_t* module) : moduleName_(module) {}
  ~UserEntryPoints();
  UserEntryPoints(const UserEntryPoints&) = delete;
  UserEntryPoints& operator=(const UserEntryPoints&) = delete;

  int GetScrollBarInfo(HWND window, LONG objectId, SCROLLBARINFO* info);
  int GetComboBoxInfo(HWND window, COMBOBOXINFO* info);
  bool Unavailable() const { return unavailable_; }

 private:
  FARPROC Find(FARPROC& slot, const char* name);

  const wchar_t* moduleName_;
  HMODULE module_ = nullptr;
  FARPROC scrollBarInfo_ = nullptr;
  FARPROC comboBoxInfo_ = nullptr;
  bool unavailable_ = false;
};

}  // namespace skin
