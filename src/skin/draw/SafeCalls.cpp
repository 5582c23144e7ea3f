#include "skin/draw/SafeCalls.h"

namespace skin {

namespace {

using ScrollBarInfoFn = BOOL(WINAPI*)(HWND, LONG, SCROLLBARINFO*);
using ComboBoxInfoFn = BOOL(WINAPI*)(HWND, COMBOBOXINFO*);

UserEntryPoints& User32() {
  static UserEntryPoints entryPoints(L"User32.dll");
  return entryPoints;
}

}  // namespace

UserEntryPoints::~UserEntryPoints() {
  if (module_ != nullptr) ::FreeLibrary(module_);
}

FARPROC UserEntryPoints::Find(FARPROC& slot, const char* name) {
  if (unavailable_) return nullptr;
  if (slot != nullptr) return slot;
  if (module_ == nullptr) module_ = ::LoadLibraryW(moduleName_);
  if (module_ != nullptr) slot = ::GetProcAddress(module_, name);
  if (slot == nullptr) unavailable_ = true;
  return slot;
}

int UserEntryPoints::GetScrollBarInfo(HWND window, LONG objectId, SCROLLBARINFO* info) {
  auto fn = reinterpret_cast<ScrollBarInfoFn>(Find(scrollBarInfo_, "GetScrollBarInfo"));
  return fn != nullptr ? fn(window, objectId, info) : 0;
}

int UserEntryPoints::GetComboBoxInfo(HWND window, COMBOBOXINFO* info) {
  auto fn = reinterpret_cast<ComboBoxInfoFn>(Find(comboBoxInfo_, "GetComboBoxInfo"));
  return fn != nullptr ? fn(window, info) : 0;
}

int SafeGetScrollBarInfo(HWND Window, LONG ObjectId, SCROLLBARINFO* Info) {
  return User32().GetScrollBarInfo(Window, ObjectId, Info);
}

int SafeGetComboBoxInfo(HWND Window, COMBOBOXINFO* Info) { return User32().GetComboBoxInfo(Window, Info); }

}  // namespace skin
