// The registry sections the scanner knows: the ids the page hands it (the
// image index of the node in the section tree), with the texts each shows and
// reports and the routine that scans it.
#pragma once

namespace registry {

class TScanTaskThread;

enum TScanSectionId : int {
  sidMyComputers = 1,  // group node
  sidFilesAndFolders,  // group node (holds 3 to 6)
  sidHkcr,
  sidHkcu,
  sidHklm,
  sidHku,
  sidSharedDlls,
  sidAppPaths,
  sidStartMenu,
  sidObsoleteSoftware,
  sidFileExtensions,
  sidFonts,
  sidHelpFiles,
  sidStartup,
  sidUninstall,
  sidCustomControls,
  sidServices,
  sidShortcuts,
  sidSoundEvents,
  sidActiveX,
  sidInstaller,
  sidOpenWithApps,
  sidEmptyUninstall,
  sidMruLists,
  sidEmptyRegistryKeys,
};

using TSectionRoutine = void (TScanTaskThread::*)();

struct TScanSection {
  int Id;
  const wchar_t* Node;     // the node's text in the section tree
  const wchar_t* Title;    // shown while it runs; nullptr keeps the previous title
  const wchar_t* Problem;  // the Problem column of its rows
  TSectionRoutine Routine; // nullptr: accepted, runs nothing yet
};

// The section of an id from 3 to 25; nullptr for groups and anything else.
const TScanSection* FindScanSection(int id);

}  // namespace registry
