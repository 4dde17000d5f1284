// How a scan reports to its front end. OnOpenFailed comes on the thread that
// called CBkfScanner::Start, OnStopped on the thread that called Stop (the
// worker's own at the end of a scan), everything else on the scan's worker
// thread: a front end that draws must hand the news to its own thread. The
// program's texts for each event are in catalog/program_texts.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/number_text.h"

namespace tallowin {

// What a scan learnt of one data set, for its summary.
struct DataSetFacts {
  std::u16string label;  // as in the catalogue paths: "BACKUP SET 1(Daily)"
  std::uint64_t number = 0;  // the n of the label; 0 for files met before any data set block
  std::u16string name;
  FileTime written = 0;  // when the backup wrote it, as its data set block says; 0 when unknown
  bool ended = false;    // its end-of-set block was found: the set is not cut short
  std::uint64_t rowsFromSetCatalogue = 0;
  std::uint64_t setCatalogueFilesNotFound = 0;
};

// What a scan found, told at its end.
struct ScanTotals {
  std::int32_t rows = 0;
  bool stopped = false;  // Stop ended it before the end of the file
  // Rows of files whose FILE block was lost, named by the catalogue that the
  // backup keeps at the end of each data set.
  std::uint64_t rowsFromSetCatalogue = 0;
  // Files that such a catalogue lists, whose block was lost and whose data
  // was not found either.
  std::uint64_t setCatalogueFilesNotFound = 0;
  // Every data set the scan met, in the order their labels first appear.
  std::vector<DataSetFacts> sets;
};

class ScanObserver {
 public:
  virtual ~ScanObserver() = default;

  // The BKF file could not be opened; no scan runs. `message` is the text to show.
  virtual void OnOpenFailed(std::u16string_view message) { (void)message; }
  // The worker has started: the searching label shows `label`.
  virtual void OnSearching(std::u16string_view label) { (void)label; }
  // Once per window of the main pass.
  virtual void OnProgress(std::uint64_t position, std::uint64_t fileSize) {
    (void)position, (void)fileSize;
  }
  // Once per catalogue row added.
  virtual void OnFilesFound(std::uint64_t count) { (void)count; }
  // Stop was called: the progress bar and the Stop button go away.
  virtual void OnStopped() {}
  // The worker has closed the file and checked every row. With no rows,
  // `noDataMessage` is the message to show; otherwise it is empty.
  virtual void OnScanFinished(const ScanTotals& totals, std::u16string_view noDataMessage) {
    (void)totals, (void)noDataMessage;
  }
};

}  // namespace tallowin
