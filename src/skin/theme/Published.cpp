#include "skin/theme/Published.h"

#include <cstring>
#include <stdexcept>

namespace skin {

namespace {

const PublishedProperty* FindProperty(const Component& object, const char* name) {
  PropertyTable table = object.PublishedProperties();
  for (std::size_t i = 0; i < table.Count; ++i)
    if (::_stricmp(table.Items[i].Name, name) == 0) return &table.Items[i];
  return nullptr;
}

const PublishedProperty& RequireProperty(const Component& object, const char* name) {
  const PublishedProperty* property = FindProperty(object, name);
  if (property == nullptr) throw std::runtime_error(std::string("Property ") + name + " does not exist");
  return *property;
}

}  // namespace

bool HasPublishedProperty(const Component* Object, const char* Name) {
  return Object != nullptr && Name != nullptr && FindProperty(*Object, Name) != nullptr;
}

void SetPropertyByName(Component& Object, const char* Name, const PropertyValue& Value) {
  RequireProperty(Object, Name).Set(Object, Value);
}

PropertyValue GetPropertyByName(const Component& Object, const char* Name) {
  return RequireProperty(Object, Name).Get(Object);
}

}  // namespace skin
