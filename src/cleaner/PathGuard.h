// The cleaner's view of the guarded-delete module's path guard, and the
// folders of this system that it protects.
#pragma once
#include "core/guard/FileDelete.h"
#include "core/guard/PathGuard.h"

namespace cleaner {

using core::guard::CheckedFolder;
using core::guard::DataFileJudgement;
using core::guard::DeleteReach;
using core::guard::GuardFolders;
using core::guard::PathGuard;
using core::guard::PathVerdict;

// The folders of this system and user: Windows, System, Program Files, the
// profile and application-data roots (refused, and system places for data
// files); My Documents and My Pictures (asked); the Windows Temp folder,
// ProgramData and the Public profile (shared: no link below them is followed).
GuardFolders SystemGuardFolders();

}  // namespace cleaner
