// Extracting entries of skin archives: every kind of entry, passwords, and
// archives whose tables are cut or point outside the file.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>

#include "SkinTestData.h"
#include "skin/file/SkinTempFile.h"
#include "skin/file/ZipArchive.h"

using skintest::Bytes;
using skintest::PutU32;

namespace {

int Extract(const Bytes& archive, const std::string& entry, const std::string& password, Bytes* out = nullptr) {
  skin::MemorySource source(archive.data(), archive.size());
  skin::MemorySink sink;
  const int result = skin::ExtractZipEntry(source, entry, password, sink);
  if (out) *out = sink.bytes;
  return result;
}

struct ArchiveCase {
  const char* archive;
  const char* entry;
  std::string password;
  int expected;
  Bytes content;  // when extracted; empty: the skin data entry
};

std::string WrongPasswordWithMatchingCheck() {
  const Bytes text = skintest::ReadData("wrong_password_matching_check.txt");
  return std::string(text.begin(), text.end());
}

TEST(SkinArchive, ExtractsEveryEntryByteIdenticalOrRefusesByArchiveEntryAndPassword) {
  const std::string note = "not the data";
  const Bytes text = skintest::ReadData("text.bin");
  ASSERT_GE(text.size(), 5000u);
  const ArchiveCase cases[] = {
      {"plain.skn", "SKINDATA.SK2", "", 0, {}},
      {"plain.skn", "skindata.sk2", "", 0, {}},
      {"plain.skn", "readme.txt", "", 0, Bytes(note.begin(), note.end())},
      {"plain.skn", "OTHER.BIN", "", 0, Bytes(text.begin(), text.begin() + 5000)},
      {"lower.skn", "SKINDATA.SK2", "", 0, {}},
      {"extra.skn", "SKINDATA.SK2", "", 0, {}},
      {"extra.skn", "readme.txt", "", 0, Bytes(note.begin(), note.end())},
      {"extradiffers.skn", "SKINDATA.SK2", "", 0, {}},
      {"extradiffers.skn", "readme.txt", "", 0, Bytes(note.begin(), note.end())},
      {"stored.skn", "SKINDATA.SK2", "", 0, {}},
      {"plaindescriptor.skn", "SKINDATA.SK2", "", 0, {}},
      {"encrypted.skn", "SKINDATA.SK2", "secret", 0, {}},
      {"descriptor.skn", "SKINDATA.SK2", "secret", 0, {}},
      {"encrypted.skn", "SKINDATA.SK2", "", 2, {}},
      {"descriptor.skn", "SKINDATA.SK2", "", 2, {}},
      {"encrypted.skn", "SKINDATA.SK2", "Secret", 2, {}},
      {"encrypted.skn", "SKINDATA.SK2", WrongPasswordWithMatchingCheck(), 2, {}},
      {"plain.skn", "MISSING.SK2", "", 1, {}},
      {"pk.skn", "SKINDATA.SK2", "", 1, {}},
      {"comment.skn", "SKINDATA.SK2", "", 1, {}},
      {"hugesize.skn", "SKINDATA.SK2", "", 1, {}},
      {"bomb.skn", "SKINDATA.SK2", "", 2, {}},
  };
  const Bytes skinData = skintest::ReadData("SKINDATA.SK2");
  ASSERT_FALSE(skinData.empty());
  for (const ArchiveCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.archive << " " << c.entry << " '" << c.password << "'");
    Bytes out;
    EXPECT_EQ(c.expected, Extract(skintest::ReadData(c.archive), c.entry, c.password, &out));
    if (c.expected == 0) {
      EXPECT_TRUE(out == (c.content.empty() ? skinData : c.content));
    }
  }
}

