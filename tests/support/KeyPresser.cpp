#include "support/KeyPresser.h"

namespace testing_support {

KeyPresser::KeyPresser(const wchar_t* className, WPARAM key) : className_(className), key_(key) {
  thread_ = std::thread([this] { Run(); });
}

KeyPresser::~KeyPresser() {
  stop_ = true;
  thread_.join();
}

void KeyPresser::Run() {
  const DWORD start = ::GetTickCount();
  while (!stop_ && ::GetTickCount() - start < 10000) {
    // The menu class is known by its atom.
    const wchar_t* cls = className_ == L"#32768" ? MAKEINTATOM(32768) : className_.c_str();
    HWND w = ::FindWindowW(cls, nullptr);
    DWORD pid = 0;
    if (w != nullptr) ::GetWindowThreadProcessId(w, &pid);
    if (w == nullptr || pid != ::GetCurrentProcessId() || !::IsWindowVisible(w)) {
      ::Sleep(20);
      continue;
    }
    // The key goes where the keyboard would send it: the focused window
    // when it lies inside this one, once the activation has put the focus
    // there (the window shows before its activation is over; a window
    // whose controls never take the focus gets the key after a second).
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    const DWORD thread = ::GetWindowThreadProcessId(w, nullptr);
    const bool menu = className_ == L"#32768";
    for (int waited = 0; !menu && waited < 1000; waited += 10) {
      if (::GetGUIThreadInfo(thread, &gui) && gui.hwndActive == w && ::IsChild(w, gui.hwndFocus)) break;
      ::Sleep(10);
    }
    HWND target = w;
    if (::GetGUIThreadInfo(thread, &gui) && gui.hwndFocus != nullptr &&
        (gui.hwndFocus == w || ::IsChild(w, gui.hwndFocus)))
      target = gui.hwndFocus;
    target_ = target;
    ::PostMessageW(target, WM_KEYDOWN, key_, 1);
    ::PostMessageW(target, WM_KEYUP, key_, 0xC0000001);
    pressed_ = true;
    // A key that went nowhere must fail the test, not hang it.
    for (DWORD waited = 0; !stop_ && waited < 5000 && ::IsWindowVisible(w); waited += 20) ::Sleep(20);
    closedByKey_ = !::IsWindowVisible(w);
    if (!stop_ && ::IsWindowVisible(w)) ::PostMessageW(w, WM_CLOSE, 0, 0);
    return;
  }
}

}  // namespace testing_support
