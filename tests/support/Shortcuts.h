// Shell shortcuts (.lnk files) for tests that list, check or delete them.
#pragma once
#include <string>

namespace testing_support {

// Saves a shortcut `link` that points at `target`, as the shell makes one.
// The calling thread's COM is initialised (and left so) on first use.
bool MakeShellLink(const std::wstring& link, const std::wstring& target);

}  // namespace testing_support
