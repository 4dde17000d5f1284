// The program's own texts that the core hands to its front ends, each in
// exactly one place. The spelling is the program's and is kept as it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallowin::texts {

inline constexpr std::u16string_view kAppTitle = u"Tallowin for BKF";
inline constexpr std::u16string_view kOpenFailed =
    u"Some Error occoured while opening file. Make sure that file is not shared";
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
inline constexpr std::string_view kReasonChecksumUnreadable = "the checksum stored with it cannot be read";
inline constexpr std::string_view kReasonNoChecksum = "the backup stores no checksum for it";
inline constexpr std::string_view kReasonSparse = "a sparse file carries no checksum";
inline constexpr std::string_view kReasonEmpty = "an empty file has no data to check";

// "Progress : " position " \ " size, for example "Progress : 131072 \ 5000000".
std::u16string ProgressLabel(std::uint64_t position, std::uint64_t fileSize);
// "File(s) Found : " count.
std::u16string FilesFoundLabel(std::uint64_t count);
// position x 100 / size, truncated; 0 for an empty file.
int ProgressPercent(std::uint64_t position, std::uint64_t fileSize);

}  // namespace tallowin::texts
