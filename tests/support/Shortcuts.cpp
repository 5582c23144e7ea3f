#include "support/Shortcuts.h"

#include <windows.h>
#include <shlobj.h>

namespace testing_support {

bool MakeShellLink(const std::wstring& link, const std::wstring& target) {
  ::CoInitialize(nullptr);
  IShellLinkW* shell = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shell))))
    return false;
  IPersistFile* file = nullptr;
  bool ok = SUCCEEDED(shell->SetPath(target.c_str())) &&
            SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Save(link.c_str(), TRUE));
  if (file != nullptr) file->Release();
  shell->Release();
  return ok;
}

}  // namespace testing_support
