#include "skin/theme/ThemeManager.h"

#include <algorithm>

#include "skin/theme/StyleResolve.h"
#include "ui/Form.h"

namespace skin {

TskThemeManager::TskThemeManager(ui::Form* Owner) : Owner_(Owner) { SetUIStyle(DeepBlue); }

TskThemeManager::~TskThemeManager() {
  if (FileTheme_ != nullptr) FileTheme_->RemoveUser(this);
}

void TskThemeManager::SetUIStyle(TskUIStyle Value) {
  bool changed = Value != UIStyle_;
  UIStyle_ = Value;
  ApplyToCompList();
  if (changed && OnUIStyleChanged) OnUIStyleChanged(*this);
}

void TskThemeManager::SetFileTheme(TskFileTheme* Value) {
  if (FileTheme_ != Value && FileTheme_ != nullptr) FileTheme_->RemoveUser(this);
  FileTheme_ = Value;
  if (FileTheme_ != nullptr) FileTheme_->AddUser(this);
  SetUIStyle(UIStyle_);
}

void TskThemeManager::ApplyToCompList() {
  if (Owner_ == nullptr || Owner_->Handle() == nullptr) return;
  for (const std::wstring& name : CompList_) {
    Component* c = FindComponent(Owner_->Handle(), name);
    // A listed component without the two properties is passed over rather
    // than raising an error out of the setter.
    if (c == nullptr || c == this || !HasPublishedProperty(c, "UIStyle") || !HasPublishedProperty(c, "FileTheme"))
      continue;
    SetPropertyByName(*c, "UIStyle", UIStyle_);
    SetPropertyByName(*c, "FileTheme", FileTheme_);
  }
}

void TskThemeManager::Notification(const Component& AComponent, TOperation Operation) {
  if (Operation != opRemove || &AComponent == this) return;
  auto same = [&](const std::wstring& name) { return ::_wcsicmp(name.c_str(), AComponent.Name().c_str()) == 0; };
  auto it = std::find_if(CompList_.begin(), CompList_.end(), same);
  if (it != CompList_.end()) CompList_.erase(it);
}

void TskThemeManager::Notification(const TskFileTheme* AFileTheme, TOperation Operation) {
  if (Operation != opRemove || AFileTheme == nullptr || AFileTheme != FileTheme_) return;
  FileTheme_->RemoveUser(this);
  FileTheme_ = nullptr;
  UIStyle_ = DeepBlue;
}

}  // namespace skin
