// Opening a key (and a value) in the registry editor.
#pragma once
#include <string>

namespace app {

class IRegeditNavigator {
 public:
  virtual ~IRegeditNavigator() = default;
  // Shows `root\key` and selects `value` when given.
  virtual void Navigate(const std::wstring& root, const std::wstring& key, const std::wstring& value) = 0;
};

// Drives the registry editor to `root\key` and selects `value` when given.
void NavigateRegedit(const std::wstring& root, const std::wstring& key, const std::wstring& value);

class RegeditDriver : public IRegeditNavigator {
 public:
  void Navigate(const std::wstring& root, const std::wstring& key, const std::wstring& value) override {
    NavigateRegedit(root, key, value);
  }
};

}  // namespace app
