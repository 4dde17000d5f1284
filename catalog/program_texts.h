// The texts of the core, each in exactly one place: its messages and the
// save's reasons, which both programs show. Each program's own texts stand
// with it (browser/widgets/desktop_texts.h, cli/cli_texts.h). The spelling of
// the texts the program has always shown is kept as it is, mistakes included.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallowin::texts {

inline constexpr std::u16string_view kOpenFailed =
    u"Some Error occoured while opening file. Make sure that file is not shared";
// Why a BKF file cannot be opened, where no system error says it.
inline constexpr std::string_view kNotFileOrDisk = "not a regular file or disk";
inline constexpr std::string_view kInUseElsewhere = "in use by another program";
inline constexpr std::u16string_view kNoDataFound = u"No data found in backup file";
inline constexpr std::u16string_view kSnapshotOpenFailed =
    u"Some problem occoured while opening file, make sure that file is not shared";

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

// The desktop program's messages.
inline constexpr std::u16string_view kSelectValidFile = u"Please select valid file by using Browse Button";

inline constexpr std::u16string_view kFolder = u"Folder";
inline constexpr std::u16string_view kReportOverBkf =
    u"The report cannot replace the BKF file that is being recovered. Please choose another name.";

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
