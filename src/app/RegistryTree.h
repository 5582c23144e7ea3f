// The fixed nodes of the main window's registry tree.
#pragma once
#include <vector>

namespace app {

struct RegistryNode {
  const wchar_t* text;
  int id;     // registry section id, the node's image index
  int level;  // 0 "My Computers", 1 its children, 2 the hive nodes
};

// Nodes of the registry tree in tree order (ids 1 to 25).
const std::vector<RegistryNode>& RegistryTreeNodes();

}  // namespace app
