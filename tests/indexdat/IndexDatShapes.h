// Crafted index.dat files whose cost once grew faster than their size: the
// test table checks what they list, the benchmark how time and memory grow.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "IndexDatBuilder.h"

namespace indexdat_test {

enum class Shape {
  Overlapping,  // many tables 16 bytes apart, each claiming the whole file, all entries on one long URL
  Packed,       // tables of 2 blocks back to back, each claiming the whole file
  SharedUrl,    // one table whose every entry points at the same long URL
};

struct ShapeInfo {
  Shape shape;
  const char* name;
};

inline const std::vector<ShapeInfo>& Shapes() {
  static const std::vector<ShapeInfo> shapes = {
      {Shape::Overlapping, "overlapping tables"}, {Shape::Packed, "packed tables"}, {Shape::SharedUrl, "shared URL"}};
  return shapes;
}

namespace detail {

// Used entries on `record` from `begin` up to `end`.
inline void Entries(IndexDatBuilder& b, size_t begin, size_t end, int32_t record) {
  for (size_t e = begin; e + 8 <= end; e += 8) b.Entry(e, 0x80, record);
}

// A URL record at `at` whose text runs from at + 0x68 to the byte before the file's end.
inline void LongUrl(IndexDatBuilder& b, size_t at, size_t size) {
  b.UrlRecord(at, "URL ", 0x68, "http://" + std::string(size - at - 0x68 - 8, 'a'));
}

}  // namespace detail

// A file of `size` bytes (a multiple of 1024, at least 16 KB) of the shape.
inline IndexDatBuilder MakeShape(Shape shape, size_t size) {
  IndexDatBuilder b(size);
  const int32_t blocks = static_cast<int32_t>(size / 128);
  b.FirstTable(0x100);
  if (shape == Shape::Overlapping) {
    size_t tables = size / 64, entriesAt = 0x100 + tables * 16, record = size * 3 / 4;
    for (size_t i = 0; i < tables; ++i)
      b.Text(0x100 + i * 16, "HASH").Int(0x100 + i * 16 + 4, blocks).Int(0x100 + i * 16 + 8,
                                                                       i + 1 < tables ? int32_t(0x110 + i * 16) : 0);
    detail::Entries(b, entriesAt + 32, record, int32_t(record));
    detail::LongUrl(b, record, size);
  } else if (shape == Shape::Packed) {
    b.UrlRecord(0x40, "URL ", 0x60, "http://p/");  // in the header's free bytes
    for (size_t t = 0x100; t + 0x100 <= size; t += 0x100) {
      b.Text(t, "HASH").Int(t + 4, blocks).Int(t + 8, t + 0x200 <= size ? int32_t(t + 0x100) : 0);
      detail::Entries(b, t + 32, t + 0x100, 0x40);
    }
  } else {
    size_t record = size / 2;
    b.Table(0x100, int32_t((record - 0x100) / 128), 0);
    detail::Entries(b, 0x120, record, int32_t(record));
    detail::LongUrl(b, record, size);
  }
  return b;
}

}  // namespace indexdat_test
