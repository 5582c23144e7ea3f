#include "cleaner/ProgressThread.h"

#include <exception>

#include "core/Options.h"
#include "sys/Text.h"

namespace cleaner {
namespace {

const std::wstring kDashLine(107, L'-');

}  // namespace

CleanSettings CleanSettingsFromOptions() {
  const core::TOptionsSetting& o = core::OptionsSetting;
  CleanSettings s;
  s.FastScan = o.FastScan;
  s.IsWipeFile = o.IsWipeFile;
  s.WipeNumber = o.WipeNumber < 1 ? 1 : (o.WipeNumber > 10 ? 10 : o.WipeNumber);
  s.ShowLogTempInternetFiles = o.ShowLogTempInternetFiles;
  s.ShowLogRecycleBin = o.ShowLogRecycleBin;
  return s;
}

TClearTaskThread::TClearTaskThread(CleanMode mode, const CleanSettings& settings, CleanServices services)
    : mode_(mode == CleanMode::RealClean || mode == CleanMode::AutoClean ? mode : CleanMode::Test),
      settings_(settings),
      services_(std::move(services)) {
  FPrefix = IsTest() ? L"Test: " : L"Clean: ";
  FVerbText = IsTest() ? L"will be removed" : L"to be removed";
  // A test holds nothing that can delete.
  if (IsTest()) services_.deleter = std::make_shared<RefusingDeleter>();
  PrepareServices();
}

TClearTaskThread::~TClearTaskThread() = default;

// Everything but the poster, whose window the creator names after this.
void TClearTaskThread::PrepareServices() {
  if (!services_.log) services_.log = std::make_shared<NullLog>();
  if (!services_.clock) services_.clock = std::make_shared<TickClock>();
  if (!services_.asker) services_.asker = std::make_shared<MessageBoxAsker>();
  if (!services_.deleter) services_.deleter = std::make_shared<SystemDeleter>();
  if (!services_.guard) services_.guard = std::make_shared<PathGuard>(SystemGuardFolders());
  if (services_.routines == nullptr) services_.routines = &ItemRoutineTable::Program();
}

void TClearTaskThread::Execute() {
  try {
    RunItems();
  } catch (...) {
    // Whatever ended the run, the window must hear of it to leave its running state.
    try {
      AddLog(FPrefix + L"stopped by an error");
    } catch (...) {
    }
    Post(WM_CLEANFAILED, static_cast<WPARAM>(FTotalItems));
  }
}

void TClearTaskThread::RunItems() {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (Terminated()) return;
    Synchronize([this] { BeginItem(); });
    if (i > 0) AddLog(kDashLine);
    AddLog(FPrefix + L"Clearing" + L" " + FItems[i] + L" ...");
    RunItem(FItems[i]);
    Synchronize([this] { EndItem(); });
  }
  // Cancelled during the last item: a counting pass must not start the clean.
  if (Terminated()) return;
  AddLog(kDashLine);
  std::wstring total = std::to_wstring(FTotalItems);
  std::wstring kb = FormatKB(FTotalBytes);
  if (IsTest()) {
    AddLog(L"Total items will be removed = " + total + L" ; " + L"Total files will be removed = " + kb + L" KB");
  } else {
    AddLog(L"Total items to be removed = " + total + L" ; " + L"Total files to be removed = " + kb + L" KB");
  }
  AddLog(kDashLine);
  Post(WM_CLEANFINISHED, static_cast<WPARAM>(FTotalItems));
}

// One item that fails (an unreadable database, a routine's error) costs that
// item only; the run goes on.
void TClearTaskThread::RunItem(const std::wstring& caption) {
  ResolvedItem item = ResolveCaption(*services_.routines, caption);
  try {
    if (item.routine != nullptr) {
      (*item.routine)(*this);
    } else if (services_.routines->DataFileHandler() && !item.section.empty()) {
      services_.routines->DataFileHandler()(*this, item.file, item.section);
    }
  } catch (const std::exception& e) {
    AddLog(FPrefix + L"error in " + caption + L": " + sys::FromUtf8(e.what()));
    ++FTotalFailed;
  }
}

