// Every text of the program, each in exactly one place: the core's messages,
// the save's reasons, and the desktop program's messages, titles and labels
// (its menu texts stand in its command table). The spelling of the texts the
// program has always shown is kept as it is, mistakes included.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallowin::texts {

inline constexpr std::u16string_view kAppTitle = u"Tallowin for BKF";
inline constexpr std::u16string_view kOpenFailed =
    u"Some Error occoured while opening file. Make sure that file is not shared";
// Why a BKF file cannot be opened, where no system error says it.
inline constexpr std::string_view kNotFileOrDisk = "not a regular file or disk";
inline constexpr std::string_view kInUseElsewhere = "in use by another program";
inline constexpr std::u16string_view kNoDataFound = u"No data found in backup file";
inline constexpr std::u16string_view kSearching = u"Searching file, please wait...";
inline constexpr std::u16string_view kSnapshotOpenFailed =
    u"Some problem occoured while opening file, make sure that file is not shared";

inline constexpr std::u16string_view kSnapshotInOtherEncoding =
    u"this file looks like a recovery snapshot in an encoding that this program does not read "
    u"(UTF-8 or UTF-16BE); snapshots are UTF-16LE";
inline constexpr std::u16string_view kEmptyPath = u"an empty path names no file";

// The Save Recovery Snapshot dialog's refusals, before it asks about an
// existing file.
inline constexpr std::u16string_view kSnapshotOverBkf =
    u"The recovery snapshot cannot replace the BKF file that is being recovered. Please choose another name.";
inline constexpr std::u16string_view kSnapshotOverNonFile =
    u"The recovery snapshot can only replace a file, not a folder or a device. Please choose another name.";

// Why a snapshot is not saved where the user asked (after "<path>: ").
inline constexpr std::string_view kTargetIsBkf =
    "this is the BKF file being recovered, which a snapshot never replaces";
inline constexpr std::string_view kTargetNotRegular = "this is not a regular file";
inline constexpr std::string_view kTargetNotSnapshot = "this file exists and is not a recovery snapshot";

// Why a saved or verified file has the verdict it has.
inline constexpr std::string_view kReasonDamaged = "the data does not match the checksum stored with it";
inline constexpr std::string_view kReasonStoredEncrypted =
    "the backup stores this file encrypted, which this program cannot undo; its bytes are as stored";
inline constexpr std::string_view kReasonStoredCompressed =
    "the backup stores this file compressed, which this program cannot undo; its bytes are as stored";
inline constexpr std::string_view kReasonChecksumMissing = "the checksum stored with it is missing";
inline constexpr std::string_view kReasonHeaderDamaged = "the header of its data is damaged";
inline constexpr std::string_view kReasonNoChecksum = "the backup stores no checksum for it";
inline constexpr std::string_view kReasonSparse = "a sparse file carries no checksum";
inline constexpr std::string_view kReasonSparseSizeFromPieces =
    "the block that gives its size is damaged, so it ends where its last piece ends; a sparse file carries no "
    "checksum";
inline constexpr std::string_view kReasonEmpty = "an empty file has no data to check";

// Why a file could not be saved, or not completely.
std::string FolderNotMade(std::string_view name, std::string_view reason);
std::string FolderNotOpened(std::string_view reason);
std::string FileNotCreated(std::string_view name, std::string_view reason);
std::string WriteFailed(std::string_view name, std::string_view reason);
std::string Skipped(std::string_view problem);
std::string DestinationNotOpened(std::string_view reason);
// The destination refused a file for a reason that holds for every file
// (full, read-only, not writable): the rest are not tried.
std::string DestinationRefuses(std::string_view reason);
std::string NotTried(std::uint64_t files, std::string_view destinationRefuses);
// The cause, when known, follows on a line of its own.
std::string BkfNotOpened(std::string_view path, std::string_view cause);
std::string EndsBeforeFile(std::uint64_t done, std::uint64_t size);
std::string UnreadablePast(std::uint64_t done, std::uint64_t size);
std::string SizeNotValid(std::int64_t size);
std::string SizeNotANumber(std::string_view text);
std::string OffsetNotANumber(std::string_view text);
std::string OffsetNotValid(std::int64_t offset);
std::string OffsetPastEnd(std::int64_t offset);
inline constexpr std::string_view kSparseEndsEarly = "the BKF file ends before the pieces of this sparse file do";
inline constexpr std::string_view kSparseUnreadable = "a piece of this sparse file could not be read from the BKF file";
inline constexpr std::string_view kSaveCancelled = " The save was cancelled.";
inline constexpr std::string_view kVerifyCancelled = " The verification was cancelled.";

inline constexpr std::u16string_view kWrongBkf = u"This BKF file does not hold the data that the snapshot describes";

// twbkf's messages (its options are described where they are defined).
inline constexpr std::string_view kSnapshotNotWritten = "the snapshot was not written: ";
inline constexpr std::string_view kForceReplaces = " (--force replaces it)";
inline constexpr std::string_view kOutputFailed = "standard output: ";
inline constexpr std::string_view kLogWrittenTo = "Activity log: ";
inline constexpr std::string_view kLogNotWritten = "the activity log could not be written to ";
inline constexpr std::string_view kUnexpectedError = "an unexpected error ended the program";

// The desktop program's messages.
inline constexpr std::u16string_view kSelectValidFile = u"Please select valid file by using Browse Button";
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
inline constexpr std::u16string_view kFolder = u"Folder";
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
inline constexpr std::u16string_view kReportOverBkf =
    u"The report cannot replace the BKF file that is being recovered. Please choose another name.";
inline constexpr std::u16string_view kReportOverNonFile =
    u"The report can only replace a file, not a folder or a device. Please choose another name.";
inline constexpr std::u16string_view kSavingCancelling =
    u"Cancelling: the file being saved is removed, the finished ones stay...";
inline constexpr std::u16string_view kSearchTitle = u"Search Files..";
inline constexpr std::u16string_view kSearchFound = u"Total File Found :";
inline constexpr std::u16string_view kReady = u"Ready";
inline constexpr std::u16string_view kHomePageTooltip = u"Visit Software Homepage";

// "Progress : " position " \ " size, for example "Progress : 131072 \ 5000000".
std::u16string ProgressLabel(std::uint64_t position, std::uint64_t fileSize);
// "File(s) Found : " count.
std::u16string FilesFoundLabel(std::uint64_t count);
// What the catalogue that the backup keeps at the end of each set gave
// for files whose blocks were lost, e.g. "2 file(s) came back from the
// backup's own catalogue; it lists 1 more file(s) whose data was not
// found."; empty when it gave nothing and listed nothing in vain.
std::u16string SetCatalogueNote(std::uint64_t rows, std::uint64_t notFound);
// position x 100 / size, truncated; 0 for an empty file.
int ProgressPercent(std::uint64_t position, std::uint64_t fileSize);

}  // namespace tallowin::texts
