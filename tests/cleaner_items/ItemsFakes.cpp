#include "ItemsFakes.h"

#include <shlwapi.h>

#include "cleaner/RegistryPaths.h"
#include "support/TestSupport.h"
#include "sys/RegistryKey.h"
#include "sys/Text.h"

namespace items_test {

ItemRun::ItemRun(CleanMode mode, ItemServices services) {
  services.recycleBin = bin;
  services.clipboard = clipboard;
  RegisterCleanItems(table, services);
  CleanServices clean;
  clean.log = log;
  clean.poster = poster;
  clean.asker = asker;
  clean.routines = &table;
  thread = std::make_unique<TClearTaskThread>(mode, CleanSettings{}, clean);
}

void ItemRun::Run(const std::vector<std::wstring>& captions) {
  thread->FItems = captions;
  thread->Start();
  thread->WaitFor();
}

std::map<std::wstring, ItemResult> ItemRun::Results() {
  std::map<std::wstring, ItemResult> results;
  std::wstring caption;
  for (const auto& line : log->Lines()) {
    size_t clearing = line.find(L"Clearing ");
    if (clearing != std::wstring::npos && line.size() > 4 && line.compare(line.size() - 4, 4, L" ...") == 0) {
      caption = line.substr(clearing + 9, line.size() - clearing - 13);
      continue;
    }
    size_t items = line.find(L" items ");
    size_t semi = line.find(L"; ");
    size_t kb = line.find(L" KB ");
    if (caption.empty() || items == std::wstring::npos || semi == std::wstring::npos || kb == std::wstring::npos)
      continue;
    results[caption] = {std::stoi(line.substr(0, items)), line.substr(semi + 2, kb - semi - 2)};
    caption.clear();
  }
  return results;
}

ItemServices DataFolder(const std::wstring& folder) {
  ItemServices s;
  s.dataFolder = folder;
  return s;
}

void WriteText(const std::wstring& path, const std::wstring& text) { WriteFile(path, sys::ToAnsi(text)); }

bool KeyExists(HKEY root, const std::wstring& key) { return cleaner::RegKeyExists(root, key); }

void DeleteKey(HKEY root, const std::wstring& key) { cleaner::DeleteRegKeyTree(root, key); }

void RemoveLink(const std::wstring& link) {
  // The folder's Unix name + the link's own, so that nothing resolves the link.
  size_t slash = link.find_last_of(L'\\');
  if (slash == std::wstring::npos || !Exists(link)) return;
  std::wstring folder = testing_support::ToUnixPath(link.substr(0, slash + 1));
  if (folder.empty()) return;
  if (folder.back() != L'/') folder += L'/';
  testing_support::RunUnix(L"/usr/bin/unlink \"" + folder + link.substr(slash + 1) + L"\"");
  for (int i = 0; i < 100 && Exists(link); ++i) ::Sleep(50);
}

}  // namespace items_test
