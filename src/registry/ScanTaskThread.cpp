#include "registry/ScanTaskThread.h"

#include <climits>

#include "core/Options.h"
#include "core/SystemInfo.h"
#include "registry/FixEntry.h"
#include "sys/TextCompare.h"

namespace registry {
namespace {

const wchar_t kClosingTitle[] = L"Optimizing...Do not close the dialog.";
const wchar_t kClosingKey[] = L"Please wait...";

std::wstring DriveLettersFor(bool includeRemoveMedia, const TPathFileSystem& fs) {
  std::wstring letters = includeRemoveMedia ? L"" : L"ab";
  for (wchar_t c = L'c'; c <= L'z'; ++c)
    if (!includeRemoveMedia || fs.DriveType(c) == DRIVE_FIXED) letters += c;
  return letters;
}

// Threads that outlived their wait. Never destroyed with the process: at its
// end the threads go with it, and deleting one still running would not be safe.
std::vector<TScanTaskThread*>& Lingering() {
  static auto* threads = new std::vector<TScanTaskThread*>();
  return *threads;
}

void ReapLingering() {
  auto& threads = Lingering();
  for (size_t i = threads.size(); i-- > 0;) {
    if (!threads[i]->WaitFor(0)) continue;
    delete threads[i];
    threads.erase(threads.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

}  // namespace

bool FreeScanThreadWhenEnded(std::unique_ptr<TScanTaskThread> thread, DWORD waitMs) {
  ReapLingering();
  if (!thread) return false;
  if (thread->WaitFor(waitMs)) {
    thread.reset();
    return true;
  }
  Lingering().push_back(thread.release());
  return false;
}

size_t LingeringScanThreads() {
  ReapLingering();
  return Lingering().size();
}

TScanSettings ScanSettingsFromSystem() {
  TScanSettings s;
  s.IncludeRemoveMedia = core::OptionsSetting.IncludeRemoveMedia;
  s.WindowsVersion = core::GetWindowsVersion();
  s.IsWow64 = core::IsWow64();
  return s;
}

int SectionIdFromText(const std::wstring& text) {
  size_t i = (!text.empty() && (text[0] == L'-' || text[0] == L'+')) ? 1 : 0;
  if (i == text.size()) return 0;
  long long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < L'0' || text[i] > L'9') return 0;
    value = value * 10 + (text[i] - L'0');
    if (value > INT_MAX) return 0;
  }
  return text[0] == L'-' ? static_cast<int>(-value) : static_cast<int>(value);
}

TScanTaskThread::TScanTaskThread(const TScanSettings& settings)
    : FIsWow64(settings.IsWow64),
      FIsWin7OrLater(settings.WindowsVersion == 12 || settings.WindowsVersion == 13),
      FIsWin8OrLater(settings.WindowsVersion == 13),
      FIncludeRemoveMedia(settings.IncludeRemoveMedia),
      FWindowsVersion(settings.WindowsVersion),
      FFileSystem(settings.FileSystem),
      FShared(std::make_shared<TScanShared>()) {
  if (!FFileSystem) FFileSystem = std::shared_ptr<const TPathFileSystem>(&RealFileSystem(), [](const void*) {});
  FDriveLetters = DriveLettersFor(FIncludeRemoveMedia, *FFileSystem);
  FFileSystem = std::make_shared<TScanFileSystem>(FFileSystem);
}

TScanTaskThread::~TScanTaskThread() = default;

bool TScanTaskThread::IsInvalidPath(const std::wstring& Path, const std::wstring& CutText,
                                    const std::wstring& DriveLetters, bool AcceptDirs) const {
  TPathCheckContext ctx;
  ctx.FileSystem = FFileSystem.get();
  ctx.IsWow64 = FIsWow64;
  ctx.IncludeRemoveMedia = FIncludeRemoveMedia;
  ctx.DriveAReady = FDriveAReady;
  ctx.DriveBReady = FDriveBReady;
  return registry::IsInvalidPath(ctx, Path, CutText, DriveLetters, AcceptDirs);
}

bool TScanTaskThread::IsOnUnreadyDrive(const std::wstring& Path) const {
  if (FIncludeRemoveMedia) return false;
  std::wstring head = sys::UpperCase(Path.substr(0, 3));
  return (head == L"A:\\" && !FDriveAReady) || (head == L"B:\\" && !FDriveBReady);
}

std::wstring TScanTaskThread::ExpandEnvPath(const std::wstring& Src) const {
  return registry::ExpandEnvPath(*FFileSystem, Src);
}

void TScanTaskThread::Execute() {
  if (!FPoster) FPoster = std::make_shared<TWindowPoster>(FMainHandle);
  try {
    RunSections();
  } catch (...) {
    // Only the bookkeeping between sections can get here; the page must still
    // learn that the scan is over.
  }
  Post(WM_SCANFINISHED);
}

void TScanTaskThread::RunSections() {
  ShowTitle(L"");
  ShowCurrentKey(L"");
  const size_t count = FSections.size();
  for (size_t i = 0; i < count; ++i) {
    if (Terminated()) return;
    Synchronize([this] { SyncNop(); });
    try {
      RunSection(SectionIdFromText(FSections[i]));
    } catch (...) {
      // A value or key the section did not expect ends that section only.
    }
    FFixChain.Clear();
    Synchronize([this] { NotifySectionDone(); });
  }
  if (Terminated()) return;
  ShowTitle(kClosingTitle);
  ShowCurrentKey(kClosingKey);
}

void TScanTaskThread::RunSection(int id) {
  const TScanSection* section = FindScanSection(id);
  if (section == nullptr) return;
  FCurrentSection = id;
  FProblem = section->Problem;
  if (section->Title != nullptr) ShowTitle(section->Title);
  if (section->Routine != nullptr) (this->*section->Routine)();
}

void TScanTaskThread::NotifySectionDone() {
  if (!Terminated()) Post(WM_SCANSECTIONDONE);
}

void TScanTaskThread::Post(UINT message) {
  if (FPoster) FPoster->Post(message);
}

void TScanTaskThread::ShowTitle(const std::wstring& title) { FShared->Status.SetTitle(title); }

void TScanTaskThread::ShowCurrentKey(const std::wstring& key) { FShared->Status.SetCurrentKey(key); }

// Every section's rows pass here: a row the fix would refuse (a link on the
// key's path or below it, a volatile key) would come back after every fix.
// The judgement may write a probe key, so it is made of the rows found only;
// the rows of one branch share the keys opened on its path.
void TScanTaskThread::AddProblemRow(TProblemRow row) {
  if (FixWouldGoAhead(row, &FFixChain)) FShared->Rows.Push(std::move(row));
}

void TScanTaskThread::AddValueProblemRow(const std::wstring& problem, const std::wstring& keyPath,
                                         const std::wstring& valueName, const std::wstring& data) {
  AddProblemRow(MakeValueProblemRow(problem, keyPath, valueName, data));
}

const std::wstring& TScanTaskThread::ProblemText() const { return FProblem; }

}  // namespace registry
