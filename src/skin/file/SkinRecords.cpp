#include "skin/file/SkinRecords.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "skin/file/ByteStream.h"

namespace skin {

const char* const SkinItemKeys[kSkinItemKeyCount] = {
    // colours
    "SKIN2_TRANSCOLOR", "SKIN2_TITLEFONTCOLOR", "SKIN2_FORMCOLOR", "SKIN2_MENUBARSTARTCOLOR",
    "SKIN2_MENUBARENDCOLOR", "SKIN2_TOPSELECTEDMENUCOLOR", "SKIN2_TOPSELECTEDMENUBORDERCOLOR",
    "SKIN2_TOPSELECTEDMENUFONTCOLOR", "SKIN2_TOPMENUFONTCOLOR", "SKIN2_LEFTBARSTARTCOLOR", "SKIN2_LEFTBARENDCOLOR",
    "SKIN2_MENUITEMCOLOR", "SKIN2_MENUITEMFONTCOLOR", "SKIN2_SELECTEDMENUCOLOR", "SKIN2_SELECTEDMENUBORDERCOLOR",
    "SKIN2_SELECTEDMENUFONTCOLOR", "SKIN2_TOOLBARSTARTCOLOR", "SKIN2_TOOLBARENDCOLOR", "SKIN2_TOOLBARONCOLOR",
    "SKIN2_TOOLBARBORDERCOLOR", "SKIN2_TOOLBARDOWNCOLOR", "SKIN2_CONTROLCOLOR", "SKIN2_CONTROLBORDERCOLOR",
    "SKIN2_CONTROLFONTCOLOR", "SKIN2_BUTTONFONTCOLOR", "SKIN2_SCROLLBARCOLOR", "SKIN2_TABCONTROLCOLOR",
    "SKIN2_TABCONTROLBORDERCOLOR", "SKIN2_TABCONTROLACTIVEFONTCOLOR", "SKIN2_TABCONTROLINACTIVEFONTCOLOR",
    "SKIN2_SIDECHANNELCOLOR", "SKIN2_SIDECHANNELBORDERCOLOR",
    // bitmaps
    "SKIN2_TITLEBAR1", "SKIN2_TITLEBAR2", "SKIN2_TITLEBAR3", "SKIN2_TITLEBAR4", "SKIN2_TITLEBAR5",
    "SKIN2_FORMLEFTBORDER", "SKIN2_FORMRIGHTBORDER", "SKIN2_FORMBOTTOMBORDER1", "SKIN2_FORMBOTTOMBORDER2",
    "SKIN2_FORMBOTTOMBORDER3", "SKIN2_MINIMIZEDTITLE", "SKIN2_TITLEBUTTONS", "SKIN2_CHECKEDMENUICON",
    "SKIN2_MENUBAR", "SKIN2_TOOLBAR", "SKIN2_BUTTON", "SKIN2_CHECKBOX", "SKIN2_CHECKBOXLIST", "SKIN2_RADIOBUTTON",
    "SKIN2_PROGRESSBAR1", "SKIN2_PROGRESSBAR2", "SKIN2_PROGRESSBAR3", "SKIN2_PROGRESSBAR4", "SKIN2_TRACKBAR",
    "SKIN2_TRACKBARSLIDER", "SKIN2_TRACKBARVSLIDER", "SKIN2_SCROLLBARUPBUTTON", "SKIN2_SCROLLBAR",
    "SKIN2_SCROLLBARDOWNBUTTON", "SKIN2_TABCONTROL", "SKIN2_TABCONTROLLINE", "SKIN2_SIDECHANNELBAR",
    "SKIN2_SIDECHANNELTITLE", "SKIN2_SCROLLBUTTON",
    // integers
    "SKIN2_TITLEBARICONPOSX", "SKIN2_TITLEBARICONPOSY", "SKIN2_TITLEBARCAPTIONTOP", "SKIN2_TITLEBARBUTTONPOSX",
    "SKIN2_TITLEBARBUTTONPOSY", "SKIN2_TITLEBARREGIONMINY", "SKIN2_TITLEBARREGIONMAXY", "SKIN2_BOTTOMREGIONMINY",
    "SKIN2_BOTTOMREGIONMAXY",
    // flags
    "SKIN2_TITLEFIVESECT", "SKIN2_BOTTOMBORDERTHREESECT", "SKIN2_TITLEBARNEEDREGION", "SKIN2_BOTTOMBORDERNEEDREGION",
    "SKIN2_TITLEBTNTRANS", "SKIN2_BUTTONTRANS", "SKIN2_CHECKBOXTRANS", "SKIN2_RADIOBUTTONTRANS",
    "SKIN2_TABCONTROLTRANS"};

namespace {

constexpr std::uint32_t kHeaderLength = 24;
constexpr std::size_t kRecordSize = 77, kNameSize = 64;
// Records may share their data, so a small file could ask for many copies of
// one large picture or text: what all records keep together, with each
// record's own bytes, is capped. Pictures at different places may overlap:
// together they are read from no more bytes than the data holds.
constexpr std::uint64_t kMaxKeptBytes = 64u * 1024u * 1024u;
// A skin has some 84 items; each record costs a name and a look-up entry, so
// a long chain of tiny records is refused before it costs more than its bytes.
constexpr std::size_t kMaxRecords = 4096;
enum RecordType : std::uint8_t { kBitmap = 0, kInteger = 1, kByte = 2, kText = 3 };

struct SkinRecord {
  std::string name;
  std::uint8_t type = 0;
  std::uint32_t dataOffset = 0, dataSize = 0, next = 0;
};

bool SameKey(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    if (up(a[i]) != up(b[i])) return false;
  }
  return true;
}

template <typename T>
const T* Find(const std::vector<std::pair<std::string, T>>& list, const std::string& key) {
  for (const auto& line : list) {
    if (SameKey(line.first, key)) return &line.second;
  }
  return nullptr;
}

bool Fail(std::string& error, const std::string& text) {
  error = text;
  return false;
}

bool ReadRecord(const std::uint8_t* data, std::size_t size, std::uint32_t at, SkinRecord& r) {
  if (at > size || size - at < kRecordSize) return false;
  const std::uint8_t* p = data + at;
  const void* zero = std::memchr(p, 0, kNameSize);
  r.name.assign(reinterpret_cast<const char*>(p), zero ? static_cast<const std::uint8_t*>(zero) - p : kNameSize);
  r.type = p[64];
  r.dataOffset = GetU32(p + 65);
  r.dataSize = GetU32(p + 69);
  r.next = GetU32(p + 73);
  return true;
}

// One load of a skin's records. A picture is decoded once, at the first
// record that points at its place in the data; later records take a copy.
struct Loading {
  const std::uint8_t* data;
  SkinData& skin;
  std::string& error;
  std::uint64_t kept = 0;
  std::uint64_t unread;  // bytes the pictures not yet decoded may still read
  std::unordered_map<std::uint64_t, std::size_t> pictures;  // place: index in skin.Bitmaps
};
constexpr std::size_t kPassedOver = SIZE_MAX;  // a picture in a form we do not decode

// Counts what a record costs (the bytes it reads or keeps) before it is spent.
bool Keep(Loading& l, std::uint64_t bytes) {
  l.kept += bytes;
  return l.kept <= kMaxKeptBytes || Fail(l.error, "skin items too large in total");
}

bool AddBitmap(Loading& l, const SkinRecord& r) {
  const std::uint64_t place = (std::uint64_t{r.dataOffset} << 32) | r.dataSize;
  const auto found = l.pictures.find(place);
  if (found != l.pictures.end()) {
    if (found->second == kPassedOver) return true;
    const SkinImage& shared = l.skin.Bitmaps[found->second].second;
    if (!Keep(l, shared.pixels.size() * sizeof(shared.pixels[0]))) return false;
    SkinImage copy = shared;  // taken before the list grows and may move
    l.skin.Bitmaps.emplace_back(r.name, std::move(copy));
    return true;
  }
  if (r.dataSize > l.unread) return Fail(l.error, "skin items too large in total");
  l.unread -= r.dataSize;
  // The pixels the header asks for count before they are decoded: a picture
  // past the cap costs no memory. A header that states none decodes to nothing.
  std::uint64_t stated = 0;
  if (StatedSkinBitmapPixels(l.data + r.dataOffset, r.dataSize, stated) &&
      !Keep(l, stated * sizeof(std::uint32_t))) {
    return false;
  }
  SkinImage image;
  std::string why;
  bool otherForm = false;
  // A picture in a form other loaders take but we do not decode costs
  // the skin that one picture; a broken one is refused as the loader would.
  if (!DecodeSkinBitmap(l.data + r.dataOffset, r.dataSize, image, why, &otherForm)) {
    l.pictures.emplace(place, kPassedOver);
    return otherForm || Fail(l.error, r.name + ": " + why);
  }
  l.pictures.emplace(place, l.skin.Bitmaps.size());
  l.skin.Bitmaps.emplace_back(r.name, std::move(image));
  return true;
}

bool AddRecord(Loading& l, const SkinRecord& r) {
  const std::uint8_t* value = l.data + r.dataOffset;
  if (!Keep(l, kRecordSize)) return false;
  switch (r.type) {
    case kBitmap:
      return AddBitmap(l, r);
    case kInteger:  // a colour, position or size: exactly four bytes or nothing
      if (r.dataSize == 4) l.skin.Integers.emplace_back(r.name, static_cast<std::int32_t>(GetU32(value)));
      break;
    case kByte:
      if (r.dataSize == 1) l.skin.Bytes.emplace_back(r.name, value[0]);
      break;
    case kText:
      if (!Keep(l, r.dataSize)) return false;
      l.skin.Strings.emplace_back(r.name, std::string(reinterpret_cast<const char*>(value), r.dataSize));
      break;
    default:
      break;
  }
  return true;
}

// The chain up to the record that ends it, which carries no item; its
// length is checked before any record's data is read.
bool ReadChain(const std::uint8_t* data, std::size_t size, std::vector<SkinRecord>& chain, std::string& error) {
  SkinRecord record;
  std::uint32_t at = GetU32(data + 20);
  std::unordered_set<std::uint32_t> seen;
  for (;;) {
    if (!ReadRecord(data, size, at, record)) return Fail(error, "skin record past the end of the data");
    if (!seen.insert(at).second) return Fail(error, "skin record chain loops");
    if (seen.size() > kMaxRecords) return Fail(error, "skin has more than 4096 records");
    if (record.next == 0) return true;
    chain.push_back(record);
    at = record.next;
  }
}

}  // namespace

const SkinImage* SkinData::FindBitmap(const std::string& key) const { return Find(Bitmaps, key); }

std::int32_t SkinData::FindInteger(const std::string& key) const {
  const std::int32_t* value = Find(Integers, key);
  return value ? *value : -1;
}

std::uint8_t SkinData::FindByte(const std::string& key) const {
  const std::uint8_t* value = Find(Bytes, key);
  return value ? *value : 0;
}

bool ParseSkinData(const std::uint8_t* data, std::size_t size, SkinData& skin, std::string& error) {
  skin = SkinData();
  if (size < kHeaderLength) return Fail(error, "skin data shorter than its header");
  if (GetU32(data + 12) != kHeaderLength) return Fail(error, "skin data header length is not 24");
  std::vector<SkinRecord> chain;
  if (!ReadChain(data, size, chain, error)) return false;
  Loading loading{data, skin, error, 0, size, {}};
  for (const SkinRecord& record : chain) {
    if (record.dataOffset > size || record.dataSize > size - record.dataOffset)
      return Fail(error, record.name + ": data past the end of the skin data");
    if (!AddRecord(loading, record)) return false;
  }
  return true;
}

}  // namespace skin
