// Verifying the checked files: each one's data is read out of the BKF file
// exactly as the save reads it, and its checksum checked, but nothing is
// written anywhere. Damage shows before anything is saved.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "save/checked_rows.h"
#include "engine/file_data.h"
#include "catalog/catalogue.h"
#include "engine/bkf_file.h"

namespace tallowin {

struct VerifyRequest {
  std::filesystem::path bkfPath;
  BkfOpener opener = OpenBkfFile;
};

// The verdict of one row.
struct FileCheck {
  RowIndex row = -1;
  std::u16string path;  // the catalogue path
  FileVerdict verdict = FileVerdict::kUnchecked;
  std::string reason;  // empty for a verified file
};

class VerifyObserver {
 public:
  virtual ~VerifyObserver() = default;
  // After every file, in catalogue order.
  virtual void OnFileChecked(const FileCheck& check) { (void)check; }
  // Often: after every file and during large ones. The receiver throttles.
  virtual void OnVerifyProgress(std::uint64_t filesDone, std::uint64_t filesTotal, std::uint64_t bytesDone,
                                std::uint64_t bytesTotal) {
    (void)filesDone, (void)filesTotal, (void)bytesDone, (void)bytesTotal;
  }
};

struct VerifySummary {
  std::array<std::uint64_t, kFileVerdictCount> counts{};  // by FileVerdict
  bool cancelled = false;
  std::string fatalError;  // the BKF file could not be opened

  std::uint64_t Count(FileVerdict verdict) const { return counts[static_cast<std::size_t>(verdict)]; }
  std::uint64_t Files() const;
  // Every file verified or unchecked.
  bool Sound() const;
};

// Verifies the selected rows, in catalogue order.
VerifySummary VerifyRows(const Catalogue& catalogue, const VerifyRequest& request, const RowSelection& selection,
                         VerifyObserver& observer, const std::atomic<bool>& cancel);
inline VerifySummary VerifyCheckedFiles(const Catalogue& catalogue, const VerifyRequest& request,
                                        VerifyObserver& observer, const std::atomic<bool>& cancel) {
  return VerifyRows(catalogue, request, RowSelection::Checked(), observer, cancel);
}

// "9 file(s): 5 verified, 1 damaged, 2 unchecked, 1 incomplete, 0 stored
// encrypted, 0 stored compressed, 0 skipped."
std::string VerifySummaryText(const VerifySummary& summary);

}  // namespace tallowin
