#include "cleaner/items/ItemServices.h"

#include "core/Paths.h"
#include "core/SystemInfo.h"

#include <shellapi.h>

#include <vector>

#include "cleaner/SystemPaths.h"
#include "cleaner/items/IEServices.h"

namespace cleaner {

bool ShellRecycleBin::Query(RecycleBinContents* contents) {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof(info);
  // An empty root: the bins of every drive.
  if (FAILED(::SHQueryRecycleBinW(nullptr, &info))) return false;
  contents->items = info.i64NumItems;
  contents->bytes = info.i64Size;
  return true;
}

bool ShellRecycleBin::Empty(HWND owner) {
  HRESULT hr = ::SHEmptyRecycleBinW(owner, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
  return SUCCEEDED(hr);
}

bool SystemClipboard::Clear() {
  if (!::OpenClipboard(nullptr)) return false;
  bool cleared = ::EmptyClipboard() != FALSE;
  ::CloseClipboard();
  return cleared;
}

bool SystemAccount::IsAdministrator() { return cleaner::IsAdministrator(); }

ItemServices WithDefaults(ItemServices services) {
  if (!services.recycleBin) services.recycleBin = std::make_shared<ShellRecycleBin>();
  if (!services.clipboard) services.clipboard = std::make_shared<SystemClipboard>();
  if (!services.account) services.account = std::make_shared<SystemAccount>();
  if (!services.urlHistory) services.urlHistory = std::make_shared<ComUrlHistory>();
  if (!services.urlCache) services.urlCache = std::make_shared<WinInetUrlCache>();
  if (!services.windowsVersion) services.windowsVersion = core::GetWindowsVersion;
  if (services.dataFolder.empty()) services.dataFolder = ProgramFolder();
  if (!services.dataFolder.empty() && services.dataFolder.back() != L'\\') services.dataFolder += L'\\';
  return services;
}

std::wstring ProgramFolder() { return core::GetProgramFolder(); }

}  // namespace cleaner
