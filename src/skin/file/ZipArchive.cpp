#include "skin/file/ZipArchive.h"

#include <algorithm>
#include <vector>

#include "skin/file/ZipCrypt.h"
#include "skin/file/ZipInflate.h"

namespace skin {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054B50u;
constexpr std::size_t kEndSize = 22, kCentralSize = 46, kLocalSize = 30, kCryptHeaderSize = 12;
constexpr std::uint16_t kFlagEncrypted = 1, kFlagDescriptor = 8;
constexpr std::uint16_t kMethodStored = 0, kMethodDeflated = 8;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(const std::vector<std::uint8_t>& stored, const std::string& wanted) {
  if (stored.size() != wanted.size()) return false;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    if (UpperAscii(static_cast<char>(stored[i])) != UpperAscii(wanted[i])) return false;
  }
  return true;
}

// The entry's bytes, read no further than its compressed size; decrypted
// on the way when keys are given.
class EntryInput : public InflateInput {
 public:
  EntryInput(const ByteSource& archive, std::uint64_t offset, std::uint64_t length, ZipKeys* keys)
      : archive_(archive), offset_(offset), left_(length), keys_(keys) {}
  std::size_t Read(std::uint8_t* buffer, std::size_t max) override {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(max, left_));
    if (n == 0 || !archive_.ReadAt(offset_, buffer, n)) return 0;
    if (keys_) ZipDecryptBuffer(buffer, n, *keys_);
    offset_ += n;
    left_ -= n;
    return n;
  }

 private:
  const ByteSource& archive_;
  std::uint64_t offset_, left_;
  ZipKeys* keys_;
};

// Passes output on while counting it and keeping its CRC-32.
class CheckedSink : public ByteSink {
 public:
  explicit CheckedSink(ByteSink& dest) : dest_(dest) {}
  bool Write(const void* data, std::size_t count) override {
    crc = Crc32Update(crc, data, count);
    written += count;
    return dest_.Write(data, count);
  }
  std::uint32_t crc = 0;
  std::uint64_t written = 0;

 private:
  ByteSink& dest_;
};

int Fail(int result, std::string* reason, const char* text) {
  if (reason) *reason = text;
  return result;
}

// Where the entry's data starts, behind its local header.
bool LocateData(const ByteSource& archive, const ZipEntryInfo& entry, std::uint64_t& dataOffset) {
  std::uint8_t h[kLocalSize];
  // Its signature is not tested: the first entry's carries the archive's "SK"
  // mark, and only the lengths matter for finding the data.
  if (!archive.ReadAt(entry.localOffset, h, sizeof h)) return false;
  dataOffset = std::uint64_t{entry.localOffset} + kLocalSize + GetU16(h + 26) + GetU16(h + 28);
  return dataOffset <= archive.Size() && entry.compressedSize <= archive.Size() - dataOffset;
}

// Checks the password against the encryption header's last byte.
bool OpenEncrypted(const ByteSource& archive, const ZipEntryInfo& entry, const std::string& password,
                   std::uint64_t dataOffset, ZipKeys& keys) {
  std::uint8_t header[kCryptHeaderSize];
  if (!archive.ReadAt(dataOffset, header, sizeof header)) return false;
  keys = ZipKeysFromPassword(password);
  ZipDecryptBuffer(header, sizeof header, keys);
  const std::uint8_t check = (entry.flags & kFlagDescriptor) ? static_cast<std::uint8_t>(entry.time >> 8)
                                                             : static_cast<std::uint8_t>(entry.crc >> 24);
  return header[kCryptHeaderSize - 1] == check;
}

bool CopyStored(EntryInput& input, ByteSink& out, std::uint64_t length) {
  std::vector<std::uint8_t> buffer(16384);
  while (length > 0) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length, buffer.size()));
    if (input.Read(buffer.data(), want) != want || !out.Write(buffer.data(), want)) return false;
    length -= want;
  }
  return true;
}

}  // namespace

bool FindZipEndRecord(const ByteSource& archive, ZipEndRecord& end) {
  if (archive.Size() < kEndSize) return false;
  std::uint8_t r[kEndSize];
  end.position = archive.Size() - kEndSize;
  if (!archive.ReadAt(end.position, r, sizeof r)) return false;
  // The record is looked for only in the last 22 bytes: no archive comment.
  if (GetU32(r) != kEndSignature || GetU16(r + 20) != 0) return false;
  end.directoryOffset = GetU32(r + 16);
  return end.directoryOffset <= end.position;
}

