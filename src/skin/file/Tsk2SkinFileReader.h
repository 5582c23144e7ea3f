// Reads the items of a skin file: extracts SKINDATA.SK2 to a temporary file,
// reads its record chain and answers look-ups by key.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

#include "skin/file/SkinRecords.h"

namespace skin {

// A skin file that cannot be read; the message says why.
class SkinFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Tsk2SkinFileReader {
 public:
  // Loads at once; raises SkinFileError for an unreadable skin file. A
  // missing or wrong password leaves the reader not loaded without an error.
  Tsk2SkinFileReader(const std::wstring& FileName, const std::wstring& Password);
  Tsk2SkinFileReader(const Tsk2SkinFileReader&) = delete;
  Tsk2SkinFileReader& operator=(const Tsk2SkinFileReader&) = delete;

  void LoadFromFile(const std::wstring& FileName, const std::wstring& Password);

  // The bitmap stays owned by the reader; nullptr when the skin lacks it.
  const SkinImage* GetBitmap(const std::string& Key) const { return Items.FindBitmap(Key); }
  // -1 when the skin lacks the key (as a stored -1 does).
  int GetInteger(const std::string& Key) const { return Items.FindInteger(Key); }
  // 0 when the skin lacks the key; callers take any other value as true.
  std::uint8_t GetBool(const std::string& Key) const { return Items.FindByte(Key); }

  bool Loaded = false;
  SkinData Items;
};

}  // namespace skin
