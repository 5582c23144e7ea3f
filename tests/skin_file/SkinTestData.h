// The checked-in test archives and streams (written by make_test_data.py)
// and the writer of hand-made streams and skin data.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "DeflateWriter.h"

namespace skintest {

std::wstring DataPath(const std::string& name);  // Windows path of data/<name>
Bytes ReadData(const std::string& name);
std::wstring FuzzPath(const std::string& folder);  // Windows path of tests/fuzz/<folder>
Bytes ReadFileBytes(const std::wstring& path);

}  // namespace skintest
