// The current user's Run value that starts the program with Windows.
#pragma once
#include <string>

namespace app {

// Whether the value "Vantorel" of the current user's Run key starts the program.
bool ReadAutoStart();
// Writes the value (the quoted program path + " /Auto") or removes it. False
// with a message in *error when the key cannot be changed.
bool WriteAutoStart(bool on, const std::wstring& programPath, std::wstring* error);

}  // namespace app
