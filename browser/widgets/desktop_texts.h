// The desktop program's own texts that the core has no use for: what the
// lists say of the verdicts, the filter, the reports, the notes on a stopped
// or loaded catalogue, the names and descriptions that accessibility tools
// read. Each text is written here once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "browser/widgets/session_command.h"

namespace tallowin::desktop {

// The verdict column and the marks of folders that hold trouble.
inline constexpr std::u16string_view kVerdictHeading = u"Verdict";
inline constexpr std::u16string_view kVerdictNames[7] = {u"Verified",         u"Unchecked",        u"Damaged",
                                                         u"Incomplete",       u"Stored encrypted", u"Stored compressed",
                                                         u"Skipped"};
inline constexpr std::u16string_view kVerifiedTip = u"The data matches the checksum stored with it";
inline constexpr std::u16string_view kTroubleBelow = u"Damaged or incomplete files lie in this folder or below it";

// The filter bar, and the toolbar that holds it.
inline constexpr std::u16string_view kFilterToolBar = u"Filter";
inline constexpr std::u16string_view kFilterLabel = u"Fi&lter:";
inline constexpr std::u16string_view kFilterPlaceholder = u"Part of a file name";
inline constexpr std::u16string_view kShowLabel = u"Sho&w:";
inline constexpr std::u16string_view kShowChoices[3] = {u"all files", u"only damaged or incomplete", u"only verified"};

// Buttons and labels that keep the texts given for them, with a key to reach them.
inline constexpr std::u16string_view kOkButton = u"&OK";
inline constexpr std::u16string_view kCancelButton = u"&Cancel";
inline constexpr std::u16string_view kYesButton = u"&Yes";
inline constexpr std::u16string_view kNoButton = u"&No";
inline constexpr std::u16string_view kOpenFolderButton = u"&Open Folder";
inline constexpr std::u16string_view kRenameLabel = u"&Folder Name :";
inline constexpr std::u16string_view kPrefixLabel = u"Folder name &prefix";
inline constexpr std::u16string_view kGenerateLogLabel = u"     &Generate Log";
inline constexpr std::u16string_view kSearchButton = u"&Search";
inline constexpr std::u16string_view kStopButton = u"S&top";
inline constexpr std::u16string_view kSearchPrompt = u"&Enter String : ";

inline constexpr std::u16string_view kRecentMenu = u"R&ecent";
inline constexpr std::u16string_view kClearRecent = u"&Clear";

// Context menus of the tree and the file list.
inline constexpr std::u16string_view kSaveFilesMenu = u"&Save Files";
inline constexpr std::u16string_view kRenameFolderMenu = u"&Rename Folder";
inline constexpr std::u16string_view kParentFolderMenu = u"&Parent Folder";
inline constexpr std::u16string_view kOpenMenu = u"&Open";
inline constexpr std::u16string_view kSaveFileMenu = u"&Save File";

// Opening, saving and dragging out one file.
inline constexpr std::u16string_view kSaveFileTitle = u"Select the folder for the saved file";
inline constexpr std::u16string_view kOpeningTitle = u"Opening File..";
inline constexpr std::u16string_view kOpening = u"Reading the file out of the BKF file, to open it";
inline constexpr std::u16string_view kSavingOne = u"Saving the file into";
inline constexpr std::u16string_view kNotOpened = u"The file could not be opened: ";
inline constexpr std::u16string_view kNoProgram = u"No program of this desktop opens the file ";
inline constexpr std::u16string_view kNotCopied = u"The file could not be copied out of the BKF file: ";
inline constexpr std::u16string_view kPrivateFolderMissing =
    u"the program's private temporary folder could not be made";

// Verifying.
inline constexpr std::u16string_view kVerifyingAll =
    u"Reading every file and checking it against the checksum stored with it";
inline constexpr std::u16string_view kVerifyAllTooltip =
    u"Verify every file against the checksum stored with it, without saving anything";
inline constexpr std::u16string_view kShowInBrowser = u"Show in &Browser";
inline constexpr std::u16string_view kCopy = u"&Copy";
inline constexpr std::u16string_view kSaveAsText = u"Save as &Text...";
inline constexpr std::u16string_view kClose = u"&Close";
inline constexpr std::u16string_view kReportHeadings[3] = {u"File Name", u"Verdict", u"Reason"};

// What a catalogue is, told in the status bar and the title.
// "Stopped at 42% (1.4 GiB of 3.0 GiB): the catalogue is partial"
std::u16string StoppedNote(int percent, std::uint64_t position, std::uint64_t fileSize);
// "Stopped at 42% of the snapshot: the catalogue is partial"
std::u16string LoadStoppedNote(int percent);
// "Loaded from the recovery snapshot weekly.TWBKF"
std::u16string LoadedNote(std::u16string_view snapshotName);
inline constexpr std::u16string_view kDamageFound = u"The scan found damage: see the Recovery &Report";

// Why a command must wait: a scan or a load fills the catalogue, or a
// snapshot is being written from it.
inline constexpr std::u16string_view kStopScanFirst = u"Please stop scanning process";
inline constexpr std::u16string_view kScanGuard = u"Please stop scanning process , then select files";
inline constexpr std::u16string_view kSearchGuard = u"Please stop search scanning , then select files";
inline constexpr std::u16string_view kWaitForSnapshot =
    u"The recovery snapshot is still being written. Please wait until it is saved.";
// The text of a refusal; empty for one that is not told.
std::u16string_view RefusalText(Refusal reason);

// Questions and messages.
inline constexpr std::u16string_view kConfirmBack =
    u"Back forgets this catalogue, with the check marks and folder names you changed. Do you want to go back to "
    u"the start page?";
// The snapshot's BKF file is not where the snapshot says.
std::u16string BkfMoved(std::u16string_view recordedPath);
// A second start handed a file to this one, which cannot open it now.
std::u16string CannotOpenNow(std::u16string_view path, bool catalogueShown);

// The progress line: "Progress : 1.4 GiB \ 3.0 GiB, about 2 min left".
std::u16string ProgressLine(std::uint64_t position, std::uint64_t fileSize, std::optional<double> secondsLeft);
// "%1 of %2 file(s), 1.4 GiB of 3.0 GiB, about 2 min left", for the windows of the save and the verification.
std::u16string FileWorkLine(std::uint64_t files, std::uint64_t totalFiles, std::uint64_t bytes,
                            std::uint64_t totalBytes, std::optional<double> secondsLeft);
// "0 bytes", "512 bytes", "1.4 KiB", "3.0 GiB".
std::u16string DataSize(std::uint64_t bytes);
// "about 40 s left", "about 3 min left", "about 1 h 5 min left".
std::u16string TimeLeft(double seconds);

// What the searching label shows while a scan runs.
inline constexpr std::u16string_view kSearching = u"Searching file, please wait...";

// The Recovery Report.
inline constexpr std::u16string_view kRecoveryReportTitle = u"Recovery Report";

// What accessibility tools read for each control, by the control's object name.
struct ControlDescription {
  std::string_view objectName;
  std::u16string_view name;
  std::u16string_view description;
};

// The home page button's tip, which is also its description.
inline constexpr std::u16string_view kHomePageTooltip = u"Visit Software Homepage";
inline constexpr ControlDescription kControlDescriptions[] = {
    // The start page.
    {"pathBox", u"BKF file", u"The path of the damaged BKF file to recover"},
    {"browse", u"Browse", u"Choose the BKF file in a file dialog"},
    {"next", u"Next", u"Scan the BKF file named in the path box (Alt+N)"},
    // The browser page.
    {"folderTree", u"Folder tree", u"The backup sets and folders found; Space checks or clears a folder"},
    {"fileList", u"File list",
     u"The contents of the selected folder; Space checks or clears a row, Enter opens a folder or a file"},
    {"catalogueList", u"List of recovered files",
     u"Every file found, in the order found; Space checks or clears a file, Enter shows it in the folder tree"},
    {"progressBar", u"Progress", u"How much of the BKF file the scan has read"},
    {"searchingLabel", u"Scan state", u"What the scan is doing"},
    {"progressLabel", u"Bytes read", u"The bytes read of the BKF file and the time left"},
    {"foundLabel", u"Files found", u"How many files the scan has found"},
    {"stop", u"Stop", u"Stop the scan and keep what it found (Alt+P)"},
    {"back", u"Back", u"Return to the start page (Alt+B)"},
    {"save", u"Save", u"Save the checked files (Alt+S)"},
    {"verify", u"Verify", u"Verify every file against the checksum stored with it (Alt+V)"},
    {"treeHandle", u"Border of the folder tree", u"Drag to give the folder tree or the file list more room"},
    {"listHandle", u"Border of the list of recovered files",
     u"Drag to give the list of recovered files more room"},
    {"filterText", u"Filter", u"Show only the files whose name holds this text (Alt+L)"},
    {"verdictChoice", u"Show", u"Show all files, only damaged or incomplete ones, or only verified ones (Alt+W)"},
    // The main window.
    {"Standard", u"Standard toolbar", u"The main commands"},
    {"filterToolBar", u"Filter toolbar", u"The quick filter over the lists"},
    {"1002", u"Home page", kHomePageTooltip},
    {"checkedPane", u"Checked files", u"How many files are checked, and their size"},
    {"setCataloguePane", u"The backup's own catalogue", u"What the catalogue kept at the end of each set gave back"},
    {"cataloguePane", u"Catalogue", u"Whether the catalogue is partial, or which snapshot it came from"},
    {"reportOffer", u"Recovery Report", u"The scan found damage: show what it cost"},
    // Dialogs.
    {"searchBox", u"Search pattern", u"The wildcard pattern that the files' paths must fit"},
    {"search", u"Search", u"Search the catalogue"},
    {"stopSearch", u"Stop", u"Stop the search and keep the files found so far"},
    {"progress", u"Progress", u"How much of the catalogue the search has gone through"},
    {"results", u"Files found", u"The files whose path fits the pattern; Enter shows one in the browser"},
    {"ok", u"OK", u"Close the window"},
    {"cancel", u"Cancel", u"Cancel"},
    {"prefix", u"Folder name prefix", u"The start of the name of the folder that each save makes"},
    {"generateLog", u"Generate Log", u"Write the activity log of the recoveries that follow"},
    {"1005", u"Folder name", u"The new name of the folder"},
    {"1004", u"Progress", u"How much of the work is done"},
    {"notVerified", u"Files not verified",
     u"Every file that is not verified, with its verdict and reason; Space checks or clears one, Enter shows it "
     u"in the browser"},
    {"showInBrowser", u"Show in Browser", u"Close the report and show the current file in the browser"},
    {"copy", u"Copy", u"Copy the report to the clipboard"},
    {"saveAsText", u"Save as Text", u"Keep the report in a text file"},
    {"close", u"Close", u"Close the report"},
    {"report", u"Report", u"The text of the report"},
};

inline constexpr std::u16string_view kAppTitle = u"Tallowin for BKF";
inline constexpr std::u16string_view kConfirmStop = u"Do you really want to stop repairing process";
inline constexpr std::u16string_view kConfirmExit = u"Do you really want to exit?";
inline constexpr std::u16string_view kFileExists = u"File already exists.\r\nDo you want to replace it?";
inline constexpr std::u16string_view kSnapshotNotSaved = u"The recovery snapshot could not be saved: ";
inline constexpr std::u16string_view kFolderNotWritable =
    u"The files cannot be saved in the folder you chose. Please choose another folder.";
inline constexpr std::u16string_view kRenameEmpty = u"Please enter a name for the folder";
inline constexpr std::u16string_view kRenameIllegal = u"A folder name cannot hold any of the characters \\ / | * : ? < >";
inline constexpr std::u16string_view kRenameTopLevel = u"The top-level folder cannot be renamed";
inline constexpr std::u16string_view kIllegalPrefix = u"Illegal character found in file pre fix ";
inline constexpr std::u16string_view kAnotherInstance = u"Another Instance of Tallowin for BKF is running ";
inline constexpr std::u16string_view kHelpMissing =
    u"The help file not found on installed location \r\n please reinstall software";
// The desktop program's dialog titles, filters, labels and tooltips.
inline constexpr std::u16string_view kBrowseTitle = u"Select BKF file for recovery...";
inline constexpr std::u16string_view kLoadSnapshotTitle = u"Please select the Saved recovery information file ...";
inline constexpr std::u16string_view kLocateBkfTitle = u"Select BKF file ...";
inline constexpr std::u16string_view kSaveFolderTitle = u"Select the folder for the recovered files";
inline constexpr std::u16string_view kBkfFilter = u"Backup Files(*.bkf)|*.bkf| All Files(*.*)|*.*||";
inline constexpr std::u16string_view kSnapshotFilter = u"Tallowin SnapShot File(*.TWBKF)|*.TWBKF| All Files(*.*)|*.*||";
inline constexpr std::u16string_view kSnapshotSaveFilter = u"Tallowin SnapShot File(.TWBKF) (*.TWBKF)";
inline constexpr std::u16string_view kPrompt = u"Please select the file to repair";
inline constexpr std::u16string_view kBrowseButton = u"&Browse...";
inline constexpr std::u16string_view kNextTooltip = u"Add Files to repair";
inline constexpr std::u16string_view kStopTooltip = u"Stop the scan";
inline constexpr std::u16string_view kBackTooltip = u"Back to the choice of a file";
inline constexpr std::u16string_view kSaveTooltip = u"Save the checked files";
inline constexpr std::u16string_view kParentFolder = u"Parent Folder";
inline constexpr std::u16string_view kCatalogueHeadings[3] = {u"File Name", u"File Type", u"File Size"};
inline constexpr std::u16string_view kFileListHeadings[5] = {u"Name", u"Type", u"File Size", u"Date Modified",
                                                             u"Date Created"};
inline constexpr std::u16string_view kFolderSettingTitle = u"Folder Setting";
inline constexpr std::u16string_view kRenameTitle = u"Rename folder";
inline constexpr std::u16string_view kSavingTitle = u"Saving Files..";
inline constexpr std::u16string_view kSavingPreparing = u"Preparing...";
inline constexpr std::u16string_view kSavingInto = u"Saving the checked files into";
inline constexpr std::u16string_view kVerifyingTitle = u"Verifying Files..";
inline constexpr std::u16string_view kVerifyingFiles =
    u"Reading the checked files and checking them against the checksums stored with them";
inline constexpr std::u16string_view kVerifyReportTitle = u"Verify Checked Files";
inline constexpr std::u16string_view kReportSaveTitle = u"Save as Text...";
inline constexpr std::u16string_view kSavedInto = u"Saved into ";
inline constexpr std::u16string_view kCheckedSummary = u"%1 files checked, %2";
inline constexpr std::u16string_view kReportFilter = u"Text files (*.txt)";
inline constexpr std::u16string_view kReportNotSaved = u"The report could not be saved: ";
inline constexpr std::u16string_view kReportOverNonFile =
    u"The report can only replace a file, not a folder or a device. Please choose another name.";
inline constexpr std::u16string_view kSavingCancelling =
    u"Cancelling: the file being saved is removed, the finished ones stay...";
inline constexpr std::u16string_view kSearchTitle = u"Search Files..";
inline constexpr std::u16string_view kSearchFound = u"Total File Found :";
inline constexpr std::u16string_view kReady = u"Ready";

}  // namespace tallowin::desktop
