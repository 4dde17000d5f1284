// Snapshot files: a scan's result saved so that the catalogue can be rebuilt
// without scanning again. UTF-16LE text without a byte-order mark, CR LF line
// ends: "<" BKF path ">", "<" row count ">", then one line per row holding
// cells 0 and 2 to 9, each value between "<" and ">".
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalogue.h"

namespace tallowin {

struct SnapshotWriteResult {
  bool ok = false;
  std::string error;  // why the snapshot could not be written
};

// Writes to a temporary file beside `target` and moves it over `target` only
// when complete, so an existing snapshot is never left half written.
SnapshotWriteResult WriteSnapshot(const std::filesystem::path& target, std::u16string_view bkfPath,
                                  const Catalogue& catalogue);

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
class SnapshotLoadObserver {
 public:
  virtual ~SnapshotLoadObserver() = default;
  // The recorded BKF file does not exist: the path to use instead, or nothing
  // to give up the load.
  virtual std::optional<std::u16string> LocateMissingBkf(std::u16string_view recordedPath) = 0;
  // The two header lines are read and the rows are about to be loaded.
  virtual void OnRowsBegin(std::u16string_view bkfPath) { (void)bkfPath; }
  virtual void OnProgress(int percent) { (void)percent; }
  // Polled before every row line.
  virtual bool StopRequested() { return false; }
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
SnapshotLoadResult LoadSnapshot(const std::filesystem::path& path, Catalogue& catalogue,
                                SnapshotLoadObserver& observer);
SnapshotLoadResult LoadSnapshot(std::istream& in, Catalogue& catalogue,
                                SnapshotLoadObserver& observer);

// True when the file begins with the first value of a snapshot: "<" as a
// UTF-16LE unit, optionally after a byte-order mark.
bool LooksLikeSnapshot(const std::filesystem::path& path);

}  // namespace tallowin
