#include "registry/restore/RestoreRun.h"

#include <new>

#include "registry/restore/Regedit.h"

namespace registry {
namespace {

class TOpenFile {
 public:
  ~TOpenFile() {
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  }
  HANDLE h = INVALID_HANDLE_VALUE;
};

void Restore(const std::wstring& file, const TImportRunner& runImport, TRestoreOutcome* out) {
  // Held open from the check to the end of the import, so that the editor
  // imports exactly the text that was judged.
  TOpenFile held;
  TRegFile text;
  const TRegRead read = ReadRegFile(file, &text, &held.h);
  if (read == TRegRead::TooLarge) out->Status = rsTooLarge;
  if (read == TRegRead::NoMemory) out->Status = rsNoMemory;
  if (!text.Readable()) return;
  if ((out->Line = text.FirstDeletingLine()) != 0) {
    out->Status = rsDeletes;
    return;
  }
  out->Imported = runImport(RegeditImportCommand(file));
  if (!out->Imported) {
    out->Status = rsNotRun;
    return;
  }
  // The editor's exit code tells nothing: what counts is what the registry holds now.
  out->Check = CheckRegEntriesRestored(text);
  out->Status = out->Check.OutOfMemory ? rsNoMemory : out->Check.AllPresent() ? rsRestored : rsIncomplete;
}

}  // namespace

TRestoreOutcome RestoreRegFile(const std::wstring& file, const TImportRunner& runImport) {
  TRestoreOutcome out;
  try {
    Restore(file, runImport, &out);
  } catch (const std::bad_alloc&) {
    out.Status = rsNoMemory;
    out.Check = TRestoreCheck{};
  }
  return out;
}

std::wstring NameForMessage(const std::wstring& name) {
  if (name.size() <= kMessageNameChars) return name;
  size_t head = kMessageNameChars * 2 / 3, tail = name.size() - (kMessageNameChars - head - 3);
  // No cut parts a surrogate pair.
  if (IS_HIGH_SURROGATE(name[head - 1])) --head;
  if (IS_LOW_SURROGATE(name[tail])) ++tail;
  return name.substr(0, head) + L"..." + name.substr(tail);
}

}  // namespace registry
