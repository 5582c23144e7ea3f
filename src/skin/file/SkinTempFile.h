// The Win32 side of the skin archive reader: the archive read through a file
// handle, the temporary file the skin data is extracted to, and
// `ExtractFromZip`.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "skin/file/ByteStream.h"

namespace skin {

// An existing file opened for reading, shared with other readers and writers.
class FileSource : public ByteSource {
 public:
  FileSource() = default;
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  bool Open(const std::wstring& path);
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const override;

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::uint64_t size_ = 0;
};

// A temporary file created new under a fresh GUID name in the temporary
// folder. The system deletes it when its one handle closes, so no path (an
// error, an exception, the program ending) leaves it behind.
class SkinTempFile : public ByteSink {
 public:
  SkinTempFile() = default;
  ~SkinTempFile() override;
  SkinTempFile(const SkinTempFile&) = delete;
  SkinTempFile& operator=(const SkinTempFile&) = delete;

  bool Create();
  bool Write(const void* data, std::size_t count) override;
  // Reads the whole file back; false when it holds more than `maxSize` bytes.
  bool ReadAll(std::vector<std::uint8_t>& bytes, std::uint32_t maxSize);
  void Close();
  const std::wstring& Path() const { return path_; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::wstring path_;
};

// Makes the temporary file in `folder`: a handle open for reading and
// writing, the file removed when it closes, and its path; an invalid handle
// on failure. The program hands in its guarded maker, which makes the file
// relative to the folder's pin; without one it is made new by its path.
using TempFileMaker = HANDLE (*)(const std::wstring& folder, std::wstring* path);
void SetTempFileMaker(TempFileMaker maker);

// The temporary folder with a trailing backslash.
std::wstring GetTempDirectory();
// GetTempDirectory plus the braced text of a new GUID; empty when no GUID could be made.
std::wstring NewTempFileName();

// Extracts the entry `EntryName` of the skin archive `ArchiveFile` into
// `Dest`; 0, 1 or 2 as ExtractZipEntry. `Password` is empty for none.
int ExtractFromZip(const std::wstring& ArchiveFile, const std::string& EntryName, SkinTempFile& Dest,
                   const std::wstring& Password);

}  // namespace skin
