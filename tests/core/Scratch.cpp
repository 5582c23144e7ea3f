#include "Scratch.h"

#include <gtest/gtest.h>

namespace core_test {

namespace {

std::wstring NextName() {
  static int serial = 0;
  return std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
}

}  // namespace

ScratchFolder::ScratchFolder() : folder_(L"vantorel-core", NextName()) {
  path_ = folder_.Dir();
  if (!Exists(path_)) ADD_FAILURE() << "cannot create the scratch folder";
}

}  // namespace core_test
