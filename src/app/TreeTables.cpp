#include "app/TreeTables.h"

namespace app {

const std::vector<CleanGroupNode>& CleanTreeGroups() {
  static const std::vector<CleanGroupNode> groups = {
      {L"Internet Explorer", 1,
       {L"Recently Typed URLs", L"Cookies", L"Visited URL History", L"Last Download Location",
        L"Temporary Internet Files", L"Index.dat Files", L"Autocomplete History"}},
      {L"Windows", 2,
       {L"Recent Documents", L"Start Run", L"Search Assistant", L"Empty Recycle Bin", L"Temporary Files", L"Clipboard",
        L"Memory Dumps", L"Chkdsk File Fragments", L"Windows Log Files"}},
      {L"Edge", 3,
       {L"Recently Typed URLs", L"Cookies", L"Visited URL History", L"Temporary Internet Files", L"Sessions",
        L"Download History", L"Saved Form Information", L"Saved Passwords"}},
      {L"Opera", 4,
       {L"Recently Typed URLs", L"Cookies", L"Visited URL History", L"Temporary Internet Files",
        L"Autocomplete History", L"Transfers"}},
      {L"Mozilla Firefox", 5,
       {L"Cookies", L"Visited URL History", L"Download Manager", L"Temporary Internet Files", L"Autocomplete History",
        L"Preferences", L"Saved Form Information", L"Session"}},
      {L"Google Chrome", 11,
       {L"Temporary Internet Files", L"Cookies", L"Visited URL History", L"Session", L"Stored passwords in Forms",
        L"Saved Form Information", L"Download History", L"Local Storage"}},
      {L"Advanced", 6,
       {L"Open File History", L"Menu Order Cache", L"Tray Notifications Cache", L"User Assist History", L"Paint",
        L"Google Toolbar History", L"MSN Toolbar History", L"Yahoo! Toolbar History"}},
      {L"Microsoft Office", 7,
       {L"Access", L"Excel", L"FrontPage", L"Powerpoint", L"Word", L"Visio", L"InfoPath", L"Publisher",
        L"Recent Files"}},
      {L"Instant Messengers", 8,
       {L"MSN Messenger", L"Yahoo! Messenger", L"ICQ", L"AOL Instant Messenger", L"Skype"}},
      {L"Applications", 9, {}},
      {L"Custom Lists", 10, {L"<New List>"}},
  };
  return groups;
}

const std::vector<RegistryNode>& RegistryTreeNodes() {
  static const std::vector<RegistryNode> nodes = {
      {L"My Computers", 1, 0},        {L"Files and Folders", 2, 1},   {L"HKEY_CLASSES_ROOT", 3, 2},
      {L"HKEY_CURRENT_USER", 4, 2},   {L"HKEY_LOCAL_MACHINE", 5, 2},  {L"HKEY_USERS", 6, 2},
      {L"Shared DLLs", 7, 1},         {L"Software Locations", 8, 1},  {L"Start Menu Section", 9, 1},
      {L"Obsolete Software", 10, 1},  {L"File Extensions", 11, 1},    {L"Fonts Section", 12, 1},
      {L"Help File Paths", 13, 1},    {L"Startup Programs", 14, 1},   {L"Add/Remove Programs", 15, 1},
      {L"Custom Controls", 16, 1},    {L"Windows Services", 17, 1},   {L"Shortcuts", 18, 1},
      {L"Sound and Appevents", 19, 1}, {L"Invalid ActiveX", 20, 1},   {L"Installer", 21, 1},
      {L"Applications", 22, 1},       {L"Uninstaller Entry", 23, 1},  {L"MRU History Lists", 24, 1},
      {L"Empty Registry Keys", 25, 1},
  };
  return nodes;
}

}  // namespace app