bool FindZipEntry(const ByteSource& archive, const ZipEndRecord& end, const std::string& name, ZipEntryInfo& entry) {
  std::uint64_t pos = end.directoryOffset;
  std::vector<std::uint8_t> stored;
  while (pos < end.position) {
    std::uint8_t h[kCentralSize];
    if (end.position - pos < kCentralSize || !archive.ReadAt(pos, h, sizeof h)) return false;
    // The signature is not tested, as skin archives are read; every length
    // is checked against the directory instead.
    const std::uint16_t nameLength = GetU16(h + 28);
    const std::uint64_t next = pos + kCentralSize + nameLength + GetU16(h + 30) + GetU16(h + 32);
    if (next > end.position) return false;
    stored.resize(nameLength);
    if (!archive.ReadAt(pos + kCentralSize, stored.data(), nameLength)) return false;
    if (SameName(stored, name)) {
      entry.flags = GetU16(h + 8);
      entry.method = GetU16(h + 10);
      entry.time = GetU16(h + 12);
      entry.crc = GetU32(h + 16);
      entry.compressedSize = GetU32(h + 20);
      entry.size = GetU32(h + 24);
      entry.localOffset = GetU32(h + 42);
      return true;
    }
    pos = next;
  }
  return false;
}

int ExtractZipEntry(const ByteSource& archive, const std::string& entryName, const std::string& password,
                    ByteSink& dest, std::string* reason) {
  std::uint8_t mark[4];
  if (!archive.ReadAt(0, mark, sizeof mark) || mark[0] != 'S' || mark[1] != 'K')
    return Fail(kExtractUnreadable, reason, "not a skin archive");
  ZipEndRecord end;
  if (!FindZipEndRecord(archive, end)) return Fail(kExtractUnreadable, reason, "no end record");
  ZipEntryInfo entry;
  if (!FindZipEntry(archive, end, entryName, entry)) return Fail(kExtractUnreadable, reason, "entry not found");
  std::uint64_t dataOffset = 0;
  if (!LocateData(archive, entry, dataOffset)) {
    return Fail(kExtractUnreadable, reason, "entry data outside the archive");
  }
  if (entry.size > kMaxEntrySize) return Fail(kExtractUnreadable, reason, "entry size out of range");
  // The one method check kept: data of a method we do not decode would be
  // read as deflate data it is not.
  if (entry.method != kMethodDeflated && entry.method != kMethodStored)
    return Fail(kExtractUnreadable, reason, "unknown compression method");

  ZipKeys keys;
  std::uint64_t length = entry.compressedSize;
  const bool encrypted = (entry.flags & kFlagEncrypted) != 0;
  if (encrypted) {
    if (password.empty()) return Fail(kExtractRejected, reason, "password needed");
    if (length < kCryptHeaderSize) return Fail(kExtractUnreadable, reason, "encrypted entry too short");
    if (!OpenEncrypted(archive, entry, password, dataOffset, keys)) {
      return Fail(kExtractRejected, reason, "wrong password");
    }
    dataOffset += kCryptHeaderSize;
    length -= kCryptHeaderSize;
  }
  EntryInput input(archive, dataOffset, length, encrypted ? &keys : nullptr);
  CheckedSink out(dest);
  InflateStatus status = InflateStatus::BadData;
  if (entry.method == kMethodStored) {
    if (length != entry.size) return Fail(kExtractRejected, reason, "size differs from the directory");
    status = CopyStored(input, out, length) ? InflateStatus::Ok : InflateStatus::InputEnded;
  } else {
    // Output stops at the announced size: a small entry cannot unpack into a huge file.
    status = InflateRaw(input, out, entry.size).status;
  }
  const bool decoded = status == InflateStatus::Ok;
  if (status == InflateStatus::TooLong) return Fail(kExtractRejected, reason, "more data than the directory says");
  // Undecodable encrypted data most likely means a wrong password whose check byte matched by chance.
  if (!decoded && encrypted) return Fail(kExtractRejected, reason, "wrong password or damaged data");
  // An entry that came out empty, whole or not, is unreadable, not of a different size.
  if (out.written == 0) return Fail(kExtractUnreadable, reason, "entry holds no data");
  if (!decoded || out.written != entry.size) return Fail(kExtractRejected, reason, "size differs from the directory");
  if (out.crc != entry.crc) return Fail(kExtractRejected, reason, "checksum differs from the directory");
  return kExtractOk;
}

}  // namespace skin
