// The steps of an analysis and a defragmentation that need no window.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "registry/defrag/DefragPlatform.h"
#include "registry/defrag/HiveFiles.h"
#include "registry/defrag/HiveList.h"
#include "registry/defrag/SizeTable.h"

namespace registry {

// The file that keeps the replaced hive: hive file + ".bak".
std::wstring HiveBackupFile(const std::wstring& hiveFile);
// Where an existing ".bak" is moved aside during a swap: ".bak.prev".
std::wstring HiveBackupAsideFile(const std::wstring& hiveFile);

// True when some hive's copy exists and cannot be opened for exclusive use
// (another instance is analysing).
bool AnyHiveCopyInUse(const std::vector<THive>& hives);

// A saved SOFTWARE hive copy below a quarter of its hive file: such a copy is
// a failed save, not a compaction.
bool SoftwareCopyTooSmall(const std::vector<THive>& hives, const std::vector<bool>& saved);

// The sizes of each hive file and of its copy, and why a hive was refused.
std::vector<THiveSize> MeasureHives(const std::vector<THive>& hives, const std::vector<bool>& saved,
                                    const std::vector<std::wstring>& refusals = {});

// Has Windows load the hive's copy at the next start, keeping the current
// hive file as ".bak". An existing ".bak" is moved aside first and put back
// when the swap fails. Failed when the copy is missing or the swap failed;
// Refused, touching nothing, where the hive's folder or one of its files
// (the copy, ".bak", the aside) is not to be written.
THiveStep ReplaceHive(IDefragPlatform& platform, const THive& hive, bool IsWow64);

// Deletes the copies an analysis left, except those in `keep` (copies that
// Windows is to load at the next start).
void DeleteLeftoverCopies(const std::vector<THive>& hives, const std::set<std::wstring>& keep);

}  // namespace registry
