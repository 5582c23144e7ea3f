// Keeps a control registered with the file theme it shows, so that a new
// skin loaded into the theme reaches it. The theme must outlive its users.
#pragma once
#include "skin/file/FileTheme.h"

namespace skin {

inline void RelinkFileTheme(TskFileThemeUser* User, TskFileTheme*& Slot, TskFileTheme* Value) {
  if (Slot == Value) return;
  if (Slot != nullptr) Slot->RemoveUser(User);
  Slot = Value;
  if (Slot != nullptr) Slot->AddUser(User);
}

}  // namespace skin
