#include "app/options/OptionsModel.h"

#include <cwctype>

#include "core/Text.h"

namespace app {
namespace {

struct NamedKey {
  UINT code;
  const wchar_t* name;
};

const NamedKey kNamedKeys[] = {
    {8, L"BackSpace"}, {9, L"Tab"},        {12, L"Clear"},       {13, L"Enter"},     {16, L""},
    {17, L""},         {18, L""},          {19, L"Pause"},       {20, L"CapsLock"},  {27, L"Esc"},
    {32, L"Space"},    {33, L"PageUp"},    {34, L"PageDown"},    {35, L"End"},       {36, L"Home"},
    {37, L"LeftArrow"}, {38, L"UpArrow"},  {39, L"RightArrow"},  {40, L"DownArrow"}, {44, L"PrintScreen"},
    {45, L"Ins"},      {46, L"Del"},       {47, L"Help"},        {106, L"*"},        {107, L"+"},
    {108, L"Separator"}, {109, L"-"},      {110, L"."},          {111, L"/"},        {144, L"Numlock"},
    {145, L"Scroll"},
};

bool IsLoneModifier(UINT key) { return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU; }

std::wstring Upper(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(std::towupper(c));
  return s;
}

std::wstring WithoutTrailingBackslash(std::wstring s) {
  if (!s.empty() && s.back() == L'\\') s.pop_back();
  return s;
}

}  // namespace

TOptionsCopy::TOptionsCopy() {
  rec_.IgnoreValueList = &values_;
  rec_.IgnoreKeyList = &keys_;
}

void TOptionsCopy::CopyFrom(const core::TOptionsSetting& live) {
  rec_ = live;
  rec_.IgnoreValueList = &values_;
  rec_.IgnoreKeyList = &keys_;
  SetIgnoreLists(live.IgnoreValueList ? *live.IgnoreValueList : std::vector<std::wstring>{},
                 live.IgnoreKeyList ? *live.IgnoreKeyList : std::vector<std::wstring>{});
}

void TOptionsCopy::CopyTo(core::TOptionsSetting& live) const {
  std::vector<std::wstring>* liveValues = live.IgnoreValueList;
  std::vector<std::wstring>* liveKeys = live.IgnoreKeyList;
  live = rec_;
  live.IgnoreValueList = liveValues;
  live.IgnoreKeyList = liveKeys;
  if (liveValues != nullptr) *liveValues = values_;
  if (liveKeys != nullptr) *liveKeys = keys_;
  live.IgnoreValueCount = liveValues != nullptr ? static_cast<int>(liveValues->size()) : 0;
  live.IgnoreKeyCount = liveKeys != nullptr ? static_cast<int>(liveKeys->size()) : 0;
}

void TOptionsCopy::SetIgnoreLists(std::vector<std::wstring> values, std::vector<std::wstring> keys) {
  values_ = std::move(values);
  keys_ = std::move(keys);
  rec_.IgnoreValueCount = static_cast<int>(values_.size());
  rec_.IgnoreKeyCount = static_cast<int>(keys_.size());
}

bool CaptureKeyName(UINT key, std::wstring* name) {
  if (key >= 48 && key <= 90) {
    *name = std::wstring(1, static_cast<wchar_t>(key));
    return true;
  }
  if (key >= 96 && key <= 105) {
    *name = L"Num " + std::wstring(1, static_cast<wchar_t>(key - 48));
    return true;
  }
  if (key >= 112 && key <= 135) {
    *name = L"F" + std::to_wstring(key - 111);
    return true;
  }
  for (const NamedKey& k : kNamedKeys) {
    if (k.code != key) continue;
    *name = k.name;
    return true;
  }
  return false;
}

TKeyCapture CaptureKey(UINT key, bool ctrl, bool shift, bool alt) {
  TKeyCapture capture;
  if (!CaptureKeyName(key, &capture.Name)) return capture;
  if (ctrl) capture.Text += L"Ctrl  ";
  if (shift) capture.Text += L"Shift  ";
  if (alt) capture.Text += L"Alt  ";
  capture.Text += capture.Name;
  capture.Code = IsLoneModifier(key) ? 0 : static_cast<std::uint16_t>(key);
  return capture;
}

void ModifiersFromText(const std::wstring& text, core::TShortcut* hotkey) {
  hotkey->IsCtrl = text.find(L"Ctrl") != std::wstring::npos;
  hotkey->IsShift = text.find(L"Shift") != std::wstring::npos;
  hotkey->IsAlt = text.find(L"Alt") != std::wstring::npos;
}

std::wstring HotkeyText(const core::TShortcut& hotkey) { return core::ShortcutToText(hotkey, true); }

const std::vector<std::wstring>& ScheduleCaptions() {
  static const std::vector<std::wstring> captions = {L"Every 15 minutes", L"Every 30 minutes", L"Every hour",
                                                     L"Every 4 hours", L"Every 8 hours"};
  return captions;
}

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunValueName[] = L"Vantorel";

std::wstring RunValueText(const std::wstring& programPath) { return L"\"" + programPath + L"\" /Auto"; }

bool IsAutoStartValue(const std::wstring& value) { return value.find(L"/Auto") != std::wstring::npos; }

bool IsIgnoreEntryAcceptable(const std::wstring& text) { return Upper(text).find(L"HKEY_") != std::wstring::npos; }

bool SameFolder(const std::wstring& folder, const std::wstring& other) {
  return !folder.empty() && Upper(WithoutTrailingBackslash(folder)) == Upper(WithoutTrailingBackslash(other));
}

}  // namespace app
