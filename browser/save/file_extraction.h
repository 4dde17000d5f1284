// Saving the checked files: each checked row's bytes are copied out of the
// BKF file, unchanged, into a folder tree below the destination.
//
// Every save makes one new folder in the destination, the folder name prefix
// followed by the first component of the catalogue path ("RecBKF", then
// "RecBKF (2)", ...), so a save never overwrites or merges into earlier
// output. Below it each further folder component becomes a folder, then the
// file. Two rows that come to the same name get " (2)", " (3)", ...
//
// A save of a few files the user named (a file opened, dragged out or saved
// on its own) may put them flat into the destination instead: each under its
// own name, or " (2)", " (3)", ... when that name is taken, never over it.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "browser/save/checked_rows.h"
#include "browser/save/file_data.h"
#include "catalog/catalogue.h"
#include "engine/bkf_file.h"

namespace tallowin {

enum class SaveLayout {
  kTree,  // a new folder named after the prefix, the catalogue's folders below it
  kFlat,  // the files themselves in the destination
};

struct SaveRequest {
  std::filesystem::path bkfPath;
  std::filesystem::path destination;
  std::u16string prefix = u"Rec";
  BkfOpener opener = OpenBkfFile;
};

struct SaveProblem {
  RowIndex row = -1;
  std::u16string path;  // the catalogue path
  std::string reason;
  // The file's verdict; nothing for a file that was not saved at all.
  std::optional<FileVerdict> verdict;
};

// How a save went, file by file. A file saved complete is verified or
// unchecked; every other file is listed in `problems` with its reason.
struct SaveSummary {
  std::uint64_t saved = 0;       // complete: verified + unchecked
  std::uint64_t verified = 0;    // ... whose data matches the checksum stored with it
  std::uint64_t unchecked = 0;   // ... with no usable checksum
  std::uint64_t damaged = 0;     // kept on disk, but not as the backup stored it
  std::uint64_t storedEncrypted = 0;   // kept as stored: this program cannot decrypt
  std::uint64_t storedCompressed = 0;  // kept as stored: this program cannot decompress
  std::uint64_t incomplete = 0;  // saved as far as the BKF file holds them
  std::uint64_t failed = 0;      // not saved at all
  bool cancelled = false;
  std::string fatalError;  // the save could not start
  bool bkfUnreadable = false;  // ... because the BKF file could not be opened
  std::vector<SaveProblem> problems;  // every file not saved complete, in order
  std::vector<std::filesystem::path> folders;  // the new folders made in the destination

  bool Complete() const { return fatalError.empty() && !cancelled && saved == Attempted(); }
  // Every file that the save got to.
  std::uint64_t Attempted() const {
    return saved + damaged + storedEncrypted + storedCompressed + incomplete + failed;
  }
};

// One file that the save got to.
struct SavedFileReport {
  RowIndex row = -1;
  std::filesystem::path file;  // where it now is; empty when nothing was kept
  std::optional<FileVerdict> verdict;  // nothing for a file that was not saved at all
  std::string reason;  // why the verdict is not "verified", or why nothing was saved
};

class SaveObserver {
 public:
  virtual ~SaveObserver() = default;
  // After every file, in catalogue order.
  virtual void OnFileSaved(const SavedFileReport& report) { (void)report; }
  // Often: after every file and during large ones. The receiver throttles.
  virtual void OnSaveProgress(std::uint64_t filesDone, std::uint64_t filesTotal,
                              std::uint64_t bytesDone, std::uint64_t bytesTotal) {
    (void)filesDone, (void)filesTotal, (void)bytesDone, (void)bytesTotal;
  }
};

// Saves the selected rows in catalogue order, laid out as `layout` says.
// Cancel is polled between files and while copying; a file cut short by it is
// removed, finished ones stay. The catalogue is not changed.
SaveSummary SaveRows(const Catalogue& catalogue, const SaveRequest& request, const RowSelection& selection,
                     SaveLayout layout, SaveObserver& observer, const std::atomic<bool>& cancel);
inline SaveSummary SaveCheckedFiles(const Catalogue& catalogue, const SaveRequest& request, SaveObserver& observer,
                                    const std::atomic<bool>& cancel) {
  return SaveRows(catalogue, request, RowSelection::Checked(), SaveLayout::kTree, observer, cancel);
}

// "3 file(s) saved (2 verified, 1 unchecked), 1 damaged, 0 stored encrypted,
// 0 stored compressed, 1 incomplete, 0 failed." then one line per problem.
std::u16string SaveSummaryText(const SaveSummary& summary);

}  // namespace tallowin
