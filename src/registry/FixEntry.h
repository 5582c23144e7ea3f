// What the fix of a problem row deletes, read once from the row by its fix
// kind, and the judgement the fix passes on it before its backup is read.
// The scan lists a row only when this same judgement lets the fix go ahead,
// so that a scan after a fix never lists again what the fix had to leave.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "core/guard/RegistryEntry.h"
#include "registry/ProblemRow.h"

namespace registry {

struct TFixTarget {
  enum TKind { tkNone, tkKey, tkValue, tkFile };
  TKind Kind = tkNone;
  std::wstring RootName;   // tkKey, tkValue: as the row names it
  std::wstring Key;        // below the root
  std::wstring ValueName;  // tkValue ("" the default value)
  std::wstring Why;        // tkNone: why the row names nothing to delete
};

// The one reading of a row's Registry key (K) and Data (D) by its fix kind.
TFixTarget FixTargetOf(const std::wstring& K, const std::wstring& D, int FixKind);

enum TFixVerdict {
  fvGoAhead,       // held and judged: read its backup, then delete it
  fvMissing,       // the key or value is not there
  fvRefused,       // never deleted: a root or first-level key, a link, a volatile key, a check that could not finish
  fvCannotBackUp,  // its backup could not be read whole: a link below the key, a value that cannot be read
};

// A key (whole) or one value of a key, opened once as a delete opens it
// (core::guard::KeyEntry) and judged in the fix's order: the path and the
// place of the key, links on the way and below, the value, and, only when it
// is to be backed up, whether it is volatile.
class TFixEntry {
 public:
  // The whole key `path` below `root`. A `chain` (the scan's) lends the
  // parts of the path it holds and keeps those opened.
  TFixEntry(HKEY root, const std::wstring& path, core::guard::KeyChain* chain = nullptr);
  // The value `valueName` of the key `path`; `backup`: it is to be backed up.
  TFixEntry(HKEY root, const std::wstring& path, const std::wstring& valueName, bool backup,
            core::guard::KeyChain* chain = nullptr);

  TFixVerdict Verdict() const { return verdict_; }
  const std::wstring& Reason() const { return reason_; }
  bool GoAhead() const { return verdict_ == fvGoAhead; }
  // The entry the backup reads and the delete goes through; only to be used
  // when GoAhead().
  core::guard::KeyEntry& Held() { return *entry_; }

 private:
  bool Open(HKEY root, const std::wstring& path, core::guard::EntryScope scope, core::guard::KeyChain* chain);
  void JudgeVolatile();
  void Set(TFixVerdict verdict, std::wstring reason);

  TFixVerdict verdict_ = fvGoAhead;
  std::wstring reason_;
  std::unique_ptr<core::guard::KeyEntry> entry_;
};

// Whether the fix would go ahead with the row now: a row whose key or value
// it would refuse, or could not find where the scan found it, is not listed.
// A shortcut file, or a row that names no key, is not judged here. The scan
// passes its `chain`, so that the rows of one branch share its parts.
bool FixWouldGoAhead(const TProblemRow& row, core::guard::KeyChain* chain = nullptr);

}  // namespace registry
