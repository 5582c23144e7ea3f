// What the Options dialog decides without a window: the private copy of the
// options record, the key-capture text, the schedule lines, the Run value and
// the rule of the ignore-list entry.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/Options.h"

namespace app {

// A full copy of the options record that owns its own ignore lists, so that
// editing it never reaches the live record or its lists.
class TOptionsCopy {
 public:
  TOptionsCopy();
  TOptionsCopy(const TOptionsCopy&) = delete;
  TOptionsCopy& operator=(const TOptionsCopy&) = delete;

  // copy := live, lists included.
  void CopyFrom(const core::TOptionsSetting& live);
  // live := copy; the live record keeps its own list objects, whose contents
  // and counts are replaced (a null live list stays null).
  void CopyTo(core::TOptionsSetting& live) const;

  core::TOptionsSetting& Record() { return rec_; }
  const core::TOptionsSetting& Record() const { return rec_; }
  std::vector<std::wstring>& IgnoreValues() { return values_; }
  std::vector<std::wstring>& IgnoreKeys() { return keys_; }
  // Sets the lists and their counts together.
  void SetIgnoreLists(std::vector<std::wstring> values, std::vector<std::wstring> keys);

 private:
  core::TOptionsSetting rec_;
  std::vector<std::wstring> values_, keys_;
};

// The result of one key press in the hot-key edit.
struct TKeyCapture {
  std::wstring Text;       // what the edit shows
  std::wstring Name;       // the key's name, stored as CharString
  std::uint16_t Code = 0;  // stored as CharAscII; 0 for a lone modifier or no key
};

// The key's name, or false for a key the hot key cannot use.
bool CaptureKeyName(UINT key, std::wstring* name);
// Held modifiers as "Ctrl  ", "Shift  ", "Alt  ", then the key's name; a key
// outside the table empties everything.
TKeyCapture CaptureKey(UINT key, bool ctrl, bool shift, bool alt);
// The modifiers the edit's text names (case counts).
void ModifiersFromText(const std::wstring& text, core::TShortcut* hotkey);
// The hot-key edit's text for a stored key.
std::wstring HotkeyText(const core::TShortcut& hotkey);

// The lines of the "Time Intervals" group, in CleanInterval order.
const std::vector<std::wstring>& ScheduleCaptions();

// The current user's Run key and the value that starts the program.
extern const wchar_t kRunKey[];
extern const wchar_t kRunValueName[];
// The quoted program path followed by " /Auto".
std::wstring RunValueText(const std::wstring& programPath);
// Whether a Run value starts the program (it carries "/Auto").
bool IsAutoStartValue(const std::wstring& value);

// An ignore-list entry is accepted once it names a registry root ("HKEY_",
// any case).
bool IsIgnoreEntryAcceptable(const std::wstring& text);

// Whether `folder` and `other` name the same folder (case and one trailing
// backslash ignored).
bool SameFolder(const std::wstring& folder, const std::wstring& other);

}  // namespace app
