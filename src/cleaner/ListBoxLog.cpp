#include "cleaner/ListBoxLog.h"

namespace cleaner {
namespace {

constexpr UINT kDrainMessage = WM_APP + 0x140;
const wchar_t kClassName[] = L"VantorelCleanLog";

}  // namespace

ListBoxLog::ListBoxLog(HWND listBox) : listBox_(listBox) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &ListBoxLog::WndProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  ::RegisterClassW(&wc);
  window_ = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (window_ != nullptr) ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ListBoxLog::~ListBoxLog() { Detach(); }

void ListBoxLog::Detach() {
  HWND window = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    listBox_ = nullptr;
    queue_.clear();
    window = window_;
    window_ = nullptr;
  }
  if (window != nullptr) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    ::DestroyWindow(window);
  }
}

void ListBoxLog::AddLine(const std::wstring& line) { Queue({false, line}); }

void ListBoxLog::ScrollToEnd() { Queue({true, std::wstring()}); }

void ListBoxLog::Queue(Entry entry) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (listBox_ == nullptr) return;
  queue_.push_back(std::move(entry));
  if (!wakePending_ && window_ != nullptr) {
    wakePending_ = ::PostMessageW(window_, kDrainMessage, 0, 0) != FALSE;
  }
}

void ListBoxLog::Flush() {
  std::deque<Entry> batch;
  HWND listBox = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(queue_);
    wakePending_ = false;
    listBox = listBox_;
  }
  if (listBox == nullptr || batch.empty()) return;
  bool scroll = false;
  ::SendMessageW(listBox, WM_SETREDRAW, FALSE, 0);
  for (const auto& e : batch) {
    if (e.scroll) scroll = true;
    else ::SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.text.c_str()));
  }
  ::SendMessageW(listBox, WM_SETREDRAW, TRUE, 0);
  if (scroll) ::SendMessageW(listBox, WM_VSCROLL, SB_BOTTOM, 0);
  ::InvalidateRect(listBox, nullptr, TRUE);
}

LRESULT CALLBACK ListBoxLog::WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == kDrainMessage) {
    auto* self = reinterpret_cast<ListBoxLog*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr) self->Flush();
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, w, l);
}

}  // namespace cleaner
