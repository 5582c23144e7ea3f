#include "registry/fix/FixReport.h"

#include "registry/fix/FixRecheck.h"

namespace registry {
namespace {

std::wstring Count(int n) { return std::to_wstring(n); }

}  // namespace

std::wstring FixCountLine(const TFixRunResult& r) {
  std::wstring line = L"Fix errors finished!";
  if (r.Failed == 0 && r.Skipped == 0) return line;
  line += L" " + Count(r.Fixed) + L" fixed";
  if (r.Skipped > 0) {
    line += L", " + Count(r.Skipped) + L" skipped";
    if (r.Changed > 0) line += L" (" + Count(r.Changed) + L" " + kChangedSinceScan + L")";
  }
  if (r.Failed > 0) line += L", " + Count(r.Failed) + L" could not be fixed";
  return line + L".";
}

std::wstring FixBackupLine(const TFixRunResult& r) {
  if (r.BackupEntries > 0) return L"Backup file: " + r.BackupFile;
  return L"No backup file was written.";
}

std::vector<std::wstring> FixRowReasonLines(const std::vector<TFixRow>& rows, const TFixRunResult& r,
                                            bool includeSkipped) {
  std::vector<std::wstring> lines;
  for (size_t i = 0; i < rows.size() && i < r.Rows.size(); ++i) {
    const TFixRowResult& out = r.Rows[i];
    bool skipped = out.Outcome == foKept || out.Outcome == foAlreadyGone || out.Outcome == foChanged;
    if (out.Outcome != foFailed && !(includeSkipped && skipped)) continue;
    std::wstring head = out.Outcome == foFailed ? L"Not fixed: " : L"Skipped: ";
    std::wstring line = head + rows[i].RegistryKey;
    if (!rows[i].Data.empty()) line += L" (" + rows[i].Data + L")";
    lines.push_back(line + L" - " + (out.Reason.empty() ? std::wstring(L"no reason given") : out.Reason));
  }
  return lines;
}

std::wstring JoinReasonLines(const std::vector<std::wstring>& lines, size_t limit) {
  std::wstring text;
  for (size_t i = 0; i < lines.size() && i < limit; ++i) text += (i == 0 ? L"" : L"\r\n") + lines[i];
  if (lines.size() > limit) text += L"\r\n... and " + Count(static_cast<int>(lines.size() - limit)) + L" more.";
  return text;
}

}  // namespace registry
