// The Microsoft Office items: per application, the recent-file masks of the
// shared Office Recent folder and the registry lists of each Office version.
#pragma once
#include <string>
#include <vector>

#include "cleaner/items/ItemSteps.h"

namespace cleaner {

// One registry step below "Software\Microsoft\Office\<v>.0", for every v
// from `from` to `to`.
struct OfficeVersionedStep {
  bool value;          // delete the value `name`, else the key
  const wchar_t* key;  // appended to "...\Office\<v>.0"
  const wchar_t* name;
};

struct OfficeRange {
  int from;
  int to;
  std::vector<OfficeVersionedStep> steps;  // in this order for each version
};

struct OfficeItem {
  const wchar_t* leaf;  // the leaf text of the group "Microsoft Office"
  bool needsAppData;    // nothing at all without the roaming application-data folder
  std::vector<const wchar_t*> masks;       // in AppData\Microsoft\Office\Recent
  std::vector<OfficeRange> ranges;         // in this order
  std::vector<const wchar_t*> fixedKeys;   // keys outside the versioned tree
};

const std::vector<OfficeItem>& OfficeItems();
// Null for a leaf the table does not hold.
const OfficeItem* FindOfficeItem(const std::wstring& leaf);

// What the item removes, in order: the mask steps, then the registry steps.
std::vector<ItemStep> OfficeItemSteps(const OfficeItem& item);

}  // namespace cleaner
