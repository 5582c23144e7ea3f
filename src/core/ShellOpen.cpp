#include "core/ShellOpen.h"

#include <shellapi.h>

#include <mutex>

namespace core {
namespace {
std::mutex g_mutex;
ShellOpener g_opener;
}  // namespace

ShellOpener SetShellOpener(ShellOpener opener) {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::swap(g_opener, opener);
  return opener;
}

bool ShellOpen(HWND owner, const std::wstring& file) {
  ShellOpener opener;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    opener = g_opener;
  }
  if (opener) return opener(owner, file);
  HINSTANCE result = ::ShellExecuteW(owner, L"Open", file.c_str(), nullptr, nullptr, SW_SHOW);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace core
