// A fix acts on what the scan saw, which may be stale by the time the user
// presses Fix: a program was reinstalled, a file came back, an empty key got
// content. Each row is judged again just before its deletion.
#pragma once
#include <string>

#include "registry/PathCheck.h"

namespace registry {

struct TFixRow;

struct TRecheck {
  bool Changed = false;  // leave the row: what it points at is no longer a problem
  std::wstring Reason;   // why, when Changed
};

// The row's target as it stands now. An empty-key row whose key now holds a
// value or a non-empty subkey, and a row whose path (the value's text, or the
// path shown in Data) now names something that exists, are changed. A target
// that is gone is not "changed": the deletion reports it as already gone.
TRecheck RecheckRow(const TFixRow& row, const TPathCheckContext& ctx);

// Whether the key, value or file the row deletes is gone now (another
// program removed it while this run was about it).
bool RowTargetGone(const TFixRow& row);

// The context a fix judges paths in: every fixed drive letter, folders accepted.
TPathCheckContext FixPathContext();

// "changed since the scan": the start of every such reason.
extern const wchar_t kChangedSinceScan[];

}  // namespace registry
