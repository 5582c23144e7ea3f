// The two calls of the defragmentation that reach beyond the program: having
// a hive swapped for its copy at the next start, and restarting Windows.
// Tests substitute a recorder; nothing in a test may restart the machine.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "core/RegistryRead.h"

namespace registry {

class IDefragPlatform {
 public:
  virtual ~IDefragPlatform() = default;
  // RegReplaceKey on the hive's root key (opened in the view the hive needs);
  // ERROR_SUCCESS when the swap is scheduled.
  virtual LONG ReplaceKey(const core::HiveTarget& hive, const std::wstring& newFile, const std::wstring& oldFile) = 0;
  // Asks Windows to restart; other programs are asked to close, not forced.
  virtual bool RestartWindows() = 0;
};

std::shared_ptr<IDefragPlatform> RealDefragPlatform();

// Enables SeShutdownPrivilege in the process token.
bool EnableShutdownPrivilege();

}  // namespace registry
