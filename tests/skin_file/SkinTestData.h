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
// Buffers of a megabyte or more this program has been given so far: each
// picture a parse decodes or copies is one.
int LargeBuffers();

}  // namespace skintest
