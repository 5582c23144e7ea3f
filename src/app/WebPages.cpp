#include "app/WebPages.h"

#include <shellapi.h>

namespace app {

const wchar_t kHelpPage[] = L"https://vantorel.example/help/";
const wchar_t kUpdatePage[] = L"https://vantorel.example/update/?version=3.1.20220412";
const wchar_t kDonatePage[] = L"https://vantorel.example/donate/";
const wchar_t kSupportMail[] = L"support@vantorel.example";

namespace {

class TShellWebPages : public IWebPages {
 public:
  void Open(HWND owner, const std::wstring& address) override {
    ::ShellExecuteW(owner, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
};

std::shared_ptr<IWebPages>& Current() {
  static std::shared_ptr<IWebPages> pages = std::make_shared<TShellWebPages>();
  return pages;
}

}  // namespace

std::shared_ptr<IWebPages> SetWebPages(std::shared_ptr<IWebPages> pages) {
  std::shared_ptr<IWebPages> old = Current();
  Current() = pages ? std::move(pages) : std::make_shared<TShellWebPages>();
  return old;
}

void OpenWebPage(HWND owner, const std::wstring& address) { Current()->Open(owner, address); }

}  // namespace app
