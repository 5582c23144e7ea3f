#include "registry/ScanSections.h"

#include "registry/ScanTaskThread.h"

namespace registry {

// In id order; ids 3 to 25. A section whose routine is still nullptr is
// accepted and shows its title, but finds nothing.
const TScanSection TScanTaskThread::Sections[] = {
    {sidHkcr, L"HKEY_CLASSES_ROOT", L"Scanning: HKEY_CLASSES_ROOT", L"Non-existent File or Folder",
     &TScanTaskThread::ScanHkcr},
    {sidHkcu, L"HKEY_CURRENT_USER", L"Scanning: HKEY_CURRENT_USER", L"Non-existent File or Folder",
     &TScanTaskThread::ScanHkcu},
    {sidHklm, L"HKEY_LOCAL_MACHINE", L"Scanning: HKEY_LOCAL_MACHINE", L"Non-existent File or Folder",
     &TScanTaskThread::ScanHklm},
    {sidHku, L"HKEY_USERS", L"Scanning: HKEY_USERS", L"Non-existent File or Folder", &TScanTaskThread::ScanHku},
    {sidSharedDlls, L"Shared DLLs", L"Scanning: Shared DLLs", L"Non-existent Shared Dlls", nullptr},
    {sidAppPaths, L"Software Locations", L"Scanning: Software Locations", L"Software Locations Issue",
     &TScanTaskThread::ScanAppPaths},
    {sidStartMenu, L"Start Menu Section", L"Scanning: Start Menu", L"Old Start Menu Key", nullptr},
    {sidObsoleteSoftware, L"Obsolete Software", L"Scanning: Software Locations", L"Obsolete Software Entry", nullptr},
    {sidFileExtensions, L"File Extensions", L"Scanning: File Extensions", L"Useless File Extension", nullptr},
    {sidFonts, L"Fonts Section", L"Scanning: Fonts Sections", L"Invalid Windows Fonts", nullptr},
    {sidHelpFiles, L"Help File Paths", L"Scanning: Invalid Help Files", L"Invalid Help Files Item", nullptr},
    {sidStartup, L"Startup Programs", L"Scanning: Startup Programs", L"Non-existent Startup Programs", nullptr},
    {sidUninstall, L"Add/Remove Programs", L"Scanning: Add/Remove Programs", L"Invalid Add/Remove Programs", nullptr},
    {sidCustomControls, L"Custom Controls", L"Scanning: Custom Controls", L"Custom Controls Issue", nullptr},
    {sidServices, L"Windows Services", L"Scanning: Windows Services", L"Windows Service Issue", nullptr},
    {sidShortcuts, L"Shortcuts", L"Scanning: Shortcuts", L"Missing ShortCut reference", nullptr},
    {sidSoundEvents, L"Sound and Appevents", L"Scanning: Sound and Appevents", L"Non-existent Sound File", nullptr},
    {sidActiveX, L"Invalid ActiveX", L"Scanning: Invalid ActiveX", L"ActiveX Issue", nullptr},
    {sidInstaller, L"Installer", L"Scanning: Installer", L"Installer Refrence Issue", nullptr},
    {sidOpenWithApps, L"Applications", nullptr, L"Open with Application Issue", nullptr},
    {sidEmptyUninstall, L"Uninstaller Entry", L"Scanning: Empty Uninstaller Entry", L"Empty Uninstall Entries",
     nullptr},
    {sidMruLists, L"MRU History Lists", L"Scanning: MRU and History Lists", L"Non-existent MRU and History Lists file",
     nullptr},
    {sidEmptyRegistryKeys, L"Empty Registry Keys", L"Scanning: Empty Registry Keys", L"Empty Registry Keys", nullptr},
};

const TScanSection* FindScanSection(int id) {
  for (const auto& s : TScanTaskThread::Sections)
    if (s.Id == id) return &s;
  return nullptr;
}

}  // namespace registry
