// Most clean items are a fixed list of keys, values and file masks. They are
// written as rows of steps and run by one loop, so that only the items with
// real logic are code.
#pragma once
#include <string>
#include <vector>

namespace cleaner {

class TClearTaskThread;

// The folders the items start from. `Registry` marks a step on the current
// user's registry.
enum class StepBase { Registry, AppData, LocalAppData, ProgramFiles, Profile, Recent, Temp, Windows, System };

enum class StepOp {
  DeleteKey,             // the key of `path` with everything below it
  DeleteValue,           // the value `arg` of the key `path`
  FilesByMask,           // the top-level files of the folder that match `arg`
  FilesByMaskRecursive,  // the same in every folder below too
  EmptyFolder,           // everything below the folder, the folder kept
};

struct ItemStep {
  StepOp op;
  StepBase base;
  std::wstring path;  // a key below HKEY_CURRENT_USER, or a folder below `base`
  std::wstring arg;   // value name or mask
};

// The folder a step starts from, ending in "\"; empty when the system gives none.
std::wstring StartFolder(StepBase base);
// `folder` + `rest`, with a "\" between; empty when `folder` is empty, so that
// nothing relative to the current drive is ever named.
std::wstring Under(const std::wstring& folder, const std::wstring& rest);
bool FolderExists(const std::wstring& path);

// Runs the steps in order: adds to the item's count and bytes and sets its
// size text. With `gate` other than Registry the item does nothing at all when
// that folder does not exist.
void RunItemSteps(TClearTaskThread& t, const std::vector<ItemStep>& steps, StepBase gate = StepBase::Registry);

}  // namespace cleaner
