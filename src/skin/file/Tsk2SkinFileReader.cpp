#include "skin/file/Tsk2SkinFileReader.h"

#include <vector>

#include "skin/file/SkinTempFile.h"
#include "skin/file/ZipArchive.h"

namespace skin {

Tsk2SkinFileReader::Tsk2SkinFileReader(const std::wstring& FileName, const std::wstring& Password) {
  LoadFromFile(FileName, Password);
}

void Tsk2SkinFileReader::LoadFromFile(const std::wstring& FileName, const std::wstring& Password) {
  Loaded = false;
  Items = SkinData();
  SkinTempFile temp;  // gone when this function returns, whichever way
  if (!temp.Create()) throw SkinFileError("Failed to read skin file!");
  const int result = ExtractFromZip(FileName, "SKINDATA.SK2", temp, Password);
  if (result == kExtractRejected) return;
  std::vector<std::uint8_t> bytes;
  if (result != kExtractOk || !temp.ReadAll(bytes, kMaxEntrySize)) throw SkinFileError("Failed to read skin file!");
  temp.Close();
  std::string error;
  SkinData items;
  if (!ParseSkinData(bytes.data(), bytes.size(), items, error)) {
    throw SkinFileError("Failed to read skin file! " + error);
  }
  Items = std::move(items);
  Loaded = true;
}

}  // namespace skin
