// Every text of twbkf that is its own (the core's messages and reasons are
// in catalog/program_texts.h; the options' help stands where they are
// defined). Messages to standard error begin with "twbkf: ", as every tool
// of a shell names itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallowin::cli::texts {

inline constexpr std::string_view kProgram = "twbkf: ";
// "twbkf: 'lst' is not a command; see twbkf --help"
std::string NotACommand(std::string_view word);
inline constexpr std::string_view kSeeHelp = "; see twbkf --help";

// What failed, after "twbkf: PATH: ".
inline constexpr std::string_view kCannotScan = "cannot scan: ";
inline constexpr std::string_view kCannotRead = "cannot read: ";
inline constexpr std::string_view kCannotWrite = "cannot write: ";
inline constexpr std::string_view kNotASnapshot = "not a recovery snapshot that this program can read";
inline constexpr std::string_view kNotFoundInBackup = "not found in the backup";
inline constexpr std::string_view kMatchesNothing = "matches no file";
inline constexpr std::string_view kNothingChosen = "no file is chosen: nothing to do";
inline constexpr std::string_view kArchiveIsBkf = "this is the BKF file being recovered, which is never replaced";
inline constexpr std::string_view kArchiveExists = "the file exists (--force replaces it)";
inline constexpr std::string_view kArchiveNotRegular = "not a regular file, which is never replaced";
inline constexpr std::string_view kUnknownArchiveKind =
    "the archive's kind is told by its name's ending: .tar, .tar.gz, .tgz, .tar.zst, .tar.xz, .tar.bz2 or .zip";
inline constexpr std::string_view kNoArchives = "tar and zip output is not part of this build of twbkf";
inline constexpr std::string_view kArchiveRemoved = "interrupted: the unfinished archive was removed";
inline constexpr std::string_view kOneDestination = "extract needs one of -C DIR, -o ARCHIVE and --stdout";
inline constexpr std::string_view kDryRunNeedsPlace = "--dry-run goes with -C DIR or -o ARCHIVE";
inline constexpr std::string_view kFlatAndStrip = "--flat and --strip-components cannot be given together";

// "stopped at 13% (1.4 GiB of 3.0 GiB): the catalogue is partial"
std::string StoppedAt(std::uint64_t position, std::uint64_t size);
// "interrupted: 3 of 10 file(s) done"
std::string InterruptedAfter(std::uint64_t done, std::uint64_t total);

// "1.4 GiB", "512 bytes"
std::string HumanSize(std::uint64_t bytes);
// "0:42", "1:02:03"
std::string Duration(std::uint64_t seconds);

// extract's closing lines.
std::string SavedInto(std::string_view where);
std::string WrittenTo(std::string_view archive);
std::string WouldWrite(std::uint64_t files);

// The per-set summary of a scan.
inline constexpr std::string_view kCutShort = "cut short: its end-of-set block was not found";
inline constexpr std::string_view kNoSetBlock = "its data set block was lost";
std::string FromSetCatalogue(std::uint64_t files);
std::string NotFoundInSetCatalogue(std::uint64_t files);
inline constexpr std::string_view kLostFolders = "folder blocks were lost: some files lie in lost folders";
inline constexpr std::string_view kUnknownDate = "unknown";

// Its messages on the snapshot, the activity log, the output and its own end.
inline constexpr std::u16string_view kSnapshotInOtherEncoding =
    u"this file looks like a recovery snapshot in an encoding that this program does not read "
    u"(UTF-8 or UTF-16BE); snapshots are UTF-16LE";
inline constexpr std::u16string_view kEmptyPath = u"an empty path names no file";
inline constexpr std::string_view kSnapshotNotWritten = "the snapshot was not written: ";
inline constexpr std::string_view kForceReplaces = " (--force replaces it)";
inline constexpr std::string_view kOutputFailed = "standard output: ";
inline constexpr std::string_view kLogWrittenTo = "Activity log: ";
inline constexpr std::string_view kLogNotWritten = "the activity log could not be written to ";
inline constexpr std::string_view kUnexpectedError = "an unexpected error ended the program";

}  // namespace tallowin::cli::texts
