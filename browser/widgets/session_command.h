// The commands whose moment the recovery session decides, and the reasons it
// gives for refusing one. Each reason has one text (or none: a command of the
// other page, or one that waits for other work, is refused without a word).
#pragma once

namespace tallowin {

enum class SessionCommand {
  kBack,            // back to the start page, forgetting the catalogue
  kScan,            // Next: scan a BKF file, named in the box, dropped or recent
  kLoadSnapshot,    // load a recovery snapshot, chosen, dropped or recent
  kSaveSnapshot,    // write a recovery snapshot of the catalogue
  kRenameFolder,    // rename a folder of the tree
  kSave,            // save the checked files, or one file, or open one
  kVerify,          // verify the checked files, or every file
  kDragOut,         // drag a file out of the file list
  kSearch,          // Search Files
  kRecoveryReport,  // the Recovery Report
  kCheckFiles,      // the check boxes of the folder tree and the file list
  kFileMenu,        // the right button on a row of the file list
  kBrowse,          // show a row in the browser, go to the parent folder
};

enum class Refusal {
  kNone,                  // allowed
  kNoCatalogue,           // the command works on the browser page
  kCatalogueShown,        // the command works on the start page
  kWorkUnderWay,          // a save, a verification, a search or a load runs
  kScanRunning,           // a scan or a load fills the catalogue
  kScanRunningForChecks,  // the same, for a check box
  kScanRunningForMenu,    // the same, for the file list's menu
  kSnapshotWriting,       // a snapshot is being written from the catalogue
};

}  // namespace tallowin
