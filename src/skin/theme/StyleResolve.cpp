#include "skin/theme/StyleResolve.h"

#include "ui/Control.h"
#include "ui/Form.h"

namespace skin {

namespace {

struct NameSearch {
  const std::wstring* name;
  Component* found;
};

BOOL CALLBACK MatchName(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<NameSearch*>(param);
  Component* c = ComponentOfWindow(window);
  if (c != nullptr && ::_wcsicmp(c->Name().c_str(), search->name->c_str()) == 0) {
    search->found = c;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

Component* ComponentOfWindow(HWND window) {
  return dynamic_cast<Component*>(ui::Control::FromHandle(window));
}

Component* FindComponent(HWND owner, const std::wstring& name) {
  if (owner == nullptr || name.empty()) return nullptr;
  NameSearch search{&name, nullptr};
  ::EnumChildWindows(owner, &MatchName, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TskUIStyle FindFormUIStyle(const ui::Window* Owner) {
  const auto* form = dynamic_cast<const ui::Form*>(Owner);
  if (form == nullptr || form->Handle() == nullptr) return DeepBlue;
  for (HWND child = ::GetWindow(form->Handle(), GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const Component* c = ComponentOfWindow(child);
    if (c != nullptr && c->IsSkinFormFrame() && HasPublishedProperty(c, "UIStyle"))
      return std::get<TskUIStyle>(GetPropertyByName(*c, "UIStyle"));
  }
  return DeepBlue;
}

void ApplyUIStyleToChildren(HWND Parent, TskUIStyle UIStyle, TskFileTheme* FileTheme) {
  if (Parent == nullptr) return;
  for (HWND child = ::GetWindow(Parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    Component* c = ComponentOfWindow(child);
    if (!HasPublishedProperty(c, "FileTheme") || !HasPublishedProperty(c, "UIStyle")) continue;
    SetPropertyByName(*c, "FileTheme", FileTheme);
    SetPropertyByName(*c, "UIStyle", UIStyle);
  }
}

}  // namespace skin
