// The one list of clean items: the groups of the clean tree in their order,
// their leaves, and what each leaf's caption runs. The main window builds its
// tree from it and the cleaner's dispatch table is filled from it, so that no
// caption exists in one and not the other.
#pragma once
#include <string>
#include <vector>

#include "cleaner/ItemRoutines.h"
#include "cleaner/items/ItemServices.h"

namespace cleaner {

using CatalogueRoutine = void (*)(TClearTaskThread& t, const ItemServices& s);

enum class LeafHandler {
  Routine,      // a routine of its own (null while it is not built yet)
  KavoSection,  // the kavo.dat section named like the leaf
  CustomList,   // the section "<New List>" of Custom.dat
};

struct CleanLeaf {
  const wchar_t* text;
  int imageIndex;  // 2 to 8 and 10 to 18 in the first two groups, else 0
  LeafHandler handler;
  CatalogueRoutine routine;
};

struct CleanGroup {
  const wchar_t* text;
  int imageIndex;  // the group id (1 to 11) that the tree's expansion store keys by
  std::vector<CleanLeaf> leaves;  // Applications: none; the window adds kavo.dat sections
};

// The groups in tree order.
const std::vector<CleanGroup>& CleanItemCatalogue();

// Group text + " - " + leaf text, as the clean thread receives it.
std::wstring CleanItemCaption(const std::wstring& group, const std::wstring& leaf);

// Registers every built routine under its caption and the data-file item for
// the rest. Whatever `services` leaves empty gets the real implementation.
void RegisterCleanItems(ItemRoutineTable& table, ItemServices services = {});

}  // namespace cleaner
