#include "app/RegistryTree.h"

namespace app {

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
