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

// The pinned folder lists the open file under some name (a rename that
// failed left it under its old one).
bool Holds(const FolderPin& folder, HANDLE file) {
  ULONGLONG id = 0;
  bool held = false;
  if (!nt::FileIndex(file, &id)) return false;
  ListPinned(folder, [&](const ListedEntry& entry) {
    held = entry.FileId() == id && !entry.IsLink() && !entry.IsFolder();
    return !held;
  });
  return held;
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
  const DWORD answer = status >= 0                ? ERROR_SUCCESS
                       : status == kNameCollision ? ERROR_ALREADY_EXISTS
                                                  : nt::ErrorOf(status);
  // Done or not, the file must still lie in the pinned folder: Wine can move
  // it elsewhere and then answer that it failed.
  const bool inPlace = status >= 0 ? StillPinnedAs(file, folder, name) : Holds(folder, file);
  return inPlace || !HasAName(file) ? answer : kRenamedElsewhere;
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
