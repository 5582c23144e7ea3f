// Published properties by name. Each class that publishes properties hands
// out a small table of them; the theme code sets "UIStyle" and "FileTheme"
// through it on any component, whatever its class.
#pragma once
#include <cstddef>
#include <string>
#include <utility>
#include <variant>

#include "skin/theme/FileThemeRef.h"
#include "skin/theme/UIStyle.h"

namespace skin {

class Component;

using PropertyValue = std::variant<TskUIStyle, TskFileTheme*>;

struct PublishedProperty {
  const char* Name;
  PropertyValue (*Get)(const Component&);
  void (*Set)(Component&, const PropertyValue&);
};

struct PropertyTable {
  const PublishedProperty* Items = nullptr;
  std::size_t Count = 0;
};

// Something with a name on a form and, maybe, published properties.
class Component {
 public:
  virtual ~Component() = default;
  const std::wstring& Name() const { return name_; }
  void SetName(std::wstring name) { name_ = std::move(name); }
  // The class's published properties; none unless the class publishes some.
  virtual PropertyTable PublishedProperties() const { return {}; }
  // True for the skinned form frame, whose style new controls take.
  virtual bool IsSkinFormFrame() const { return false; }

 private:
  std::wstring name_;
};

// Property names compare without regard to case.
bool HasPublishedProperty(const Component* Object, const char* Name);
// Throw std::runtime_error "Property <name> does not exist" for a property
// the class does not publish.
void SetPropertyByName(Component& Object, const char* Name, const PropertyValue& Value);
PropertyValue GetPropertyByName(const Component& Object, const char* Name);

// The table of a skinned class T with GetUIStyle/SetUIStyle and
// GetFileTheme/SetFileTheme: the two properties every skinned control has.
template <class T>
PropertyTable StyledProperties() {
  static const PublishedProperty table[] = {
      {"UIStyle", [](const Component& c) -> PropertyValue { return static_cast<const T&>(c).GetUIStyle(); },
       [](Component& c, const PropertyValue& v) { static_cast<T&>(c).SetUIStyle(std::get<TskUIStyle>(v)); }},
      {"FileTheme", [](const Component& c) -> PropertyValue { return static_cast<const T&>(c).GetFileTheme(); },
       [](Component& c, const PropertyValue& v) { static_cast<T&>(c).SetFileTheme(std::get<TskFileTheme*>(v)); }},
  };
  return {table, 2};
}

}  // namespace skin
