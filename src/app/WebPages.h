// The program's web pages and its support address, opened through one
// narrow interface so that tests never start a browser or a mail program.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "app/Strings.h"  // kHomePage

namespace app {

extern const wchar_t kHelpPage[];     // online help overview
extern const wchar_t kUpdatePage[];   // the update page of this version
extern const wchar_t kDonatePage[];
extern const wchar_t kSupportMail[];  // the support e-mail address

class IWebPages {
 public:
  virtual ~IWebPages() = default;
  // Opens an address ("https://..." or "mailto:...") with the shell.
  virtual void Open(HWND owner, const std::wstring& address) = 0;
};

// Replaces the opener (an empty one restores the shell's); returns the old one.
std::shared_ptr<IWebPages> SetWebPages(std::shared_ptr<IWebPages> pages);

// Opens the page; a page that cannot be opened is not reported.
void OpenWebPage(HWND owner, const std::wstring& address);

}  // namespace app
