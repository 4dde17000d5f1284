// Saving the checked files: each checked row's bytes are copied out of the
// BKF file, unchanged, into a folder tree below the destination.
//
// Every save makes one new folder in the destination, the folder name prefix
// followed by the first component of the catalogue path ("RecBKF", then
// "RecBKF (2)", ...), so a save never overwrites or merges into earlier
// output. Below it each further folder component becomes a folder, then the
// file. Two rows that come to the same name get " (2)", " (3)", ...
//
// The same save writes into an archive or anywhere else a SaveTarget puts
// files, with the same names and bytes; the layout can leave out leading
// folders of the catalogue path, or every folder. A save of a few files the
// user named (a file opened, dragged out or saved on its own) puts them flat
// into the destination: each under its own name, or " (2)", " (3)", ...
// when that name is taken, never over it.
//
// The same pass only verifies when asked to: each file's data is read
// exactly as the save reads it and its checksum checked, but nothing is
// written anywhere, so damage shows before anything is saved.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "catalog/job_progress.h"
#include "save/checked_rows.h"
#include "engine/file_data.h"
#include "save/save_target.h"
#include "engine/bkf_file.h"

namespace tallowin {

// Which folders of a catalogue path a saved file lies in.
struct SaveLayout {
  // Leaves out this many leading folders of the catalogue path ("BKF" is
  // the first); a file's own name is never left out. With any, the files
  // go into the destination itself, not into a new folder.
  int stripFolders = 0;
  // No folders at all: every file in the destination itself.
  bool flat = false;
};

enum class SaveMode {
  kSave,
  kVerifyOnly,  // read and check every file; no destination, nothing written
};

struct SaveRequest {
  std::filesystem::path bkfPath;
  std::filesystem::path destination;  // a folder; unused with a target
  std::u16string prefix = u"Rec";
  BkfOpener opener = OpenBkfFile;
  SaveLayout layout = {};
  // Where the files go instead of the destination folder.
  SaveTarget* target = nullptr;
  SaveMode mode = SaveMode::kSave;
};

// The request of a verify-only pass over the BKF file at `bkfPath`.
inline SaveRequest VerifyOnlyRequest(std::filesystem::path bkfPath, BkfOpener opener = OpenBkfFile) {
  SaveRequest request;
  request.bkfPath = std::move(bkfPath);
  request.opener = std::move(opener);
  request.mode = SaveMode::kVerifyOnly;
  return request;
}

// One file that the pass got to, as it is told and, when the file did not
// come out complete, as the summary lists it.
struct FileReport {
  RowIndex row = -1;  // -1 for the summary's line about the files that were not tried
  std::u16string path;  // the catalogue path
  std::filesystem::path file;  // where the save put it; empty when nothing was kept
  // The file's verdict; nothing for a file that was not saved at all.
  std::optional<FileVerdict> verdict;
  std::string reason;  // why the verdict is not "verified", or why nothing was saved
};

// How a save or a verification went, file by file. A file that came out
// complete is verified or unchecked; every other file is listed in
// `problems` with its reason.
struct SaveSummary {
  std::uint64_t saved = 0;       // complete: verified + unchecked
  std::uint64_t verified = 0;    // ... whose data matches the checksum stored with it
  std::uint64_t unchecked = 0;   // ... with no usable checksum
  std::uint64_t damaged = 0;     // kept on disk, but not as the backup stored it
  std::uint64_t storedEncrypted = 0;   // kept as stored: this program cannot decrypt
  std::uint64_t storedCompressed = 0;  // kept as stored: this program cannot decompress
  std::uint64_t incomplete = 0;  // saved as far as the BKF file holds them
  std::uint64_t failed = 0;      // not saved at all; when verifying, skipped
  bool cancelled = false;
  std::string fatalError;  // the save could not start
  bool bkfUnreadable = false;  // ... because the BKF file could not be opened
  std::vector<FileReport> problems;  // every file not saved complete, in order
  std::vector<std::filesystem::path> folders;  // the new folders made in the destination
  // Files not tried because the destination had refused one for a reason
  // that holds for every file (full, read-only): counted in `failed`, and
  // listed once in `problems`.
  std::uint64_t notTried = 0;

  bool Complete() const { return fatalError.empty() && !cancelled && saved == Attempted(); }
  // Every file that the save got to.
  std::uint64_t Attempted() const {
    return saved + damaged + storedEncrypted + storedCompressed + incomplete + failed;
  }
  // Counts `files` more files of `verdict`; skipped ones as failed.
  void Add(FileVerdict verdict, std::uint64_t files = 1);
  // The files of `verdict`; of kSkipped, the failed ones.
  std::uint64_t Count(FileVerdict verdict) const;
};

// Progress (JobProgress): bytes of file data and files done of the selected
// ones, after every file and during large ones.
class SaveObserver : public JobObserver {
 public:
  // After every file the pass got to, in catalogue order.
  virtual void OnFileDone(const FileReport& report) { (void)report; }
};

// Saves, or only verifies, the selected rows in catalogue order. `stop` is
// looked at before every file and while copying; a file cut short by it is
// removed, finished ones stay. The catalogue is not changed.
SaveSummary SaveRows(const Catalogue& catalogue, const SaveRequest& request, const RowSelection& selection,
                     SaveObserver& observer, std::stop_token stop = {});
inline SaveSummary SaveCheckedFiles(const Catalogue& catalogue, const SaveRequest& request, SaveObserver& observer,
                                    std::stop_token stop = {}) {
  return SaveRows(catalogue, request, RowSelection::Checked(), observer, std::move(stop));
}

// "3 file(s) saved (2 verified, 1 unchecked), 1 damaged, 0 stored encrypted,
// 0 stored compressed, 1 incomplete, 0 failed." then one line per problem.
std::u16string SaveSummaryText(const SaveSummary& summary);

// Of a verification: "9 file(s): 5 verified, 1 damaged, 2 unchecked,
// 1 incomplete, 0 stored encrypted, 0 stored compressed, 0 skipped."
std::string VerifySummaryText(const SaveSummary& summary);

}  // namespace tallowin
