// The records of a skin's data entry (SKINDATA.SK2) and the keys of its items.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "skin/file/SkinBitmap.h"

namespace skin {

constexpr int kSkinItemKeyCount = 84;
// Where each kind of item starts in SkinItemKeys, and how many there are.
constexpr int kSkinColorKeys = 0, kSkinColorCount = 32;
constexpr int kSkinBitmapKeys = 32, kSkinBitmapCount = 34;
constexpr int kSkinIntegerKeys = 66, kSkinIntegerCount = 9;
constexpr int kSkinFlagKeys = 75, kSkinFlagCount = 9;
extern const char* const SkinItemKeys[kSkinItemKeyCount];

// The items of one skin, in chain order; lookups ignore ASCII case and find
// the first record of a name.
struct SkinData {
  std::vector<std::pair<std::string, SkinImage>> Bitmaps;
  std::vector<std::pair<std::string, std::int32_t>> Integers;
  std::vector<std::pair<std::string, std::uint8_t>> Bytes;
  std::vector<std::pair<std::string, std::string>> Strings;

  const SkinImage* FindBitmap(const std::string& key) const;
  // -1 when the skin lacks the key.
  std::int32_t FindInteger(const std::string& key) const;
  // 0 when the skin lacks the key.
  std::uint8_t FindByte(const std::string& key) const;
};

// Reads the whole record chain. False, with `error` set, for a header that is
// not 24 bytes, offsets or sizes past the end, a chain that loops, more than
// 4096 records, items too large in total, or a broken bitmap; integer and
// byte records of the wrong size, unknown record types and pictures in a form
// we do not decode are passed over. Records that point at the same place
// share one decoding of the picture there; each keeps its own copy.
bool ParseSkinData(const std::uint8_t* data, std::size_t size, SkinData& skin, std::string& error);

}  // namespace skin
