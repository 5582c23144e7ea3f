#include "registry/ScanSections.h"

#include "registry/ScanTaskThread.h"

namespace registry {

// In id order; ids 3 to 25.
const TScanSection TScanTaskThread::Sections[] = {
    {sidHkcr, L"HKEY_CLASSES_ROOT", L"Scanning: HKEY_CLASSES_ROOT", L"Non-existent File or Folder",
     &TScanTaskThread::ScanHkcr},
    {sidHkcu, L"HKEY_CURRENT_USER", L"Scanning: HKEY_CURRENT_USER", L"Non-existent File or Folder",
     &TScanTaskThread::ScanHkcu},
    {sidHklm, L"HKEY_LOCAL_MACHINE", L"Scanning: HKEY_LOCAL_MACHINE", L"Non-existent File or Folder",
     &TScanTaskThread::ScanHklm},
    {sidHku, L"HKEY_USERS", L"Scanning: HKEY_USERS", L"Non-existent File or Folder", &TScanTaskThread::ScanHku},
    {sidSharedDlls, L"Shared DLLs", L"Scanning: Shared DLLs", L"Non-existent Shared Dlls",
     &TScanTaskThread::ScanSharedDlls},
    {sidAppPaths, L"Software Locations", L"Scanning: Software Locations", L"Software Locations Issue",
     &TScanTaskThread::ScanAppPaths},
    {sidStartMenu, L"Start Menu Section", L"Scanning: Start Menu", L"Old Start Menu Key",
     &TScanTaskThread::ScanStartMenuOrder},
    {sidObsoleteSoftware, L"Obsolete Software", L"Scanning: Software Locations", L"Obsolete Software Entry",
     &TScanTaskThread::ScanObsoleteSoftware},
    {sidFileExtensions, L"File Extensions", L"Scanning: File Extensions", L"Useless File Extension",
     &TScanTaskThread::ScanFileExtensions},
    {sidFonts, L"Fonts Section", L"Scanning: Fonts Sections", L"Invalid Windows Fonts", &TScanTaskThread::ScanFonts},
    {sidHelpFiles, L"Help File Paths", L"Scanning: Invalid Help Files", L"Invalid Help Files Item",
     &TScanTaskThread::ScanHelpFiles},
    {sidStartup, L"Startup Programs", L"Scanning: Startup Programs", L"Non-existent Startup Programs",
     &TScanTaskThread::ScanStartup},
    {sidUninstall, L"Add/Remove Programs", L"Scanning: Add/Remove Programs", L"Invalid Add/Remove Programs",
     &TScanTaskThread::ScanUninstall},
    {sidCustomControls, L"Custom Controls", L"Scanning: Custom Controls", L"Custom Controls Issue",
     &TScanTaskThread::ScanCustomControls},
    {sidServices, L"Windows Services", L"Scanning: Windows Services", L"Windows Service Issue",
     &TScanTaskThread::ScanServices},
    {sidShortcuts, L"Shortcuts", L"Scanning: Shortcuts", L"Missing ShortCut reference",
     &TScanTaskThread::ScanShortcuts},
    {sidSoundEvents, L"Sound and Appevents", L"Scanning: Sound and Appevents", L"Non-existent Sound File",
     &TScanTaskThread::ScanSoundEvents},
    {sidActiveX, L"Invalid ActiveX", L"Scanning: Invalid ActiveX", L"ActiveX Issue", &TScanTaskThread::ScanActiveX},
    {sidInstaller, L"Installer", L"Scanning: Installer", L"Installer Refrence Issue", &TScanTaskThread::ScanInstaller},
    {sidOpenWithApps, L"Applications", nullptr, L"Open with Application Issue", &TScanTaskThread::ScanOpenWithApps},
    {sidEmptyUninstall, L"Uninstaller Entry", L"Scanning: Empty Uninstaller Entry", L"Empty Uninstall Entries",
     &TScanTaskThread::ScanEmptyUninstallEntries},
    {sidMruLists, L"MRU History Lists", L"Scanning: MRU and History Lists", L"Non-existent MRU and History Lists file",
     &TScanTaskThread::ScanMruLists},
    {sidEmptyRegistryKeys, L"Empty Registry Keys", L"Scanning: Empty Registry Keys", L"Empty Registry Keys",
     &TScanTaskThread::ScanEmptyRegistryKeys},
};

const TScanSection* FindScanSection(int id) {
  for (const auto& s : TScanTaskThread::Sections)
    if (s.Id == id) return &s;
  return nullptr;
}

}  // namespace registry