TEST(SkinArchive, BombReturnsWithinASecond) {
  const Bytes bomb = skintest::ReadData("bomb.skn");
  const auto start = std::chrono::steady_clock::now();
  Bytes out;
  EXPECT_EQ(2, Extract(bomb, "SKINDATA.SK2", "", &out));
  EXPECT_LE(out.size(), 1000u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(SkinArchive, DamagedTablesAreRefusedWhereFindingTheDataNeedsThem) {
  const Bytes good = skintest::ReadData("lower.skn");
  ASSERT_GT(good.size(), 100u);
  const std::size_t end = good.size() - 22;
  const std::size_t central = good[end + 16] | (good[end + 17] << 8);
  struct Damage {
    const char* what;
    std::size_t at;
    std::uint32_t value;
    int expected;
    void (*apply)(Bytes& b, std::size_t at, std::uint32_t value);
  };
  auto put = [](Bytes& b, std::size_t at, std::uint32_t v) { PutU32(b, at, v); };
  auto put16 = [](Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto oneLess = [](Bytes& b, std::size_t at, std::uint32_t) { PutU32(b, at, (b[at] | (b[at + 1] << 8)) - 1u); };
  const Damage damages[] = {
      {"directory offset past the end", end + 16, 0xFFFFFF00u, 1, put},
      {"directory offset into the end record", end + 16, static_cast<std::uint32_t>(end + 4), 1, put},
      {"name length past the directory", central + 28, 0xFFFF0000u | 0x0C, 1, put},
      {"local header offset past the end", central + 42, 0x7FFFFFF0u, 1, put},
      {"compressed size past the end", central + 20, 0x7FFFFFF0u, 1, put},
      {"local name length", 26, 0xFFFFu, 1, put16},
      {"announced size one short", central + 24, 0, 2, oneLess},
      {"unknown method in the directory", central + 10, 9, 1, put16},
      // Signatures are not tested: only lengths and offsets find the data.
      {"central signature", central, 0x12345678u, 0, put},
      {"local signature", 2, 0, 0, put16},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    Bytes bad = good;
    d.apply(bad, d.at, d.value);
    EXPECT_EQ(d.expected, Extract(bad, "SKINDATA.SK2", ""));
  }
}

// An entry that decodes whole to nothing is unreadable (1); output larger
// than announced is rejected (2).
TEST(SkinArchive, EntriesThatComeOutEmptyAreUnreadable) {
  struct Entry {
    const char* what;
    Bytes data;
    std::uint16_t method;
    std::uint32_t announced;
    int expected;
  };
  const Bytes emptyBlock = {0x03, 0x00}, oneByte = {0x4B, 0x04, 0x00};  // "" and "a", fixed codes
  const Entry entries[] = {
      {"nothing, 100 announced", emptyBlock, 8, 100, 1},
      {"nothing, 0 announced", emptyBlock, 8, 0, 1},
      {"stored nothing", {}, 0, 0, 1},
      {"one byte, 0 announced", oneByte, 8, 0, 2},
      {"one byte, 1 announced", oneByte, 8, 1, 0},
  };
  const std::uint32_t crcOfA = 0xE8B7BE43u;
  for (const Entry& e : entries) {
    SCOPED_TRACE(e.what);
    Bytes out;
    EXPECT_EQ(e.expected, Extract(skintest::SkinArchive(e.data, e.method, e.announced, crcOfA), "SKINDATA.SK2", "", &out));
    if (e.expected == 0) {
      EXPECT_EQ(Bytes{'a'}, out);
    }
  }
}

TEST(SkinArchive, TruncatedArchivesAreRefused) {
  const Bytes good = skintest::ReadData("encrypted.skn");
  for (std::size_t cut = 0; cut < good.size(); cut += 7) {
    const Bytes part(good.begin(), good.begin() + cut);
    EXPECT_NE(0, Extract(part, "SKINDATA.SK2", "secret")) << cut;
  }
  EXPECT_EQ(1, Extract(Bytes{'S', 'K', 3, 4}, "SKINDATA.SK2", ""));
}

TEST(SkinArchive, ExtractFromZipWritesANewTemporaryFileThatGoesWithItsHandle) {
  skin::SkinTempFile temp;
  ASSERT_TRUE(temp.Create());
  const std::wstring folder = skin::GetTempDirectory();
  ASSERT_EQ(folder.size() + 38, temp.Path().size());
  EXPECT_EQ(L'{', temp.Path()[folder.size()]);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(temp.Path().c_str()));

  ASSERT_EQ(0, skin::ExtractFromZip(skintest::DataPath("encrypted.skn"), "SKINDATA.SK2", temp, L"secret"));
  Bytes back;
  ASSERT_TRUE(temp.ReadAll(back, skin::kMaxEntrySize));
  EXPECT_TRUE(back == skintest::ReadData("SKINDATA.SK2"));
  temp.Close();
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(temp.Path().c_str()));

  skin::SkinTempFile missing;
  ASSERT_TRUE(missing.Create());
  EXPECT_EQ(1, skin::ExtractFromZip(skintest::DataPath("no-such.skn"), "SKINDATA.SK2", missing, L""));
}

}  // namespace
