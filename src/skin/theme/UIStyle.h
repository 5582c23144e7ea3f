// The look a skinned control takes: one of the built-in themes, or the skin
// file named by its FileTheme.
#pragma once
#include <cstdint>

namespace skin {

enum TskUIStyle : std::uint8_t {
  FromThemeFile = 0,  // the control's FileTheme; DeepBlue while it has none ready
  MacOS = 1,
  WinXP = 2,
  DeepBlue = 3,  // the default and the fall-back
  Protein = 4,
  BlueGlass = 5,
};

}  // namespace skin
