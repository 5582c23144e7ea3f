// The one entry point that drives every parser of a skin file with
// untrusted bytes; shared by the native fuzzer and the corpus replay test.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// What failed of the checks the parsers' results must pass, or nothing.
std::string FuzzSkinFile(const std::uint8_t* data, std::size_t size);
