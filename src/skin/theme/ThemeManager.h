// Sets UIStyle and FileTheme on a list of named components of its form.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "skin/file/FileTheme.h"
#include "skin/theme/Published.h"
#include "skin/theme/UIStyle.h"

namespace ui {
class Form;
}

namespace skin {

using TskThemeMgrCompList = std::vector<std::wstring>;

enum TOperation { opInsert, opRemove };

// Registered with its file theme, so that the theme's going away reaches it.
class TskThemeManager : public Component, public TskFileThemeUser {
 public:
  // `Owner` is the form whose components the list names; may be null.
  explicit TskThemeManager(ui::Form* Owner);
  ~TskThemeManager() override;
  TskThemeManager(const TskThemeManager&) = delete;
  TskThemeManager& operator=(const TskThemeManager&) = delete;

  TskUIStyle GetUIStyle() const { return UIStyle_; }
  // Applies the style to the listed components; fires OnUIStyleChanged only
  // when the style changed.
  void SetUIStyle(TskUIStyle Value);
  TskFileTheme* GetFileTheme() const override { return FileTheme_; }
  // Stores the reference and applies the style again.
  void SetFileTheme(TskFileTheme* Value) override;
  // Called by the theme as it is destroyed.
  void FileThemeRemoved() override { Notification(FileTheme_, opRemove); }
  const TskThemeMgrCompList& GetCompList() const { return CompList_; }
  void SetCompList(const TskThemeMgrCompList& Value) { CompList_ = Value; }

  std::function<void(TskThemeManager& Sender)> OnUIStyleChanged;

  // Sets "UIStyle" and then "FileTheme" on each listed component of the owner
  // form that publishes both; names with no such component are passed over.
  void ApplyToCompList();

  // A component going away: its name leaves the list.
  void Notification(const Component& AComponent, TOperation Operation);
  // The file theme going away: the reference clears and the stored style
  // returns to DeepBlue, without applying anything.
  void Notification(const TskFileTheme* AFileTheme, TOperation Operation);

  PropertyTable PublishedProperties() const override { return StyledProperties<TskThemeManager>(); }

 private:
  ui::Form* Owner_;
  TskUIStyle UIStyle_ = DeepBlue;
  TskFileTheme* FileTheme_ = nullptr;
  TskThemeMgrCompList CompList_;
};

}  // namespace skin
