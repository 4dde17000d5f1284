// Snapshot files: a scan's result saved so that the catalogue can be rebuilt
// without scanning again. UTF-16LE text without a byte-order mark, CR LF line
// ends: "<" BKF path ">", "<" row count ">", then one line per row holding
// cells 0 and 2 to 9, each value between "<" and ">".
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalogue.h"
#include "catalog/job_progress.h"

namespace tallowin {

// What is at the place where a snapshot is to be saved.
enum class SnapshotTargetKind {
  kNew,         // nothing yet
  kSnapshot,    // a snapshot, or an empty file: it is replaced
  kOtherFile,   // a file that is not a snapshot: replaced only when asked to
  kBkfFile,     // the BKF file the catalogue describes: never replaced
  kFolder,      // never replaced
  kNotRegular,  // a device, pipe or socket: never replaced
};

struct SnapshotTarget {
  SnapshotTargetKind kind = SnapshotTargetKind::kNew;
  // Where the file goes: a link is followed to what it names, so that the
  // link stays and its target is replaced.
  std::filesystem::path path;
};

SnapshotTarget ExamineSnapshotTarget(const std::filesystem::path& target,
                                     const std::filesystem::path& bkfPath);

enum class SnapshotWriteStatus {
  kWritten,
  kRefused,  // the target must not be replaced; nothing was written
  kFailed,   // a call failed; the target is as it was
};

struct SnapshotWriteResult {
  SnapshotWriteStatus status = SnapshotWriteStatus::kFailed;
  SnapshotTargetKind target = SnapshotTargetKind::kNew;
  std::string error;  // "<path>: <reason>" when not written

  bool ok() const { return status == SnapshotWriteStatus::kWritten; }
};

// Writes the snapshot in full, syncs it, and only then puts it in the place
// of `target` (ReplacingFile), so that `target` is always the old file or the
// whole new one. The BKF file, folders and anything that is not a regular
// file are refused, and so is a file that is not a snapshot unless
// `replaceAnyFile` (the user has agreed to replace it).
SnapshotWriteResult WriteSnapshot(const std::filesystem::path& target, std::u16string_view bkfPath,
                                  const Catalogue& catalogue, bool replaceAnyFile = false);

// The text of one row line, CR LF included.
std::u16string SnapshotRowLine(const Catalogue& catalogue, RowIndex row);

// Line 1: the text between the first "<" and the first ">" at or after the
// second character; nothing when either is missing.
std::optional<std::u16string> ParseSnapshotPathLine(std::u16string_view line);
// Line 2: the expected row count, for progress only.
std::int32_t ParseSnapshotCountLine(std::u16string_view line);
// One row line gives one row: the first value is the path (its folder chain
// goes into the tree), the next eight fill cells 2 to 9, more are ignored.
void AddSnapshotRow(Catalogue& catalogue, std::u16string_view line);

// Reads a snapshot line by line; a line ends at LF, and the CR before it stays
// in the line (it lies outside every value).
class SnapshotReader {
 public:
  explicit SnapshotReader(std::istream& in) : in_(in) {}
  bool ReadLine(std::u16string& line);

 private:
  bool Refill();

  std::istream& in_;
  std::vector<char> buffer_;
  std::size_t next_ = 0;
};

// Decides, while a snapshot loads, what a user decides in the front end.
// Progress (JobProgress): the row lines read of the count that line 2 gives,
// before a row line whenever the percent moves.
class SnapshotLoadObserver : public JobObserver {
 public:
  // The recorded BKF file does not exist: the path to use instead, or nothing
  // to give up the load.
  virtual std::optional<std::u16string> LocateMissingBkf(std::u16string_view recordedPath) = 0;
  // The two header lines are read and the rows are about to be loaded.
  virtual void OnRowsBegin(std::u16string_view bkfPath) { (void)bkfPath; }
};

enum class SnapshotLoadStatus {
  kLoaded,      // rows were loaded and checked
  kNoData,      // message: texts::kNoDataFound
  kOpenFailed,  // message: texts::kSnapshotOpenFailed
  kCancelled,   // the user gave up choosing the BKF file
};

struct SnapshotLoadResult {
  SnapshotLoadStatus status = SnapshotLoadStatus::kOpenFailed;
  std::u16string bkfPath;
  std::u16string_view message;  // the text to show, empty for none
};

// Loads a snapshot into `catalogue` as the load command does: the folder tree
// is cleared once the file opens, the rows once the header lines are read.
// `stop` is looked at before every row line: the rows so far stay.
SnapshotLoadResult LoadSnapshot(const std::filesystem::path& path, Catalogue& catalogue,
                                SnapshotLoadObserver& observer, std::stop_token stop = {});
SnapshotLoadResult LoadSnapshot(std::istream& in, Catalogue& catalogue,
                                SnapshotLoadObserver& observer, std::stop_token stop = {});

// True when the file is a regular file that begins with the first value of
// a snapshot: "<" as a UTF-16LE unit, optionally after a byte-order mark.
// Nothing else is opened, so a pipe or a device never blocks the caller.
bool LooksLikeSnapshot(const std::filesystem::path& path);

// True when the file is a regular file whose first two lines are those of a
// snapshot as this program writes it: "<" the BKF path ">", then "<" the
// row count ">", in UTF-16LE (a byte-order mark allowed). A text that only
// begins with "<" (XML, HTML) is no snapshot, and is never replaced as one.
bool IsSnapshotFile(const std::filesystem::path& path);

// True when the file looks like a snapshot written in another encoding
// (UTF-8, with or without its mark, or UTF-16BE), which this program does
// not read: "<" first, and a ">" that closes the path on the first line.
bool LooksLikeSnapshotInOtherEncoding(const std::filesystem::path& path);

}  // namespace tallowin
