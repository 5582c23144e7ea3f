// Our inflate beside zlib's on the same raw deflate stream: both must accept
// or both refuse, and what both accept must decode to the same bytes. zlib
// serves here as the oracle only; the program never links it.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "skin/file/ZipInflate.h"

namespace inflate_oracle {

// A raw deflate stream of `plain`, as zlib writes it.
inline std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& plain, int level = 9,
                                         int strategy = Z_DEFAULT_STRATEGY) {
  z_stream z{};
  deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy);
  std::vector<std::uint8_t> out(deflateBound(&z, plain.size()));
  z.next_in = const_cast<Bytef*>(plain.data());
  z.avail_in = static_cast<uInt>(plain.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

enum class Verdict { Accepted, Refused, TooLong };

struct Outcome {
  Verdict verdict = Verdict::Refused;
  std::vector<std::uint8_t> bytes;
};

inline Outcome Zlib(const std::uint8_t* data, std::size_t size, std::size_t limit) {
  Outcome o;
  o.bytes.resize(limit + 1);
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return o;
  z.next_in = const_cast<Bytef*>(data);
  z.avail_in = static_cast<uInt>(size);
  z.next_out = o.bytes.data();
  z.avail_out = static_cast<uInt>(o.bytes.size());
  const int rc = inflate(&z, Z_FINISH);
  o.bytes.resize(z.total_out);
  inflateEnd(&z);
  if (o.bytes.size() > limit) o.verdict = Verdict::TooLong;
  else if (rc == Z_STREAM_END) o.verdict = Verdict::Accepted;
  return o;
}

inline Outcome Ours(const std::uint8_t* data, std::size_t size, std::size_t limit) {
  skin::MemoryInflateInput input(data, size);
  skin::MemorySink sink;
  const skin::InflateStatus status = skin::InflateRaw(input, sink, limit).status;
  Outcome o;
  o.verdict = status == skin::InflateStatus::Ok        ? Verdict::Accepted
              : status == skin::InflateStatus::TooLong ? Verdict::TooLong
                                                       : Verdict::Refused;
  o.bytes = std::move(sink.bytes);
  return o;
}

// What differs, or nothing.
inline std::string Compare(const std::uint8_t* data, std::size_t size, std::size_t limit = 1u << 20) {
  const Outcome ours = Ours(data, size, limit), zlib = Zlib(data, size, limit);
  static const char* const kNames[] = {"accepted", "refused", "too long"};
  if (ours.verdict != zlib.verdict)
    return std::string("ours ") + kNames[int(ours.verdict)] + ", zlib " + kNames[int(zlib.verdict)];
  if (ours.verdict == Verdict::Accepted && ours.bytes != zlib.bytes) return "both accepted, different bytes";
  return {};
}

}  // namespace inflate_oracle
