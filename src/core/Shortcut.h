// The boss hot key as the options store it and the Options dialog shows it.
#pragma once
#include <cstdint>
#include <string>

namespace core {

struct TShortcut {
  bool IsCtrl = true;
  bool IsShift = false;
  bool IsAlt = false;
  std::wstring CharString = L"F5";  // the key's name as shown to the user
  std::uint16_t CharAscII = 116;    // its virtual-key code (VK_F5)
};

}  // namespace core
