// The items of the group Instant Messengers that have a routine of their own.
#include "cleaner/Masks.h"
#include "cleaner/SystemPaths.h"
#include "cleaner/items/CleanItems.h"
#include "cleaner/items/ItemSteps.h"
#include "sys/RegistryKey.h"

namespace cleaner {
namespace {

using B = StepBase;
using Op = StepOp;

std::wstring WithSlash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

// The message log folder of the first Passport account whose folder exists.
std::wstring MessengerLogFolder() {
  sys::RegistryKey settings;
  if (!settings.Open(HKEY_CURRENT_USER, L"Software\\Microsoft\\MSNMessenger\\PerPassportSettings")) return {};
  for (const std::wstring& account : settings.SubKeyNames()) {
    sys::RegistryKey key;
    std::wstring path;
    if (key.Open(settings.Handle(), account)) key.ReadString(L"MessageLogPath", &path);
    if (FolderExists(path)) return path;
  }
  return {};
}

}  // namespace

void ClearMSNMessenger(TClearTaskThread& t, const ItemServices&) {
  std::wstring logs = WithSlash(MessengerLogFolder());
  std::wstring received = Under(GetMyDocumentsPath(), L"My Received Files\\");
  // The log folder may be the received-files folder: empty it once.
  if (SameName(logs, received)) received.clear();
  for (const std::wstring& folder : {logs, received}) {
    if (FolderExists(folder)) t.FItemBytes += t.DeleteFolderFiles(folder, false, true, std::wstring(), t.FItemCount);
  }
  RunItemSteps(t, {{Op::DeleteKey, B::Registry, L"Software\\Microsoft\\MessengerService\\ListCache\\.NET Messenger Service", L""},
                   {Op::FilesByMask, B::AppData, L"Microsoft\\MSN Messenger", L"*.sqm"},
                   {Op::FilesByMask, B::LocalAppData, L"Microsoft\\Messenger", L"*.uccapilog"},
                   {Op::FilesByMask, B::LocalAppData, L"Microsoft\\Messenger", L"*.bak"},
                   {Op::FilesByMask, B::Profile, L"Tracing", L"WindowsLiveMessenger*.uccapilog"},
                   {Op::FilesByMask, B::Profile, L"Tracing", L"WindowsLiveMessenger*.uccapilog.bak"}});
}

void ClearYahooMessenger(TClearTaskThread& t, const ItemServices&) {
  RunItemSteps(t, {{Op::FilesByMask, B::ProgramFiles, L"Yahoo!\\Messenger", L"ypager.log"},
                   {Op::EmptyFolder, B::ProgramFiles, L"Yahoo!\\Messenger\\IMVCache", L""},
                   {Op::EmptyFolder, B::ProgramFiles, L"Yahoo!\\Messenger\\Profiles", L""},
                   {Op::FilesByMask, B::ProgramFiles, L"Yahoo!\\Messenger\\Cache", L"*.*"},
                   {Op::FilesByMask, B::ProgramFiles, L"Yahoo!\\Messenger\\Logs", L"*.*"},
                   {Op::FilesByMask, B::ProgramFiles, L"Yahoo!\\Messenger\\Games", L"*.gif"},
                   {Op::FilesByMask, B::ProgramFiles, L"Yahoo!\\Messenger\\Cache", L"ypager.log"}});
}

void ClearSkype(TClearTaskThread& t, const ItemServices&) {
  // One folder per account below Skype: the mask reaches into all of them.
  RunItemSteps(t, {{Op::FilesByMaskRecursive, B::AppData, L"Skype", L"*.dbb"}}, B::AppData);
}

}  // namespace cleaner
