// The two errors core helpers raise rather than report through their result.
#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>

namespace core {

// A file that could not be opened or read; Code() is the Win32 error.
class InOutError : public std::runtime_error {
 public:
  explicit InOutError(DWORD code);
  DWORD Code() const { return code_; }

 private:
  DWORD code_;
};

// A COM object or interface that could not be obtained.
class ComError : public std::runtime_error {
 public:
  explicit ComError(HRESULT result);
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace core