void TClearTaskThread::BeginItem() {
  FItemCount = 0;
  FItemSizeText = L"0";
  FItemBytes = 0;
  FWorkPath.clear();
  FItemFailed = 0;
  FItemUnavailable = false;
  FItemRefused = 0;
  FLastPost = services_.clock->NowMs();
  FScrollCounter = 0;
}

void TClearTaskThread::EndItem() {
  AddLog(L"");
  if (!FItemUnavailable)
    AddLog(std::to_wstring(FItemCount) + L" " + L"items" + L" " + FVerbText + L"; " + FItemSizeText + L" KB " +
           FVerbText + L".");
  if (FItemFailed > 0) AddLog(std::to_wstring(FItemFailed) + L" " + L"items could not be removed.");
  AddLog(L"");
  services_.log->ScrollToEnd();
  FTotalItems += FItemCount;
  FTotalBytes += FItemBytes;
  FTotalFailed += FItemFailed + FItemRefused;
  Post(WM_CLEANPROGRESS, static_cast<WPARAM>(FTotalItems));
}

long long TClearTaskThread::BarPosition(WPARAM count) const {
  const long long done = static_cast<long long>(count);
  return FExpectedTotal > 0 ? done * 1000 / FExpectedTotal : done;
}

void TClearTaskThread::Post(UINT msg, WPARAM wParam) {
  if (msg == WM_CLEANPROGRESS && BarPosition(wParam) > 0) FBarMoved = true;
  if (services_.poster) services_.poster->Post(msg, wParam, 0);
  else ::PostMessageW(FMainHandle, msg, wParam, 0);
}

void TClearTaskThread::AddLog(const std::wstring& line) { services_.log->AddLine(line); }

void TClearTaskThread::ItemNotAvailable(const std::wstring& caption) {
  AddLog(FPrefix + caption + L": not available yet");
  FItemUnavailable = true;
}

void TClearTaskThread::ScrollLog(int n) {
  if (n == 0) {
    services_.log->ScrollToEnd();
    return;
  }
  int step = IsTest() ? n : n / 2;
  if (step < 1) step = 1;
  if (++FScrollCounter % step == 0) {
    services_.log->ScrollToEnd();
    FScrollCounter = 0;
  }
}

void TClearTaskThread::ProgressTick(int runningCount) {
  DWORD now = services_.clock->NowMs();
  const int position = FTotalItems + runningCount;
  // While the bar still stands at 0 every counted entry is posted: a long
  // first item must not look like a run that never started.
  const bool barStill = !FBarMoved && position > 0;
  if (!barStill && now - FLastPost <= 2000) return;
  FLastPost = now;
  Post(WM_CLEANPROGRESS, static_cast<WPARAM>(position));
}

bool TClearTaskThread::AskUser(const std::wstring& text, UINT icon) {
  if (mode_ != CleanMode::AutoClean) return services_.asker->AskYesNo(text, icon);
  // An unattended clean may have nobody to answer, and a question would hold
  // the run until somebody came: it takes No, which keeps the folder, and
  // says so.
  std::wstring question = text;
  for (wchar_t& c : question)
    if (c == L'\r' || c == L'\n') c = L' ';
  const std::wstring line = FPrefix + L"Not asked (unattended clean): \"" + question + L"\" Answer taken: No";
  AddLog(line);
  services_.asker->AnsweredUnasked(line);
  return false;
}

std::wstring TClearTaskThread::FormatKB(int64_t bytes) {
  if (bytes < 0) bytes = 0;
  int64_t kb = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
  std::wstring digits = std::to_wstring(kb);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), L",");
  return digits;
}

}  // namespace cleaner
