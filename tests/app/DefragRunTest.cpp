// "/Regscan" and "/Regdefrag" from the command line: the real program over a
// seeded hive list ends by itself, asks nothing and restarts nothing; its log
// beside options.ini and its exit code say what happened.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

#include "AppTestSupport.h"
#include "registry/defrag/ScanDefragTaskThread.h"
#include "registry_defrag/DefragTestSupport.h"
#include "support/Folders.h"
#include "support/TestSupport.h"

using namespace testing_support;
using app_test::ExpectLogSays;
using app_test::RunToItsEnd;

namespace {

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

std::wstring IniText(const std::wstring& file, const wchar_t* key) {
  wchar_t buf[256] = {};
  ::GetPrivateProfileStringW(L"Scan Result", key, L"<none>", buf, 256, file.c_str());
  return buf;
}

}  // namespace
