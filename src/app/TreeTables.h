// The fixed nodes of the main window's two check trees.
#pragma once
#include <vector>

namespace app {

struct CleanGroupNode {
  const wchar_t* text;
  int imageIndex;  // the group id that the expansion store keys by
  std::vector<const wchar_t*> leaves;
};

// Groups of the clean tree in their order, with their leaves.
const std::vector<CleanGroupNode>& CleanTreeGroups();

struct RegistryNode {
  const wchar_t* text;
  int id;     // registry section id, the node's image index
  int level;  // 0 "My Computers", 1 its children, 2 the hive nodes
};

// Nodes of the registry tree in tree order (ids 1 to 25).
const std::vector<RegistryNode>& RegistryTreeNodes();

}  // namespace app
