#include "core/guard/PinnedMove.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "core/guard/FileDelete.h"
#include "core/guard/NtFiles.h"
#include "core/guard/PinnedOpen.h"

namespace core {
namespace guard {
namespace {

constexpr int kFileRenameInformation = 10;
constexpr LONG kNameCollision = static_cast<LONG>(0xC0000035);

struct RenameInfo {
  BOOLEAN ReplaceIfExists;
  HANDLE RootDirectory;
  ULONG FileNameLength;
  WCHAR FileName[1];
};

// A file whose new name another program has taken over since (another
// instance saving the same settings) has none left: it was in place.
bool HasAName(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  return !::GetFileInformationByHandle(file, &info) || info.nNumberOfLinks > 0;
}

}  // namespace

DWORD RenameInPin(HANDLE file, const FolderPin& folder, const std::wstring& name, RenameOver over) {
  if (!folder.IsFolder() || !IsPlainFileName(name)) return ERROR_INVALID_NAME;
  const ULONG nameBytes = static_cast<ULONG>(name.size() * sizeof(wchar_t));
  std::vector<BYTE> buf(offsetof(RenameInfo, FileName) + nameBytes + sizeof(wchar_t), 0);
  auto* info = reinterpret_cast<RenameInfo*>(buf.data());
  info->ReplaceIfExists = over == RenameOver::Name;
  info->RootDirectory = folder.Handle();
  info->FileNameLength = nameBytes;
  std::memcpy(info->FileName, name.data(), nameBytes);
  const LONG status = nt::SetInformation(file, info, static_cast<ULONG>(buf.size()), kFileRenameInformation);
  if (status < 0) return status == kNameCollision ? ERROR_ALREADY_EXISTS : nt::ErrorOf(status);
  return StillPinnedAs(file, folder, name) || !HasAName(file) ? ERROR_SUCCESS : kRenamedElsewhere;
}

FileDeleteResult RemoveFromPin(const FolderPin& folder, const std::wstring& name) {
  FileDeleteResult result = FileDeleteResult::Missing;
  Lookup found = FindPinned(folder, name, [&](const ListedEntry& entry) {
    result = entry.IsLink() || entry.IsFolder() ? FileDeleteResult::Refused
                                                : DeleteListedFile(folder, entry.Name(), entry.Attributes());
  });
  return found == Lookup::Failed ? FileDeleteResult::Failed : result;
}

}  // namespace guard
}  // namespace core
