// Which look a control shows: the style it starts with, the style it
// resolves at each change, and a container passing its style on.
#pragma once
#include <windows.h>

#include <cstddef>

#include "skin/theme/FileThemeRef.h"
#include "skin/theme/Published.h"
#include "skin/theme/UIStyle.h"

namespace ui {
class Window;
}

namespace skin {

// True when the control reads its file theme; false when it reads the
// built-in items of `Style`. FromThemeFile without a ready file theme falls
// back to DeepBlue. FileTheme needs `bool GetReady() const`.
template <class FileTheme>
bool ResolveFileTheme(const FileTheme* Theme, TskUIStyle UIStyle, TskUIStyle& Style) {
  Style = UIStyle;
  if (UIStyle != FromThemeFile) return false;
  if (Theme != nullptr && Theme->GetReady()) return true;
  Style = DeepBlue;
  return false;
}

inline bool ResolveFileTheme(std::nullptr_t, TskUIStyle UIStyle, TskUIStyle& Style) {
  Style = UIStyle == FromThemeFile ? DeepBlue : UIStyle;
  return false;
}

// The style a new control takes from its owner: that of the first direct
// child of the owner form that is a skinned form frame; DeepBlue when the
// owner is no form or has none.
TskUIStyle FindFormUIStyle(const ui::Window* Owner);

// Sets "FileTheme" and then "UIStyle" on every direct child of Parent, in
// window order, that publishes both; other children are left alone.
void ApplyUIStyleToChildren(HWND Parent, TskUIStyle UIStyle, TskFileTheme* FileTheme);

// The component of a window of ours; nullptr for any other window.
Component* ComponentOfWindow(HWND window);
// The component named `name` (case aside) among all windows inside `owner`.
Component* FindComponent(HWND owner, const std::wstring& name);

}  // namespace skin
